// Hearing of other programs' changes: two stores on one database (a file in a temporary folder,
// and a database of a real server started by the test); the watcher of the first hears what the
// second commits, never what the first commits itself.
#include "ChangeNotice.h"
#include "ChangeNoticeList.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "PgServer.h"
#include "ServerAddress.h"
#include "StoreSql.h"
#include "StoreWatcher.h"
#include "mDatabase.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

PersonRecord person(const QString &id, const QString &first)
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = QStringLiteral("ROOT");
    r.Fname = first;
    return r;
}

// Every notice the watcher handed over, in order.
QList<ChangeNotice> heard(const QSignalSpy &spy)
{
    QList<ChangeNotice> all;
    for (const QList<QVariant> &call : spy)
        all << call.at(0).value<QList<ChangeNotice>>();
    return all;
}

// A change made around the store, on a connection of its own (as an older program writes).
bool rawWrite(const QString &path, const char *sql)
{
    const QString name = QStringLiteral("raw");
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        done = db.open() && QSqlQuery(db).exec(QLatin1String(sql));
    }
    QSqlDatabase::removeDatabase(name);
    return done;
}

qint64 rawCount(const QString &path, const char *sql)
{
    const QString name = QStringLiteral("rawcount");
    qint64 count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QSqlQuery query(db);
        if (db.open() && query.exec(QLatin1String(sql)) && query.next())
            count = query.value(0).toLongLong();
    }
    QSqlDatabase::removeDatabase(name);
    return count;
}

} // namespace

