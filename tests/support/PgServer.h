#pragma once

// A real database server for the tests of shared databases: made with initdb in a temporary
// folder and started with pg_ctl, listening only on a Unix socket in that folder (no TCP port),
// stopped and removed when the object goes, and at the latest when the process ends (a test
// that fails part-way still stops it). initdb refuses the superuser: run as root, the server is
// made and run as "nobody" (the folder is given to it); the test itself stays as it is. A
// watchdog process waits on a pipe from the test: when the test process ends in any way (a crash
// too), the pipe closes and the watchdog stops the server and removes its folder.
//
// Where the server's programs are missing the server is not started and `problem()` says why;
// VT_REQUIRE_SERVER skips the test then, unless VT_REQUIRE_POSTGRES=1 (CI) makes that a failure.

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <set>

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

class PgServer
{
public:
    // The superuser of the test server and the port its socket is named after.
    static constexpr const char *kUser = "vtadmin";
    static constexpr int kPort = 5432;

    // How a server is started beyond the socket: also on TCP at 127.0.0.1 (a port of its own),
    // and with TLS (a self-signed certificate for "localhost" made by openssl in its folder).
    struct Options
    {
        bool tcp = false;
        bool tls = false;
    };

    PgServer() { start(); }
    explicit PgServer(Options options) : m_options(options) { start(); }
    ~PgServer() { stop(); }
    PgServer(const PgServer &) = delete;
    PgServer &operator=(const PgServer &) = delete;

    bool running() const { return m_running; }

    // Stops the server as a failing machine would (immediately, connections cut) and starts it
    // again; true when done.
    bool halt()
    {
        return m_running && run(QStringLiteral("pg_ctl"),
                                {QStringLiteral("-D"), m_dir->filePath(QStringLiteral("data")),
                                 QStringLiteral("-m"), QStringLiteral("immediate"),
                                 QStringLiteral("-w"), QStringLiteral("stop")});
    }
    bool resume() { return m_running && run(QStringLiteral("pg_ctl"), startArguments()); }

    // Kills the server as a crash would: SIGKILL to the postmaster and every process of the
    // server at once, then waits (polling, bounded) until they are gone. resume() starts it
    // again on the same folder (the server recovers from its log). True when done.
    bool kill()
    {
        if (!m_running)
            return false;
        QList<qint64> pids;
        {
            const QString name = QStringLiteral("pgserver-kill-%1").arg(++m_connections);
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
                db.setHostName(socketFolder());
                db.setPort(port());
                db.setDatabaseName(QStringLiteral("postgres"));
                db.setUserName(QLatin1String(kUser));
                if (db.open()) {
                    QSqlQuery query(db);
                    if (query.exec(QStringLiteral("SELECT pid FROM pg_stat_activity")))
                        while (query.next())
                            pids << query.value(0).toLongLong();
                    query = QSqlQuery();
                    db.close();
                }
            }
            QSqlDatabase::removeDatabase(name);
        }
        QFile pidFile(m_dir->filePath(QStringLiteral("data/postmaster.pid")));
        if (!pidFile.open(QIODevice::ReadOnly))
            return false;
        pids.prepend(pidFile.readLine().trimmed().toLongLong());
        for (const qint64 pid : pids) {
            if (pid > 0)
                ::kill(pid_t(pid), SIGKILL);
        }
        QDeadlineTimer deadline(60000);
        const auto alive = [&pids] {
            return std::any_of(pids.begin(), pids.end(),
                               [](qint64 pid) { return pid > 0 && ::kill(pid_t(pid), 0) == 0; });
        };
        while (alive() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return !alive();
    }

