// The stage an import copies its photos into: while the import runs nobody else touches it; put
// in place after the commit, each key's photos join the photos folder without replacing a file;
// a stage an import left when it stopped keeps the photos of the persons its tree holds and
// loses the rest.
#include "PhotoFolders.h"
#include "PhotoStage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class TestPhotoStage : public QObject
{
    Q_OBJECT

private slots:
    void placedAfterTheCommitWithoutReplacing()
    {
        QTemporaryDir dir;
        const QString data = dir.path() + QLatin1Char('/');
        Result<std::unique_ptr<PhotoStage>> made = PhotoStage::Create(data, "Tree");
        QVERIFY2(made, qPrintable(made.error().text()));
        std::unique_ptr<PhotoStage> stage = std::move(*made);
        QVERIFY(stage->Folder().startsWith(PhotoFolders::StagingRoot(data)));
        QVERIFY(writeFile(stage->Folder() + "K1/a.jpg", "staged a"));
        QVERIFY(writeFile(stage->Folder() + "K2/b.jpg", "staged b"));
        QVERIFY(writeFile(stage->Folder() + "K2/c.jpg", "staged c"));
        // Another program saved photos for K2 meanwhile, one of the same name.
        QVERIFY(writeFile(PhotoFolders::FolderOf(data, "K2") + "b.jpg", "theirs"));

        // Running: another start leaves the stage alone, and nothing shows in the photos folder.
        QCOMPARE(PhotoStage::FinishStopped(data, {}), 0);
        QVERIFY(QFileInfo::exists(stage->Folder() + "K1/a.jpg"));
        QVERIFY(!QFileInfo::exists(PhotoFolders::FolderOf(data, "K1")));

        QCOMPARE(stage->Place(), 1);
        QCOMPARE(readFile(PhotoFolders::FolderOf(data, "K1") + "a.jpg"), QByteArray("staged a"));
        QCOMPARE(readFile(PhotoFolders::FolderOf(data, "K2") + "b.jpg"), QByteArray("theirs"));
        QCOMPARE(readFile(PhotoFolders::FolderOf(data, "K2") + "c.jpg"), QByteArray("staged c"));
        stage.reset();
        QCOMPARE(entries(PhotoFolders::Root(data)), (QStringList{"K1", "K2"}));
    }

    void aStoppedStageKeepsWhatItsTreeHolds()
    {
        QTemporaryDir dir;
        const QString data = dir.path() + QLatin1Char('/');
        const QString root = PhotoFolders::StagingRoot(data);
        // What an import killed after its commit leaves: an unlocked lock file, its tree's name
        // and its staged photos; and what a removal that was cut short leaves.
        QVERIFY(writeFile(root + "77-0000beef.lock", ""));
        QVERIFY(writeFile(root + "77-0000beef.tree", "Ärzte"));
        QVERIFY(writeFile(root + "77-0000beef/K1/a.jpg", "saved"));
        QVERIFY(writeFile(root + "77-0000beef/K9/z.jpg", "never saved"));
        QVERIFY(writeFile(root + "78-0000cafe/K1/old.jpg", "orphan"));
        QVERIFY(writeFile(root + "79-0000f00d.tree", "Other"));

        QStringList asked;
        const int finished =
            PhotoStage::FinishStopped(data, [&](const QString &tree, const QString &key) {
                asked << tree + '/' + key;
                return tree == QStringLiteral("Ärzte") && key == QStringLiteral("K1");
            });
        QCOMPARE(finished, 1);
        asked.sort();
        QCOMPARE(asked, (QStringList{"Ärzte/K1", "Ärzte/K9"}));
        QCOMPARE(readFile(PhotoFolders::FolderOf(data, "K1") + "a.jpg"), QByteArray("saved"));
        QVERIFY(!QFileInfo::exists(PhotoFolders::FolderOf(data, "K9")));
        QVERIFY(entries(root).isEmpty());
    }

    void theStagingFolderIsNoKeysFolder()
    {
        QVERIFY(PhotoFolders::FolderOf("/d/Data/", PhotoFolders::StagingName()).isEmpty());
        QCOMPARE(PhotoFolders::StagingRoot("/d/Data"), QString("/d/Data/Photos/.staging/"));
    }
};

QTEST_GUILESS_MAIN(TestPhotoStage)
#include "tst_photostage.moc"