class TestStoreWatcher : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<PgServer> m_server;
    int m_made = 0;

    // Two stores on one new database of the server; false when it could not be made.
    bool openPair(mDatabase &first, mDatabase &second)
    {
        const QString name = QStringLiteral("w%1").arg(++m_made);
        if (!m_server->createDatabase(name).isEmpty())
            return false;
        const Result<ServerAddress> address = ParseServerAddress(m_server->keywords(name));
        if (!address)
            return false;
        for (mDatabase *store : {&first, &second}) {
            store->SetServer(*address);
            store->SetCreateTables(true);
            if (!store->OpenDatabase())
                return false;
        }
        return true;
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QList<ChangeNotice>>();
        QVERIFY(m_dir.isValid());
        m_server = std::make_unique<PgServer>();
    }
    void cleanupTestCase() { m_server.reset(); }

    // A notice survives its text: odd names and keys come back as they were; a notice naming
    // too many persons stays within what the server carries by naming none; a text that is no
    // notice (or names no tree) says that anything may have changed.
    void noticesKeepTheirNamesAndStaySmall()
    {
        const ChangeNotice renamed =
            ChangeNotice::renamed(QStringLiteral("a \"b\"\t'c'"), QStringLiteral("Ärzte 家族"));
        QCOMPARE(ChangeNotice::decode(renamed.encode()), renamed);
        const ChangeNotice some = ChangeNotice::persons(QStringLiteral("T"), {"k1", "\"; DROP"});
        QCOMPARE(ChangeNotice::decode(some.encode()), some);

        QStringList many;
        for (int i = 0; i < 2000; ++i)
            many << QStringLiteral("KEY%1").arg(i);
        const QString text = ChangeNotice::persons(QStringLiteral("T"), many).encode();
        QVERIFY(text.toUtf8().size() <= ChangeNotice::kMostBytes);
        QCOMPARE(ChangeNotice::decode(text), ChangeNotice::persons(QStringLiteral("T")));

        for (const QString &junk : {QString(), QStringLiteral("{"), QStringLiteral("[1]"),
                                    QStringLiteral("{\"k\":\"persons\"}"),
                                    QStringLiteral("{\"k\":\"renamed\",\"t\":\"A\"}")})
            QCOMPARE(ChangeNotice::decode(junk).kind, ChangeNotice::Kind::Any);
    }

    // On a file: another store's commit is heard once, at the next look; the store's own
    // changes and a look with nothing new are not; changes while stopped are told once when
    // watching again.
    void fileChangesOfOthersAreHeard()
    {
        const QString folder = m_dir.filePath(QStringLiteral("file")) + QLatin1Char('/');
        mDatabase mine, other;
        mine.BuildConnectionString(folder);
        other.BuildConnectionString(folder);
        QVERIFY(mine.OpenDatabase());
        QVERIFY(other.OpenDatabase());
        StoreWatcher watcher(mine);
        QSignalSpy spy(&watcher, &StoreWatcher::Changed);
        watcher.Start();
        QVERIFY(watcher.IsWatching());

        QVERIFY(mine.InsertPerson(QStringLiteral("Example"), person("M1", "Mine")));
        watcher.Check();
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 0);

        QVERIFY(other.InsertPerson(QStringLiteral("Example"), person("O1", "Other")));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000); // by the timer alone
        QCOMPARE(heard(spy),
                 QList<ChangeNotice>{ChangeNotice::persons(QStringLiteral("Example"), {"O1"})});
        watcher.Check();
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);

        watcher.Stop();
        QVERIFY(other.CreateTree(QStringLiteral("Made")));
        QVERIFY(other.CreateTree(QStringLiteral("Made too")));
        watcher.Check(); // not while stopped
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 1);
        watcher.Start(); // but once watching again, once
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 5000);
        watcher.Check();
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).value<QList<ChangeNotice>>(),
                 (QList<ChangeNotice>{ChangeNotice::made(QStringLiteral("Made")),
                                      ChangeNotice::made(QStringLiteral("Made too"))}));
        // The list of changes is a table of the program's own, never a tree.
        QVERIFY(!mine.ListTrees().contains(QStringLiteral("mainChanges"), Qt::CaseInsensitive));

        // A change read but stopped before it was handed over is not lost.
        QVERIFY(other.InsertPerson(QStringLiteral("Example"), person("O2", "Late")));
        watcher.Check();
        watcher.Stop();
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 2);
        watcher.Start();
        QTRY_COMPARE(spy.count(), 3);
        QCOMPARE(heard(spy).last(), ChangeNotice());
    }

    // A commit that leaves no notice in the file's list (an older program, a write around the
    // store) is told as Any, also when it falls between two commits that do, and also when the
    // program that writes none made the first change of a file without the list; after it the
    // notices are told again.
    void fileChangesWithoutNoticeAreAny()
    {
        const QString folder = m_dir.filePath(QStringLiteral("bare")) + QLatin1Char('/');
        mDatabase mine, other;
        mine.BuildConnectionString(folder);
        other.BuildConnectionString(folder);
        QVERIFY(mine.OpenDatabase());
        QVERIFY(other.OpenDatabase());
        const QString example = QStringLiteral("Example");
        StoreWatcher watcher(mine);
        QSignalSpy spy(&watcher, &StoreWatcher::Changed);
        watcher.Start();
        watcher.Stop(); // looked at by hand only

        QVERIFY(rawWrite(mine.DatabasePath(), "DROP TABLE IF EXISTS mainChanges"));
        watcher.Start();
        QTRY_COMPARE(heard(spy), QList<ChangeNotice>{ChangeNotice()});
        QVERIFY(rawWrite(mine.DatabasePath(),
                         "INSERT INTO \"Example\" (ID, PrntKey) VALUES ('R1', 'ROOT')"));
        watcher.Check();
        QTRY_COMPARE(heard(spy).size(), 2);
        QCOMPARE(heard(spy).last(), ChangeNotice());

        // The list's first entry follows the last look.
        QVERIFY(other.InsertPerson(example, person("O1", "First")));
        watcher.Check();
        QTRY_COMPARE(heard(spy).size(), 3);
        QCOMPARE(heard(spy).last(), ChangeNotice::persons(example, {"O1"}));

        QVERIFY(other.InsertPerson(example, person("O2", "Before")));
        QVERIFY(rawWrite(mine.DatabasePath(),
                         "UPDATE \"Example\" SET Fname = 'Unlisted' WHERE ID = 'R1'"));
        QVERIFY(other.InsertPerson(example, person("O3", "After")));
        watcher.Check();
        QTRY_COMPARE(heard(spy).size(), 4);
        QCOMPARE(heard(spy).last(), ChangeNotice());

        QVERIFY(other.DeletePerson(example, QStringLiteral("O2")));
        watcher.Check();
        QTRY_COMPARE(heard(spy).size(), 5);
        QCOMPARE(heard(spy).last(), ChangeNotice::persons(example, {"O2"}));
    }

    // A change too large for the engine's page cache (pages written to the file before the
    // commit) is still told as itself.
    void largeChangeIsToldExactly()
    {
        const QString folder = m_dir.filePath(QStringLiteral("large")) + QLatin1Char('/');
        mDatabase mine;
        mine.BuildConnectionString(folder);
        QVERIFY(mine.OpenDatabase());
        StoreWatcher watcher(mine);
        QSignalSpy spy(&watcher, &StoreWatcher::Changed);
        watcher.Start();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "large");
            db.setDatabaseName(mine.DatabasePath());
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("PRAGMA cache_size=8")));
            Store::StoreSql::Transaction transaction(db);
            QVERIFY(transaction.active());
            QVERIFY(query.exec(QStringLiteral("CREATE TABLE \"Large\" (ID TEXT, Notes TEXT)")));
            QVERIFY(query.prepare(QStringLiteral("INSERT INTO \"Large\" VALUES (?, ?)")));
            for (int i = 0; i < 2000; ++i) {
                query.addBindValue(QStringLiteral("L%1").arg(i));
                query.addBindValue(QString(200, QLatin1Char('x')));
                QVERIFY(query.exec());
            }
            transaction.announce(ChangeNotice::made(QStringLiteral("Large")));
            QVERIFY(transaction.commit());
            query = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("large"));
        QTRY_COMPARE(heard(spy), QList<ChangeNotice>{ChangeNotice::made(QStringLiteral("Large"))});
    }

    // A watcher that missed more changes than the list keeps hears Any; the list stays short.
    void prunedListIsAny()
    {
        const QString folder = m_dir.filePath(QStringLiteral("pruned")) + QLatin1Char('/');
        mDatabase mine, other;
        mine.BuildConnectionString(folder);
        other.BuildConnectionString(folder);
        QVERIFY(mine.OpenDatabase());
        QVERIFY(other.OpenDatabase());
        StoreWatcher watcher(mine);
        QSignalSpy spy(&watcher, &StoreWatcher::Changed);
        watcher.Start();
        watcher.Stop();
        QVERIFY(other.InsertPerson(QStringLiteral("Example"), person("P", "0")));
        {
            // Many commits of the store's transactions, on a connection that does not wait for
            // the disk (the list is the same, the test quicker).
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "many");
            db.setDatabaseName(mine.DatabasePath());
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous=OFF")));
            for (int i = 0; i < Store::ChangeNoticeList::kKept + 64; ++i) {
                Store::StoreSql::Transaction transaction(db);
                QVERIFY(transaction.active());
                transaction.announceNothing();
                QVERIFY(transaction.commit());
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("many"));
        watcher.Start();
        QTRY_COMPARE(heard(spy), QList<ChangeNotice>{ChangeNotice()});
        const qint64 kept = rawCount(mine.DatabasePath(), "SELECT count(*) FROM mainChanges");
        QVERIFY2(kept >= Store::ChangeNoticeList::kKept &&
                     kept < Store::ChangeNoticeList::kKept + 64,
                 qPrintable(QString::number(kept)));
    }

    // A store opened for reading writes nothing (no list is made) and still hears each change
    // with its persons, the list made by another program's first change included.
    void readOnlyOpenHearsWithoutWriting()
    {
        const QString folder = m_dir.filePath(QStringLiteral("reader")) + QLatin1Char('/');
        mDatabase reader, other;
        other.BuildConnectionString(folder);
        QVERIFY(other.OpenDatabase());
        QVERIFY(rawWrite(other.DatabasePath(), "DROP TABLE IF EXISTS mainChanges"));
        reader.BuildConnectionString(folder);
        reader.SetWriteCheck([](const QString &) { return false; });
        QVERIFY(reader.OpenDatabase());
        QVERIFY(reader.IsReadOnly());
        StoreWatcher watcher(reader);
        QSignalSpy spy(&watcher, &StoreWatcher::Changed);
        watcher.Start();
        watcher.Check();
        QCoreApplication::processEvents();
        QCOMPARE(spy.count(), 0);
        QCOMPARE(rawCount(other.DatabasePath(),
                          "SELECT count(*) FROM sqlite_master WHERE name = 'mainChanges'"),
                 0);

        QVERIFY(other.InsertPerson(QStringLiteral("Example"), person("N1", "New")));
        QTRY_COMPARE(heard(spy),
                     QList<ChangeNotice>{ChangeNotice::persons(QStringLiteral("Example"), {"N1"})});
    }

    // On either engine: each commit of another program is told with its tree and persons, in
    // order; a change that failed (rolled back) and the store's own changes are not; a tree
    // made, renamed and deleted is told as such.
    void noticesNameTreesAndPersons_data()
    {
        QTest::addColumn<bool>("server");
        QTest::newRow("file") << false;
        QTest::newRow("server") << true;
    }
    void noticesNameTreesAndPersons()
    {
        QFETCH(bool, server);
        mDatabase mine, other;
        if (server) {
            VT_REQUIRE_SERVER(*m_server);
            QVERIFY(openPair(mine, other));
        } else {
            const QString folder = m_dir.filePath(QStringLiteral("named")) + QLatin1Char('/');
            mine.BuildConnectionString(folder);
            other.BuildConnectionString(folder);
            QVERIFY(mine.OpenDatabase());
            QVERIFY(other.OpenDatabase());
        }
        StoreWatcher watcher(mine);
        QSignalSpy spy(&watcher, &StoreWatcher::Changed);
        watcher.Start();
        const QString example = QStringLiteral("Example");

        QVERIFY(mine.InsertPerson(example, person("M1", "Mine")));
        QVERIFY(other.InsertPerson(example, person("O1", "Other")));
        QCOMPARE(other.InsertPerson(example, person("o1", "Taken")).error().code(),
                 ErrorCode::Taken);
        QVERIFY(mine.UpdatePerson(example, QStringLiteral("O1"), person("O1", "Mine too")));
        QVERIFY(other.DeletePerson(example, QStringLiteral("M1")));
        QVERIFY(other.CreateTree(QStringLiteral("Made")));
        QVERIFY(other.RenameTree(QStringLiteral("Made"), QStringLiteral("Named \"x\"")));
        QVERIFY(other.DeleteTree(QStringLiteral("Named \"x\"")));
        const QList<ChangeNotice> expected{
            ChangeNotice::persons(example, {"O1"}), ChangeNotice::persons(example, {"M1"}),
            ChangeNotice::made(QStringLiteral("Made")),
            ChangeNotice::renamed(QStringLiteral("Made"), QStringLiteral("Named \"x\"")),
            ChangeNotice::deleted(QStringLiteral("Named \"x\""))};
        QTRY_COMPARE_WITH_TIMEOUT(heard(spy).size(), expected.size(), 5000);
        QCOMPARE(heard(spy), expected);
    }

    // A change whose rules change other rows too (a partner's columns follow a new name; a
    // partner named in the columns is made) names them all, so that a program can read those
    // rows alone.
    void serverNoticesNameEveryRowTheRulesChanged()
    {
        VT_REQUIRE_SERVER(*m_server);
        mDatabase mine, other;
        QVERIFY(openPair(mine, other));
        const QString tree = QStringLiteral("Couple");
        std::vector<PersonRecord> rows{person("A1", "Anna"), person("B1", "Bert")};
        rows[0].PrtFname = QStringLiteral("Bert");
        rows[1].PrntKey.clear();
        rows[1].PrtFname = QStringLiteral("Anna");
        Genealogy::TreeModel model;
        model.persons.resize(2);
        Genealogy::Family couple;
        couple.partner[0] = 0;
        couple.partner[1] = 1;
        const quint32 f = model.families.add(couple);
        model.partnerships.add({0, f});
        model.partnerships.add({1, f});
        NewTreeWriter writer(other);
        QVERIFY(writer.Begin(tree));
        for (const PersonRecord &row : rows)
            QVERIFY(writer.Add(row));
        QVERIFY(ModelStore::writeModelInTransaction(other, tree, rows, model));
        QVERIFY(writer.Commit());

        StoreWatcher watcher(mine);
        QSignalSpy spy(&watcher, &StoreWatcher::Changed);
        watcher.Start();
        PersonRecord anna = rows[0];
        anna.Fname = QStringLiteral("Annie");
        QVERIFY(other.UpdatePerson(tree, QStringLiteral("A1"), anna));
        QTRY_COMPARE_WITH_TIMEOUT(heard(spy).size(), 1, 5000);
        QCOMPARE(heard(spy).first(), ChangeNotice::persons(tree, {"A1", "B1"}));
        QCOMPARE(mine.FindPerson(tree, QStringLiteral("B1"))->PrtFname, QStringLiteral("Annie"));
    }

    // The store opened again (a new connection to the server) is listened to again.
    void serverListensAgainAfterReopening()
    {
        VT_REQUIRE_SERVER(*m_server);
        mDatabase mine, other;
        QVERIFY(openPair(mine, other));
        StoreWatcher watcher(mine);
        QSignalSpy spy(&watcher, &StoreWatcher::Changed);
        watcher.Start();
        mine.CloseDatabase();
        QVERIFY(mine.OpenDatabase());
        watcher.Check();
        QVERIFY(other.InsertPerson(QStringLiteral("Example"), person("A1", "After")));
        QTRY_COMPARE_WITH_TIMEOUT(heard(spy).size(), 1, 5000);
        QCOMPARE(heard(spy).first().keys, QStringList{"A1"});
    }
};

QTEST_GUILESS_MAIN(TestStoreWatcher)
#include "tst_storewatcher.moc"
