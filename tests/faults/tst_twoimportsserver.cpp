// Two imports at once into one shared database on a real database server (started by the
// test): the other program has chosen its keys when this one saves the same keys; it chooses
// again under the server's write lock, so that no two persons get one key and each photo folder
// holds one person's photos.
#include "PgServer.h"
#include "PhotoFamily.h"
#include "PhotoFolders.h"
#include "ServerAddress.h"
#include "StoreImport.h"
#include "mDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kPersons = 10;

} // namespace

class TestTwoImportsServer : public QObject
{
    Q_OBJECT

private slots:
    void twoImportsNeverShareKeysOrPhotos()
    {
        PgServer server;
        VT_REQUIRE_SERVER(server);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(server.createDatabase(QStringLiteral("family")).isEmpty());
        const QString address = server.keywords(QStringLiteral("family"));
        // Each program keeps its photos in a folder of its own machine.
        const QString mine = dir.filePath(QStringLiteral("mine/"));
        const QString theirs = dir.filePath(QStringLiteral("theirs/"));
        QVERIFY(QDir().mkpath(mine) && QDir().mkpath(theirs));
        const QString first =
            writePhotoFamily(dir.filePath(QStringLiteral("first")), "a", kPersons);
        const QString second =
            writePhotoFamily(dir.filePath(QStringLiteral("second")), "b", kPersons);
        QVERIFY(!first.isEmpty() && !second.isEmpty());

        mDatabase store;
        store.SetPaths(mine, mine + QStringLiteral("people.db"));
        const Result<ServerAddress> parsed = ParseServerAddress(address);
        QVERIFY(parsed);
        store.SetServer(*parsed);
        store.SetCreateTables(true);
        QVERIFY(store.OpenDatabase());

        QProcess other;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("FAULTS_SERVER"), address);
        other.setProcessEnvironment(environment);
        other.start(QStringLiteral(FAULTS_IMPORTER),
                    {theirs, first, QStringLiteral("First"), QStringLiteral("planned")});
        const auto line = [&other] {
            while (!other.canReadLine() && other.state() != QProcess::NotRunning)
                other.waitForReadyRead(5000);
            return other.readLine().trimmed();
        };
        QCOMPARE(line(), QByteArray("planned"));

        const Gedcom::StoreImport mineDone =
            Gedcom::importIntoStore(store, second, QStringLiteral("Second"));
        QVERIFY2(mineDone.isDone(), qPrintable(mineDone.error.text()));
        other.write("\n");
        other.closeWriteChannel();
        QCOMPARE(line(), QByteArray("done 10 10"));
        QVERIFY(other.waitForFinished());

        QSet<QString> folded;
        for (const QString &tree : {QStringLiteral("First"), QStringLiteral("Second")}) {
            const Result<QList<PersonRecord>> rows = store.ReadTree(tree);
            QVERIFY2(rows, qPrintable(rows.error().text()));
            QCOMPARE(rows->size(), kPersons);
            const QString data = tree == QLatin1String("First") ? theirs : mine;
            for (const PersonRecord &row : *rows) {
                folded.insert(row.ID.toCaseFolded());
                // Each person's folder holds its own photo and no other.
                QCOMPARE(QDir(PhotoFolders::FolderOf(data, row.ID)).entryList(QDir::Files),
                         QStringList{row.Fname + ".jpg"});
            }
        }
        QCOMPARE(folded.size(), 2 * kPersons);
    }
};

QTEST_GUILESS_MAIN(TestTwoImportsServer)
#include "tst_twoimportsserver.moc"
