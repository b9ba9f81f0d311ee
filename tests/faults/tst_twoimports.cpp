// Imports in two programs at once on one data folder, the other program stopped at a chosen
// moment (faults_importer): they never give two persons one key nor mix their photos in one
// folder; an import killed in the middle leaves no photo folder behind, and its stage is removed
// by the next start (not while the import runs), so that the next import of the same file keeps
// its keys.
#include "PhotoFamily.h"
#include "PhotoFolders.h"
#include "PhotoStage.h"
#include "StoreImport.h"
#include "mDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kPersons = 10;

// The other program's import, stopped at `moment` until released.
class OtherImport
{
public:
    explicit OtherImport(const QStringList &arguments)
    {
        m_process.start(FAULTS_IMPORTER, arguments);
    }
    ~OtherImport()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    // The next line the program says; empty when it ended first.
    QByteArray line()
    {
        while (!m_process.canReadLine() && m_process.state() != QProcess::NotRunning)
            m_process.waitForReadyRead(5000);
        return m_process.readLine().trimmed();
    }
    QByteArray goOn()
    {
        m_process.write("\n");
        m_process.closeWriteChannel();
        const QByteArray last = line();
        m_process.waitForFinished();
        return last;
    }
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

QStringList keysOf(mDatabase &store, const QString &tree)
{
    QStringList keys;
    for (const PersonRecord &row : store.ReadTree(tree).value())
        keys << row.ID;
    return keys;
}

// Every entry of the photos folder but the staging folder.
QStringList photoFolders(const QString &data)
{
    QStringList folders = QDir(PhotoFolders::Root(data))
                              .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    folders.removeAll(PhotoFolders::StagingName());
    return folders;
}

QStringList stages(const QString &data)
{
    return QDir(PhotoFolders::StagingRoot(data))
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class TestTwoImports : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_data;
    QString m_first;
    QString m_second;

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_data = m_dir.filePath(QStringLiteral("Data/"));
        QDir(m_data).removeRecursively();
        QVERIFY(QDir().mkpath(m_data));
        QVERIFY(mDatabase::CreateDatabaseFile(m_data + QStringLiteral("people.db")));
        m_first = writePhotoFamily(m_dir.filePath(QStringLiteral("first")), QStringLiteral("a"),
                                   kPersons);
        m_second = writePhotoFamily(m_dir.filePath(QStringLiteral("second")), QStringLiteral("b"),
                                    kPersons);
        QVERIFY(!m_first.isEmpty() && !m_second.isEmpty());
    }

    // The other program has chosen its keys when this one saves the same keys: it chooses
    // again under the write lock, and each photo folder holds one person's photos.
    void twoImportsNeverShareKeysOrPhotos()
    {
        OtherImport other({m_data, m_first, QStringLiteral("First"), QStringLiteral("planned")});
        QCOMPARE(other.line(), QByteArray("planned"));

        mDatabase store;
        store.SetPaths(m_data, m_data + QStringLiteral("people.db"));
        QVERIFY(store.OpenDatabase());
        const Gedcom::StoreImport second =
            Gedcom::importIntoStore(store, m_second, QStringLiteral("Second"));
        QVERIFY2(second.isDone(), qPrintable(second.error.text()));
        QCOMPARE(other.goOn(), QByteArray("done 10 10"));

        const QStringList firstKeys = keysOf(store, QStringLiteral("First"));
        const QStringList secondKeys = keysOf(store, QStringLiteral("Second"));
        QCOMPARE(firstKeys.size(), kPersons);
        QCOMPARE(secondKeys.size(), kPersons);
        QSet<QString> folded;
        for (const QString &key : firstKeys + secondKeys)
            folded.insert(key.toCaseFolded());
        QCOMPARE(folded.size(), 2 * kPersons);

        const auto photosOf = [&](const QString &key) {
            return QDir(PhotoFolders::FolderOf(m_data, key)).entryList(QDir::Files);
        };
        // Each person's folder holds its own photo (named like its first name) and no other.
        for (const QString &tree : {QStringLiteral("First"), QStringLiteral("Second")}) {
            for (const PersonRecord &row : store.ReadTree(tree).value())
                QCOMPARE(photosOf(row.ID), QStringList{row.Fname + ".jpg"});
        }
        QCOMPARE(photoFolders(m_data).size(), 2 * kPersons);
        QVERIFY(stages(m_data).isEmpty());
    }

    // Killed with its photos copied and its tree not yet saved: no photo folder appears; its stage
    // stays while it runs (another program's start leaves it alone) and goes with the next start.
    void aKilledImportLeavesNoPhotoFolders()
    {
        OtherImport other({m_data, m_first, QStringLiteral("First"), QStringLiteral("writing")});
        QCOMPARE(other.line(), QByteArray("writing"));
        QCOMPARE(stages(m_data).size(), 1);
        const QString stage = PhotoFolders::StagingRoot(m_data) + stages(m_data).constFirst();
        QCOMPARE(QDir(stage).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), kPersons);
        {
            // Another program starts meanwhile: the running import's stage stays.
            mDatabase started;
            started.SetPaths(m_data, m_data + QStringLiteral("people.db"));
            QVERIFY(started.OpenDatabase());
            QCOMPARE(PhotoStage::FinishStopped(m_data, {}), 0);
            QVERIFY(QFileInfo(stage).isDir());
        }
        QVERIFY(photoFolders(m_data).isEmpty());

        other.kill();
        QVERIFY(photoFolders(m_data).isEmpty());

        mDatabase store;
        store.SetPaths(m_data, m_data + QStringLiteral("people.db"));
        QVERIFY(store.OpenDatabase());
        QVERIFY(stages(m_data).isEmpty());
        QVERIFY(QDir(PhotoFolders::StagingRoot(m_data))
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());
        QVERIFY(!store.TreeExists(QStringLiteral("First")));

        // The same file again keeps its keys.
        const Gedcom::StoreImport again =
            Gedcom::importIntoStore(store, m_first, QStringLiteral("First"));
        QVERIFY2(again.isDone(), qPrintable(again.error.text()));
        QStringList keys = keysOf(store, QStringLiteral("First"));
        keys.sort();
        QStringList expected;
        for (int i = 0; i < kPersons; ++i)
            expected << QStringLiteral("K%1").arg(i);
        QCOMPARE(keys, expected);
        QCOMPARE(QDir(PhotoFolders::FolderOf(m_data, "K0")).entryList(QDir::Files),
                 QStringList{"a0.jpg"});
        QCOMPARE(again.run.photosCopied, kPersons);
    }
};

QTEST_GUILESS_MAIN(TestTwoImports)
#include "tst_twoimports.moc"
