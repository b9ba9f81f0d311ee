// The command line on a shared database whose roles have rights per tree, and the ways a
// connection is refused, each one clear message and exit 1: a tree the role may only read, a
// database the role may only read, a wrong or missing password, a role without any right, TLS
// required of a server without it. And TLS that works: a server with a self-signed certificate
// made by openssl, reached with sslmode=require and verify-full.
#include "CliRun.h"
#include "PgServer.h"
#include "mDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// One message: a single paragraph block ending the output, nothing on standard output.
bool oneMessage(const CliOutcome &outcome)
{
    return outcome.code == 1 && !outcome.err.trimmed().isEmpty();
}

} // namespace

class TestCliRights : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<PgServer> m_server;
    const QString m_database = QStringLiteral("rights");
    QString m_data;
    QString m_file;

    QString as(const QString &user) const { return m_server->keywords(m_database, user); }

    CliOutcome import(const QString &user, const QString &how, const QString &tree)
    {
        return runCli(m_data, {QStringLiteral("--database"), as(user),
                               QStringLiteral("--import-gedcom"), m_file, how, tree});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_data = m_dir.filePath(QStringLiteral("data/"));
        QVERIFY(QDir().mkpath(m_data));
        m_file = m_dir.filePath(QStringLiteral("family.ged"));
        QFile file(m_file);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Anna /Berg/\n"
                   "1 FAMS @F1@\n0 @I2@ INDI\n1 NAME Bert /Holm/\n1 FAMS @F1@\n0 @I3@ INDI\n"
                   "1 NAME Carl /Holm/\n1 FAMC @F1@\n0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @I1@\n"
                   "1 CHIL @I3@\n0 TRLR\n");
        file.close();
        m_server = std::make_unique<PgServer>();
        if (!m_server->running())
            return;
        QCOMPARE(m_server->createDatabase(m_database), QString());
        const QString admin = QLatin1String(PgServer::kUser);
        QCOMPARE(import(admin, QStringLiteral("--tree"), QStringLiteral("Alpha")).code, 0);
        QCOMPARE(import(admin, QStringLiteral("--tree"), QStringLiteral("Beta")).code, 0);
        QCOMPARE(m_server->exec(
                     m_database,
                     {QStringLiteral("CREATE ROLE editor LOGIN"),
                      QStringLiteral("CREATE ROLE reader LOGIN"),
                      QStringLiteral("CREATE ROLE stranger LOGIN"),
                      QStringLiteral("CREATE ROLE careful LOGIN PASSWORD 'Kx9-secret'"),
                      QStringLiteral("GRANT USAGE ON SCHEMA velkintree TO editor, reader, careful"),
                      QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON "
                                     "velkintree.\"Alpha\" TO editor"),
                      QStringLiteral("GRANT SELECT ON velkintree.\"Beta\" TO editor"),
                      QStringLiteral("GRANT SELECT ON velkintree.\"Alpha\", velkintree.\"Beta\" "
                                     "TO reader, careful")}),
                 QString());
    }
    void cleanupTestCase() { m_server.reset(); }

    // The editor of Alpha updates Alpha; Beta, which it may only read, is refused with one
    // message naming it and stays as it was; a reader's new tree is refused.
    void changesOfTreesTheRoleMayOnlyRead()
    {
        VT_REQUIRE_SERVER(*m_server);
        const CliOutcome own =
            import(QStringLiteral("editor"), QStringLiteral("--into"), QStringLiteral("Alpha"));
        QVERIFY2(own.code == 0, qPrintable(own.err));

        const CliOutcome other =
            import(QStringLiteral("editor"), QStringLiteral("--into"), QStringLiteral("Beta"));
        QVERIFY2(oneMessage(other), qPrintable(other.err));
        QVERIFY2(other.err.contains(QLatin1String("Beta")), qPrintable(other.err));
        QVERIFY2(other.err.contains(QLatin1String("right")), qPrintable(other.err));
        mDatabase owner;
        owner.SetServer(*ParseServerAddress(as(QLatin1String(PgServer::kUser))));
        QVERIFY(owner.OpenDatabase());
        const QList<PersonRecord> beta = *owner.ReadTree(QStringLiteral("Beta"));
        QCOMPARE(beta.size(), 3);
        const CliOutcome merged = runCli(
            m_data, {QStringLiteral("--database"), as(QStringLiteral("editor")),
                     QStringLiteral("--merge"), QStringLiteral("Beta"), beta[0].ID, beta[1].ID});
        QVERIFY2(oneMessage(merged), qPrintable(merged.err));
        QVERIFY2(merged.err.contains(QLatin1String("read-only")) ||
                     merged.err.contains(QLatin1String("right")),
                 qPrintable(merged.err));
        const CliOutcome check =
            runCli(m_data, {QStringLiteral("--database"), as(QStringLiteral("editor")),
                            QStringLiteral("--check-tree"), QStringLiteral("Beta")});
        QVERIFY2(check.code == 0, qPrintable(check.out + check.err));

        const CliOutcome reader =
            import(QStringLiteral("reader"), QStringLiteral("--tree"), QStringLiteral("Gamma"));
        QVERIFY2(oneMessage(reader), qPrintable(reader.err));
        QVERIFY2(reader.err.contains(QLatin1String("read-only")), qPrintable(reader.err));

        QCOMPARE(*owner.ReadTree(QStringLiteral("Beta")), beta);
        QVERIFY(!owner.TreeExists(QStringLiteral("Gamma")));
    }

    // A role the server refuses, or that may reach nothing: one clear message each.
    void refusedConnections()
    {
        VT_REQUIRE_SERVER(*m_server);
        QCOMPARE(m_server->requirePassword(QStringLiteral("careful")), QString());
        const auto check = [this](const QString &address) {
            return runCli(m_data, {QStringLiteral("--database"), address,
                                   QStringLiteral("--check-tree"), QStringLiteral("Alpha")});
        };
        const QString passwords = m_dir.filePath(QStringLiteral("pgpass"));
        QVERIFY(PgServer::writePasswordFile(passwords, "careful", "wrong"));
        qputenv("PGPASSFILE", QFile::encodeName(passwords));
        const CliOutcome wrong = check(as(QStringLiteral("careful")));
        QVERIFY2(oneMessage(wrong), qPrintable(wrong.err));
        QVERIFY2(wrong.err.contains(QLatin1String("password authentication failed")),
                 qPrintable(wrong.err));
        QVERIFY(!wrong.err.contains(QLatin1String("wrong")));

        // No keyring holds it (none runs in the tests): the password file, without a word.
        QVERIFY(PgServer::writePasswordFile(passwords, "careful", "Kx9-secret"));
        const CliOutcome right = check(as(QStringLiteral("careful")));
        qunsetenv("PGPASSFILE");
        QVERIFY2(right.code == 0, qPrintable(right.err));
        QVERIFY2(!right.err.contains(QLatin1String("keyring")), qPrintable(right.err));
        QVERIFY(!(right.out + right.err).contains(QLatin1String("Kx9-secret")));
        const CliOutcome none = check(as(QStringLiteral("careful")) + QStringLiteral(" passfile=") +
                                      m_dir.filePath("nowhere"));
        QVERIFY2(oneMessage(none), qPrintable(none.err));
        QVERIFY2(none.err.contains(QLatin1String("asks for a password")), qPrintable(none.err));
        QVERIFY2(none.err.contains(QLatin1String("keyring")), qPrintable(none.err));

        const CliOutcome stranger = check(as(QStringLiteral("stranger")));
        QVERIFY2(oneMessage(stranger), qPrintable(stranger.err));
        QVERIFY2(stranger.err.contains(QLatin1String("permission denied")),
                 qPrintable(stranger.err));
        QVERIFY2(stranger.err.contains(QLatin1String("administrator")), qPrintable(stranger.err));
    }

    // TLS required of a server that has none (on TCP: the socket never uses TLS) is refused
    // with one message; a server with a certificate is reached with require, and with
    // verify-full once its certificate is trusted (not by the system's store: it is
    // self-signed).
    void tls()
    {
        PgServer plain(PgServer::Options{true, false});
        VT_REQUIRE_SERVER(plain);
        QCOMPARE(plain.createDatabase(QStringLiteral("plain")), QString());
        const CliOutcome refused = runCli(m_data, {QStringLiteral("--database"),
                                                   plain.tcpKeywords(QStringLiteral("plain")) +
                                                       QStringLiteral(" sslmode=require"),
                                                   QStringLiteral("--import-gedcom"), m_file});
        QVERIFY2(oneMessage(refused), qPrintable(refused.err));
        QVERIFY2(refused.err.contains(QLatin1String("SSL")), qPrintable(refused.err));

        PgServer secure(PgServer::Options{true, true});
        VT_REQUIRE_SERVER(secure);
        QCOMPARE(secure.createDatabase(QStringLiteral("secure")), QString());
        const QString address = secure.tcpKeywords(QStringLiteral("secure"));
        const CliOutcome required = runCli(
            m_data, {QStringLiteral("--database"), address + QStringLiteral(" sslmode=require"),
                     QStringLiteral("--import-gedcom"), m_file, QStringLiteral("--tree"),
                     QStringLiteral("Sealed")});
        QVERIFY2(required.code == 0, qPrintable(required.err));
        mDatabase store;
        store.SetServer(*ParseServerAddress(address + QStringLiteral(" sslmode=require")));
        QVERIFY(store.OpenDatabase());
        QCOMPARE(store.ReadTree(QStringLiteral("Sealed"))->size(), 3);
        QVERIFY(store.IsEncrypted());

        const CliOutcome untrusted = runCli(
            m_data, {QStringLiteral("--database"), address + QStringLiteral(" sslmode=verify-full"),
                     QStringLiteral("--check-tree"), QStringLiteral("Sealed")});
        QVERIFY2(oneMessage(untrusted), qPrintable(untrusted.err));
        QVERIFY2(untrusted.err.contains(QLatin1String("certificate")), qPrintable(untrusted.err));
        const CliOutcome trusted =
            runCli(m_data, {QStringLiteral("--database"),
                            address + QStringLiteral(" sslmode=verify-full sslrootcert=") +
                                secure.certificate(),
                            QStringLiteral("--check-tree"), QStringLiteral("Sealed")});
        QVERIFY2(trusted.code == 0, qPrintable(trusted.err));
    }
};

QTEST_MAIN(TestCliRights)
#include "tst_clirights.moc"