    // From now on the role must give its password (the server asks for it on the socket and
    // on TCP); "" or the error.
    QString requirePassword(const QString &role)
    {
        QFile hba(m_dir->filePath(QStringLiteral("data/pg_hba.conf")));
        if (!hba.open(QIODevice::ReadOnly))
            return QStringLiteral("no pg_hba.conf");
        const QByteArray rules = hba.readAll();
        hba.close();
        const QByteArray first = "local all " + role.toUtf8() + " scram-sha-256\nhost all " +
                                 role.toUtf8() + " 127.0.0.1/32 scram-sha-256\n";
        if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            hba.write(first + rules) != first.size() + rules.size())
            return QStringLiteral("pg_hba.conf not written");
        hba.close();
        return run(QStringLiteral("pg_ctl"),
                   {QStringLiteral("-D"), m_dir->filePath(QStringLiteral("data")),
                    QStringLiteral("reload")})
                   ? QString()
                   : m_problem;
    }

    // The port the server listens on (its socket is named after it).
    int port() const { return m_port; }
    // The certificate of a server started with TLS ("" otherwise).
    QString certificate() const
    {
        return m_options.tls ? m_dir->filePath(QStringLiteral("server.crt")) : QString();
    }
    // Why the server is not running ("" while it runs).
    QString problem() const { return m_problem; }
    QString socketFolder() const
    {
        return m_dir ? m_dir->filePath(QStringLiteral("s")) : QString();
    }

    // Writes a password file as the server library wants it (only its owner may read it), with
    // one line "*:*:*:<role>:<password>"; false when it could not be written.
    static bool writePasswordFile(const QString &path, const QString &role, const QString &password)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        const QByteArray line = "*:*:*:" + role.toUtf8() + ':' + password.toUtf8() + '\n';
        return file.write(line) == line.size() &&
               file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }

    // The connection address of a database of this server in the keyword form.
    QString keywords(const QString &database, const QString &user = QLatin1String(kUser)) const
    {
        return QStringLiteral("host=%1 port=%2 dbname=%3 user=%4")
            .arg(socketFolder())
            .arg(m_port)
            .arg(database, user);
    }

    // The address over TCP (a server started with Options::tcp), host "localhost".
    QString tcpKeywords(const QString &database, const QString &user = QLatin1String(kUser)) const
    {
        return QStringLiteral("host=localhost port=%1 dbname=%2 user=%3")
            .arg(m_port)
            .arg(database, user);
    }

    // Runs statements as the superuser on a database of the server; "" or the error.
    QString exec(const QString &database, const QStringList &statements) const
    {
        const QString name = QStringLiteral("pgserver-admin-%1").arg(++m_connections);
        QString error;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(socketFolder());
            db.setPort(m_port);
            db.setDatabaseName(database);
            db.setUserName(QLatin1String(kUser));
            if (!db.open()) {
                error = db.lastError().text();
            } else {
                QSqlQuery query(db);
                for (const QString &statement : statements) {
                    if (!query.exec(statement)) {
                        error = statement + QStringLiteral(": ") + query.lastError().text();
                        break;
                    }
                }
                query = QSqlQuery();
                db.close();
            }
        }
        QSqlDatabase::removeDatabase(name);
        return error;
    }

    // A new empty database of that name; "" or the error.
    QString createDatabase(const QString &name) const
    {
        QString quoted = name;
        quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        return exec(QStringLiteral("postgres"),
                    {QStringLiteral("CREATE DATABASE \"%1\"").arg(quoted)});
    }

    // The folder of the server's programs: the newest installed version ("" when none).
    static QString binaries()
    {
        const QDir root(QStringLiteral("/usr/lib/postgresql"));
        QStringList versions = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        std::sort(versions.begin(), versions.end(),
                  [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
        for (const QString &version : versions) {
            const QString bin = root.filePath(version + QStringLiteral("/bin"));
            if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable() &&
                QFileInfo(bin + QStringLiteral("/pg_ctl")).isExecutable())
                return bin;
        }
        return {};
    }

private:
    void start()
    {
        const QString bin = binaries();
        if (bin.isEmpty()) {
            m_problem = QStringLiteral("the database server is not installed (no initdb and "
                                       "pg_ctl under /usr/lib/postgresql/*/bin; Debian package "
                                       "postgresql)");
            return;
        }
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
            m_problem = QStringLiteral("Qt's driver for the server is not installed (Debian "
                                       "package libqt6sql6-psql)");
            return;
        }
        m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vtpg-XXXXXX"));
        if (!m_dir->isValid()) {
            m_problem = QStringLiteral("no temporary folder for the server");
            return;
        }
        m_bin = bin;
        QDir(m_dir->path()).mkdir(QStringLiteral("s"));
        if (geteuid() == 0 && !giveToNobody())
            return;
        if (m_options.tcp && !choosePort())
            return;
        if (m_options.tls && !makeCertificate())
            return;
        const QString data = m_dir->filePath(QStringLiteral("data"));
        if (!run(QStringLiteral("initdb"),
                 {QStringLiteral("-D"), data, QStringLiteral("-U"), QLatin1String(kUser),
                  QStringLiteral("--auth=trust"), QStringLiteral("--encoding=UTF8"),
                  QStringLiteral("--locale=C"), QStringLiteral("--no-sync")}))
            return;
        if (!run(QStringLiteral("pg_ctl"), startArguments())) {
            QFile log(m_dir->filePath(QStringLiteral("server.log")));
            if (log.open(QIODevice::ReadOnly))
                m_problem += QStringLiteral("\n") + QString::fromLocal8Bit(log.readAll());
            return;
        }
        m_running = true;
        startWatchdog(data);
        guard().insert(this);
        static std::once_flag once;
        std::call_once(once, [] {
            std::atexit([] {
                // Copied first: stop() takes each server out of the set.
                const std::set<PgServer *> left = guard();
                for (PgServer *server : left)
                    server->stop();
            });
        });
    }

    void stop()
    {
        if (m_running) {
            m_running = false;
            guard().erase(this);
            run(QStringLiteral("pg_ctl"),
                {QStringLiteral("-D"), m_dir->filePath(QStringLiteral("data")),
                 QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"),
                 QStringLiteral("stop")});
        }
        if (m_watchdog) {
            m_watchdog->closeWriteChannel();
            m_watchdog->waitForFinished(60000);
            m_watchdog.reset();
        }
        m_dir.reset();
    }

    QStringList startArguments() const
    {
        // Only the socket; no shared memory files (a fresh root may have no /dev/shm).
        QString options = QStringLiteral("-k %1 -p %2 -c listen_addresses=%3 -c fsync=off "
                                         "-c dynamic_shared_memory_type=mmap -c max_connections=40")
                              .arg(socketFolder())
                              .arg(m_port)
                              .arg(m_options.tcp ? QStringLiteral("127.0.0.1") : QString());
        if (m_options.tls)
            options += QStringLiteral(" -c ssl=on -c ssl_cert_file=%1 -c ssl_key_file=%2")
                           .arg(m_dir->filePath(QStringLiteral("server.crt")),
                                m_dir->filePath(QStringLiteral("server.key")));
        return {QStringLiteral("-D"), m_dir->filePath(QStringLiteral("data")),
                QStringLiteral("-l"), m_dir->filePath(QStringLiteral("server.log")),
                QStringLiteral("-o"), options,
                QStringLiteral("-w"), QStringLiteral("-t"),
                QStringLiteral("60"), QStringLiteral("start")};
    }

    // The watchdog: reads its input until the test process closes it (or dies), then stops the
    // server (when still running) and removes the folder.
    void startWatchdog(const QString &data)
    {
        m_watchdog = std::make_unique<QProcess>();
        prepare(*m_watchdog);
        m_watchdog->setProgram(QStringLiteral("/bin/sh"));
        m_watchdog->setArguments(
            {QStringLiteral("-c"),
             QStringLiteral("cat >/dev/null; \"$0\" -D \"$1\" -m immediate -w stop "
                            ">/dev/null 2>&1; rm -rf \"$2\""),
             m_bin + QStringLiteral("/pg_ctl"), data, m_dir->path()});
        m_watchdog->setStandardOutputFile(QProcess::nullDevice());
        m_watchdog->start();
        m_watchdog->waitForStarted();
    }

    // A free TCP port of the loopback address for the server.
    bool choosePort()
    {
        const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        const bool found =
            probe >= 0 && ::bind(probe, reinterpret_cast<sockaddr *>(&address), length) == 0 &&
            ::getsockname(probe, reinterpret_cast<sockaddr *>(&address), &length) == 0;
        if (probe >= 0)
            ::close(probe);
        if (!found) {
            m_problem = QStringLiteral("no free TCP port on 127.0.0.1");
            return false;
        }
        m_port = ntohs(address.sin_port);
        return true;
    }

    // A self-signed certificate for "localhost", made by openssl in the server's folder (the
    // key readable by the server's user alone).
    bool makeCertificate()
    {
        QProcess openssl;
        openssl.setProcessChannelMode(QProcess::MergedChannels);
        openssl.setWorkingDirectory(m_dir->path());
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("rsa:2048"), QStringLiteral("-nodes"),
                       QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=localhost"), QStringLiteral("-addext"),
                       QStringLiteral("subjectAltName=DNS:localhost"), QStringLiteral("-keyout"),
                       QStringLiteral("server.key"), QStringLiteral("-out"),
                       QStringLiteral("server.crt")});
        if (!openssl.waitForFinished(60000) || openssl.exitStatus() != QProcess::NormalExit ||
            openssl.exitCode() != 0) {
            m_problem = QStringLiteral("openssl could not make a certificate: %1")
                            .arg(QString::fromLocal8Bit(openssl.readAll()).trimmed());
            return false;
        }
        const QByteArray key = QFile::encodeName(m_dir->filePath(QStringLiteral("server.key")));
        if (::chmod(key.constData(), 0600) != 0 ||
            (m_dropPrivileges && ::chown(key.constData(), m_uid, m_gid) != 0)) {
            m_problem = QStringLiteral("the certificate's key cannot be given to the server");
            return false;
        }
        return true;
    }

    // Runs as root: the folder goes to "nobody", who makes and runs the server.
    bool giveToNobody()
    {
        const passwd *nobody = getpwnam("nobody");
        if (!nobody) {
            m_problem = QStringLiteral("run as root, but there is no user \"nobody\" to run "
                                       "the server as");
            return false;
        }
        m_uid = nobody->pw_uid;
        m_gid = nobody->pw_gid;
        for (const QString &path : {m_dir->path(), socketFolder()}) {
            if (::chown(QFile::encodeName(path).constData(), m_uid, m_gid) != 0) {
                m_problem = QStringLiteral("cannot give the folder %1 to \"nobody\"").arg(path);
                return false;
            }
        }
        m_dropPrivileges = true;
        return true;
    }

    bool run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.setProgram(m_bin + QLatin1Char('/') + program);
        process.setArguments(arguments);
        process.setProcessChannelMode(QProcess::MergedChannels);
        prepare(process);
        process.start();
        const bool done = process.waitForFinished(120000);
        if (done && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return true;
        m_problem = QStringLiteral("%1 failed: %2")
                        .arg(program, QString::fromLocal8Bit(process.readAll()).trimmed());
        return false;
    }

    // The environment and user of the server's programs.
    void prepare(QProcess &process) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        environment.remove(QStringLiteral("PGDATA"));
        if (m_dropPrivileges)
            environment.insert(QStringLiteral("HOME"), m_dir->path());
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(m_dir->path());
        if (m_dropPrivileges) {
            const uid_t uid = m_uid;
            const gid_t gid = m_gid;
            process.setChildProcessModifier([uid, gid] {
                if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)
                    _exit(126);
            });
        }
    }

    static std::set<PgServer *> &guard()
    {
        static std::set<PgServer *> servers;
        return servers;
    }

    Options m_options;
    int m_port = kPort;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_watchdog;
    QString m_bin;
    QString m_problem;
    bool m_running = false;
    bool m_dropPrivileges = false;
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    mutable int m_connections = 0;
};

// In a test function: skips when the server could not be started, or fails when the run asks
// for it (VT_REQUIRE_POSTGRES=1, as CI does).
#define VT_REQUIRE_SERVER(server)                                                                  \
    do {                                                                                           \
        if (!(server).running()) {                                                                 \
            if (qEnvironmentVariableIntValue("VT_REQUIRE_POSTGRES") == 1)                          \
                QFAIL(qPrintable(QStringLiteral("the database server is required: ") +             \
                                 (server).problem()));                                             \
            QSKIP(qPrintable(QStringLiteral("no database server: ") + (server).problem()));        \
        }                                                                                          \
    } while (false)
