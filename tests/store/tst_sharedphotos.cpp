// Where the photos of a shared database are kept, on a real server the test starts: the folder
// the database names for every member, this computer's own path to it, and the photos being
// unavailable (nothing shown, made or deleted, never a folder relative to wherever the program
// runs) while it cannot be reached.
#include "PgServer.h"
#include "PhotoFolders.h"
#include "PhotoStage.h"
#include "ServerAddress.h"
#include "SharedPhotos.h"
#include "mDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSharedPhotos : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<PgServer> m_server;
    int m_made = 0;

    // A store on a new database of the server (tables made), its data folder in the temp dir.
    std::unique_ptr<mDatabase> openNew(QString *name = nullptr)
    {
        const QString database = QStringLiteral("ph%1").arg(++m_made);
        if (!m_server->createDatabase(database).isEmpty())
            return nullptr;
        if (name)
            *name = database;
        return openOn(database);
    }
    std::unique_ptr<mDatabase> openOn(const QString &database)
    {
        auto store = std::make_unique<mDatabase>();
        store->BuildConnectionString(m_dir.filePath(QStringLiteral("data")) + QLatin1Char('/'));
        store->SetServer(*ParseServerAddress(m_server->keywords(database)));
        store->SetCreateTables(true);
        if (!store->OpenDatabase())
            return nullptr;
        return store;
    }

private slots:
    void initTestCase() { m_server = std::make_unique<PgServer>(); }
    void cleanupTestCase() { m_server.reset(); }

    // Named for every member: read back by another connection, cleared again; a relative path
    // and a database open read-only are refused.
    void namedInTheDatabase()
    {
        VT_REQUIRE_SERVER(*m_server);
        QString database;
        std::unique_ptr<mDatabase> store = openNew(&database);
        QVERIFY(store);
        QCOMPARE(*SharedPhotos::Named(*store), QString()); // a database that names none
        const Result<void> relative = SharedPhotos::Name(*store, QStringLiteral("share/photos"));
        QVERIFY(!relative);
        QVERIFY(relative.error().text().contains(QLatin1String("full path")));
        const QString folder = QStringLiteral("/mnt/family's \"share\"/Fotos ä");
        QVERIFY(SharedPhotos::Name(*store, folder));
        std::unique_ptr<mDatabase> other = openOn(database);
        QVERIFY(other);
        QCOMPARE(*SharedPhotos::Named(*other), folder);
        QVERIFY(SharedPhotos::Name(*other, QString()));
        QCOMPARE(*SharedPhotos::Named(*store), QString());

        // A reader may not name it.
        QCOMPARE(m_server->exec(
                     database,
                     {QStringLiteral("CREATE ROLE reader%1 LOGIN").arg(m_made),
                      QStringLiteral("GRANT USAGE ON SCHEMA velkintree TO reader%1").arg(m_made),
                      QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA velkintree "
                                     "TO reader%1")
                          .arg(m_made)}),
                 QString());
        mDatabase reader;
        reader.SetServer(*ParseServerAddress(
            m_server->keywords(database, QStringLiteral("reader%1").arg(m_made))));
        QVERIFY(reader.OpenDatabase());
        QVERIFY(reader.IsReadOnly());
        QCOMPARE(*SharedPhotos::Named(reader), QString());
        QVERIFY(!SharedPhotos::Name(reader, QStringLiteral("/srv/photos")));
    }

    // Which folder keeps the photos: none named, the data folder; named and reachable, that
    // folder; this computer's own path wins; unreachable (or relative), none, saying which.
    void resolved()
    {
        QTemporaryDir share;
        QTemporaryDir own;
        const QString data = m_dir.filePath(QStringLiteral("data")) + QLatin1Char('/');
        QCOMPARE(SharedPhotos::Resolve({}, {}, data).home, data);
        QCOMPARE(SharedPhotos::Resolve(share.path(), {}, data).home, share.path() + '/');
        QCOMPARE(SharedPhotos::Resolve(share.path(), own.path(), data).home, own.path() + '/');
        const SharedPhotos::Place gone =
            SharedPhotos::Resolve(share.filePath(QStringLiteral("not-mounted")), {}, data);
        QCOMPARE(gone.home, QString());
        QVERIFY(gone.problem.contains(QLatin1String("not-mounted")));
        QVERIFY(gone.problem.contains(QLatin1String("unavailable")));
        QCOMPARE(SharedPhotos::Resolve(share.path(), QStringLiteral("relative/dir"), data).home,
                 QString());
    }

    // Applied to a store: its photo folder follows; a local store keeps its data folder.
    void appliedToTheStore()
    {
        VT_REQUIRE_SERVER(*m_server);
        std::unique_ptr<mDatabase> store = openNew();
        QVERIFY(store);
        const QString data = store->DataFolder();
        QCOMPARE(store->DataPath(), data); // as before: naming none, the data folder
        QTemporaryDir share;
        QVERIFY(SharedPhotos::Name(*store, share.path()));
        QCOMPARE(SharedPhotos::Apply(*store, {}, data), QString());
        QCOMPARE(store->DataPath(), share.path() + '/');
        QCOMPARE(PhotoFolders::FolderOf(store->DataPath(), QStringLiteral("K1")),
                 share.path() + QStringLiteral("/Photos/K1/"));
        QVERIFY(SharedPhotos::Name(*store, share.filePath(QStringLiteral("gone"))));
        QVERIFY(!SharedPhotos::Apply(*store, {}, data).isEmpty());
        QCOMPARE(store->DataPath(), QString());

        mDatabase local;
        local.BuildConnectionString(data);
        QVERIFY(local.OpenDatabase());
        QCOMPARE(SharedPhotos::Apply(local, share.path(), data), QString());
        QCOMPARE(local.DataPath(), data);
    }

    // Unavailable photos: no photo folder, no stage; a stage lying in a folder "Photos" of the
    // current folder is not taken for the program's.
    void unavailableTouchesNothing()
    {
        QTemporaryDir cwd;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(cwd.path()));
        const QString staged = QStringLiteral("Photos/.staging/x/K9");
        QVERIFY(QDir().mkpath(staged));
        QFile photo(staged + QStringLiteral("/a.jpg"));
        QVERIFY(photo.open(QIODevice::WriteOnly));
        photo.close();
        QFile lock(QStringLiteral("Photos/.staging/x.lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.close();

        QCOMPARE(PhotoFolders::Root(QString()), QString());
        QCOMPARE(PhotoFolders::FolderOf(QString(), QStringLiteral("K9")), QString());
        QCOMPARE(PhotoFolders::StagingRoot(QString()), QString());
        int asked = 0;
        QCOMPARE(PhotoStage::FinishStopped(QString(),
                                           [&asked](const QString &, const QString &) {
                                               ++asked;
                                               return true;
                                           }),
                 0);
        QCOMPARE(asked, 0);
        const auto stage = PhotoStage::Create(QString(), QStringLiteral("Tree"));
        QVERIFY(!stage);
        QVERIFY(stage.error().text().contains(QLatin1String("cannot be reached")));
        QVERIFY(QFile::exists(staged + QStringLiteral("/a.jpg")));
        QVERIFY(!QFile::exists(QStringLiteral("Photos/K9")));
        QVERIFY(QDir::setCurrent(before));
    }
};

QTEST_GUILESS_MAIN(TestSharedPhotos)
#include "tst_sharedphotos.moc"
