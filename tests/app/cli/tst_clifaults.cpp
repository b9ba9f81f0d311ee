// The program on a shared database whose server is killed (SIGKILL of the postmaster and its
// processes, as a crash) in the middle of an import and in the middle of a save: the program
// ends with one clear message, after the restart nothing is half-written (the tree absent or
// whole, --check-tree clean) and the next command works. The moment is found by watching the
// server (a session that has written, a session waiting for the write lock), never by waiting.
#include "PgServer.h"
#include "mDatabase.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Outcome
{
    int code = -1;
    bool crashed = false;
    QString out;
    QString err;
};

// The store's write lock (every writer of the program takes it first).
constexpr qint64 kWriteLock = 0x56655472;

} // namespace

class TestCliFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<PgServer> m_server;
    const QString m_database = QStringLiteral("faults");
    QString m_bigFile;
    static constexpr int kBigPersons = 60000;

    QString address() const { return m_server->keywords(m_database); }

    void start(QProcess &program, const QStringList &arguments) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QLatin1String(name));
        environment.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           m_dir.filePath(QStringLiteral("config")));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(VT_PROGRAM),
                      QStringList{QStringLiteral("--data"), m_dir.filePath(QStringLiteral("data")),
                                  QStringLiteral("--database"), address()} +
                          arguments);
    }

    static Outcome finish(QProcess &program)
    {
        program.waitForFinished(300000);
        Outcome outcome;
        outcome.crashed = program.exitStatus() != QProcess::NormalExit;
        outcome.code = outcome.crashed ? -1 : program.exitCode();
        outcome.out = QString::fromUtf8(program.readAllStandardOutput());
        outcome.err = QString::fromUtf8(program.readAllStandardError());
        return outcome;
    }

    Outcome run(const QStringList &arguments) const
    {
        QProcess program;
        start(program, arguments);
        return finish(program);
    }

    // One value the server's superuser reads (-1 when it cannot).
    qint64 serverValue(const QString &sql) const
    {
        const QString name = QStringLiteral("faults-watch");
        qint64 value = -1;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(m_server->socketFolder());
            db.setPort(m_server->port());
            db.setDatabaseName(m_database);
            db.setUserName(QLatin1String(PgServer::kUser));
            if (db.open()) {
                QSqlQuery query(db);
                if (query.exec(sql) && query.next())
                    value = query.value(0).toLongLong();
            }
        }
        QSqlDatabase::removeDatabase(name);
        return value;
    }

    // Sessions of another program with a transaction that has written (a table made, rows
    // sent), or waiting for the program's write lock.
    qint64 writing() const
    {
        return serverValue(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE "
                                          "backend_xid IS NOT NULL AND pid <> pg_backend_pid()"));
    }
    qint64 waitingForTheLock() const
    {
        return serverValue(QStringLiteral("SELECT count(*) FROM pg_locks WHERE locktype = "
                                          "'advisory' AND NOT granted"));
    }

    mDatabase &open(mDatabase &store) const
    {
        store.SetServer(*ParseServerAddress(address()));
        return store;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_bigFile = m_dir.filePath(QStringLiteral("big.ged"));
        QFile file(m_bigFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray text = "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n";
        // Couples with one child each: three persons and a family.
        for (int i = 0; i < kBigPersons; i += 3) {
            const QByteArray n = QByteArray::number(i);
            text += "0 @I" + n + "@ INDI\n1 NAME Anna" + n + " /Berg/\n1 SEX F\n1 BIRT\n2 DATE " +
                    QByteArray::number(1800 + i % 200) + "\n1 FAMS @F" + n + "@\n";
            text +=
                "0 @J" + n + "@ INDI\n1 NAME Bert" + n + " /Holm/\n1 SEX M\n1 FAMS @F" + n + "@\n";
            text += "0 @K" + n + "@ INDI\n1 NAME Carl" + n + " /Holm/\n1 FAMC @F" + n + "@\n";
            text += "0 @F" + n + "@ FAM\n1 HUSB @J" + n + "@\n1 WIFE @I" + n + "@\n1 CHIL @K" + n +
                    "@\n";
        }
        text += "0 TRLR\n";
        QCOMPARE(file.write(text), text.size());
        file.close();
        m_server = std::make_unique<PgServer>();
        if (m_server->running())
            QCOMPARE(m_server->createDatabase(m_database), QString());
    }
    void cleanupTestCase() { m_server.reset(); }

    // Killed while the import writes: no half tree after the restart, and importing again
    // gives the whole tree.
    void killedDuringAnImport()
    {
        VT_REQUIRE_SERVER(*m_server);
        // The program's tables first, so that the import's transaction is the tree alone.
        QCOMPARE(run({QStringLiteral("--import-gedcom"), m_bigFile, QStringLiteral("--tree"),
                      QStringLiteral("Warm-up")})
                     .code,
                 0);
        QProcess program;
        start(program, {QStringLiteral("--import-gedcom"), m_bigFile, QStringLiteral("--tree"),
                        QStringLiteral("Big")});
        QTRY_VERIFY_WITH_TIMEOUT(writing() > 0 || program.state() == QProcess::NotRunning, 300000);
        QVERIFY2(program.state() != QProcess::NotRunning, "the import ended before it wrote");
        QVERIFY(m_server->kill());
        const Outcome killed = finish(program);
        QVERIFY(!killed.crashed);
        QCOMPARE(killed.code, 1);
        QVERIFY2(killed.err.contains(QLatin1String("could not be imported")),
                 qPrintable(killed.err));
        QVERIFY2(killed.err.contains(QLatin1String("server")), qPrintable(killed.err));

        QVERIFY(m_server->resume());
        mDatabase store;
        QVERIFY(open(store).OpenDatabase());
        QVERIFY(!store.TreeExists(QStringLiteral("Big")));
        const Outcome again = run({QStringLiteral("--import-gedcom"), m_bigFile,
                                   QStringLiteral("--tree"), QStringLiteral("Big")});
        QVERIFY2(again.code == 0, qPrintable(again.err));
        QCOMPARE(store.ReadTree(QStringLiteral("Big"))->size(), kBigPersons);
        const Outcome check = run({QStringLiteral("--check-tree"), QStringLiteral("Big")});
        QVERIFY2(check.code == 0, qPrintable(check.out + check.err));
    }

    // Killed while a save (a merge) waits for another writer: the tree is as before, the next
    // command works.
    void killedDuringASave()
    {
        VT_REQUIRE_SERVER(*m_server);
        QCOMPARE(run({QStringLiteral("--import-gedcom"), m_bigFile, QStringLiteral("--tree"),
                      QStringLiteral("Saved")})
                     .code,
                 0);
        mDatabase store;
        QVERIFY(open(store).OpenDatabase());
        const QList<PersonRecord> before = *store.ReadTree(QStringLiteral("Saved"));
        store.CloseDatabase();
        const QString keep = before[0].ID, other = before[3].ID;

        const QString holderName = QStringLiteral("faults-holder");
        {
            QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), holderName);
            holder.setHostName(m_server->socketFolder());
            holder.setPort(m_server->port());
            holder.setDatabaseName(m_database);
            holder.setUserName(QLatin1String(PgServer::kUser));
            QVERIFY(holder.open());
            QSqlQuery hold(holder);
            QVERIFY(hold.exec(QStringLiteral("BEGIN")));
            QVERIFY(hold.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kWriteLock)));

            QProcess program;
            start(program, {QStringLiteral("--merge"), QStringLiteral("Saved"), keep, other});
            QTRY_VERIFY_WITH_TIMEOUT(
                waitingForTheLock() > 0 || program.state() == QProcess::NotRunning, 300000);
            QVERIFY(m_server->kill());
            const Outcome killed = finish(program);
            QVERIFY(!killed.crashed);
            QCOMPARE(killed.code, 1);
            QVERIFY2(killed.err.contains(QLatin1String("could not be merged")),
                     qPrintable(killed.err));
            hold = QSqlQuery();
            holder.close();
        }
        QSqlDatabase::removeDatabase(holderName);

        QVERIFY(m_server->resume());
        QVERIFY(store.OpenDatabase());
        QCOMPARE(*store.ReadTree(QStringLiteral("Saved")), before);
        const Outcome check = run({QStringLiteral("--check-tree"), QStringLiteral("Saved")});
        QVERIFY2(check.code == 0, qPrintable(check.out + check.err));
        const Outcome merged =
            run({QStringLiteral("--merge"), QStringLiteral("Saved"), keep, other});
        QVERIFY2(merged.code == 0, qPrintable(merged.err));
        QCOMPARE(store.ReadTree(QStringLiteral("Saved"))->size(), before.size() - 1);
    }
};

QTEST_GUILESS_MAIN(TestCliFaults)
#include "tst_clifaults.moc"
