// The store on a shared database server: connecting, the checks when it opens (the program's
// tables there, their version, the user's rights), and what differs in naming tables.
#include "mDatabase.h"

#include "StoreSql.h"
#include "TreeTables.h"
#include "engine/Engines.h"
#include "engine/ServerErrors.h"
#include "engine/ServerRights.h"
#include "model/ChangeLog.h"
#include "model/SideDb.h"
#include "model/SideSchema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

using namespace Store;

using namespace StoreSql;

namespace {

const QString kServerDriver = QStringLiteral("QPSQL");

// One value of a query that gives one row.
Result<QVariant> single(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    if (Result<void> read = run(query, sql); !read)
        return read.error();
    if (!query.next())
        return QVariant();
    return query.value(0);
}

} // namespace

void mDatabase::SetServer(const ServerAddress &address, const QString &password)
{
    CloseDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
    QSqlDatabase::addDatabase(kServerDriver, m_connectionName);
    m_server = address;
    m_password = password;
    m_photoHome = m_dataPath;
    m_unreachable = false;
    m_databasePath = address.Display();
    m_connectionString.clear();
}

void mDatabase::SetLocal()
{
    if (!m_server)
        return;
    CloseDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
    QSqlDatabase::addDatabase(kDriver, m_connectionName);
    m_server.reset();
    m_password.clear();
    m_unreachable = false;
    m_databasePath = m_dataPath.isEmpty() ? QString() : m_dataPath + QStringLiteral("people.db");
}

QString mDatabase::DatabaseDisplayName() const
{
    return m_server ? m_server->Display() : m_databasePath;
}

QString mDatabase::nameProblem(const QString &name) const
{
    const QString problem = TreeNameProblem(name);
    if (!problem.isEmpty())
        return problem;
    return EngineOf(QSqlDatabase::database(m_connectionName, false)).nameProblem(name);
}

QString mDatabase::table(const QString &tree) const
{
    if (!m_server)
        return tree;
    const QString stored = StoredTreeName(tree);
    return stored.isEmpty() ? tree : stored;
}

Error mDatabase::serverError(Error error) const
{
    // The client library tells a lost connection by its state, or (before it noticed) by the
    // words of its message, which has no error code.
    // The driver may also have closed the connection already ("database not open", no text).
    const QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    const bool lost =
        ServerConnectionLost(db) || !db.isOpen() || ServerErrors::IsLostConnection(error.text());
    if (!lost)
        return error;
    // Read-only until the database is opened again.
    m_unreachable = true;
    if (error.is(ErrorCode::Unreachable))
        return error.where().isEmpty()
                   ? Error(ErrorCode::Unreachable, error.text(), m_server->Display())
                   : error;
    return Error(ErrorCode::Unreachable,
                 QStringLiteral("The connection to the shared database %1 was lost (%2). Nothing "
                                "was changed.\r\n\r\nCheck that the server is running and can be "
                                "reached, then open the database again.")
                     .arg(m_server->Display(), error.text().trimmed().isEmpty()
                                                   ? QStringLiteral("no answer")
                                                   : error.text().trimmed()),
                 m_server->Display());
}

Result<void> mDatabase::openServer()
{
    if (!QSqlDatabase::isDriverAvailable(kServerDriver))
        return Error(ErrorCode::Failed,
                     QStringLiteral("Shared databases cannot be opened: the database driver for "
                                    "them (Debian package libqt6sql6-psql) is not installed."));
    const QString where = m_server->Display();
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    db.setHostName(m_server->host);
    db.setPort(m_server->port.isEmpty() ? -1 : m_server->port.toInt());
    db.setDatabaseName(m_server->database);
    db.setUserName(m_server->user);
    db.setPassword(m_password);
    db.setConnectOptions(m_server->ForConnecting().DriverOptions());
    if (!db.open()) {
        const QString reason = db.lastError().databaseText().trimmed().isEmpty()
                                   ? db.lastError().text().trimmed()
                                   : db.lastError().databaseText().trimmed();
        return Error(
            ErrorCode::Unreachable,
            QStringLiteral("The shared database %1 could not be opened: %2").arg(where, reason),
            where);
    }
    {
        // The program's tables are found (and made) in its own schema, and a change waits for
        // another program's as long as on a file.
        QSqlQuery query(db);
        if (Result<void> set = run(
                query,
                QStringLiteral("SET search_path TO %1").arg(quoted(QLatin1String(kServerSchema))));
            !set)
            return set;
        if (Result<void> set =
                run(query, QStringLiteral("SET lock_timeout = %1").arg(qMax(1, m_busyTimeoutMs)));
            !set)
            return set;
    }
    const Result<QVariant> hasTables = single(
        db, QStringLiteral("SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname = '%1' "
                           "AND tablename IN ('main', 'maininfo')")
                .arg(QLatin1String(kServerSchema)));
    if (!hasTables)
        return named(hasTables.error());
    if (hasTables->toInt() < 2) {
        if (!m_createTables)
            return Error(ErrorCode::Missing,
                         QStringLiteral("The database %1 holds no family trees of Velkin Tree "
                                        "yet: its tables have not been made there.")
                             .arg(where),
                         where);
        if (Result<void> made = createServerTables(); !made)
            return Error(made.error().code(),
                         QStringLiteral("The tables of Velkin Tree could not be made in the "
                                        "database %1: %2")
                             .arg(where, made.error().text()),
                         where);
    }
    // A role the administrator gave no right to the program's schema reaches none of it.
    const Result<QVariant> usable =
        single(db, QStringLiteral("SELECT has_schema_privilege('%1', 'USAGE')")
                       .arg(QLatin1String(kServerSchema)));
    if (!usable)
        return named(usable.error());
    if (!usable->toBool())
        return Error(ErrorCode::NoPermission,
                     QStringLiteral("The family trees of the shared database %1 cannot be opened: "
                                    "permission denied for the role '%2' (it has not been given "
                                    "the right to use them).\r\n\r\nAsk the family's "
                                    "administrator for the right to read or edit a tree.")
                         .arg(where, db.userName()),
                     where);
    const Result<QVariant> version =
        single(db, QStringLiteral("SELECT max(version) FROM mainInfo"));
    if (!version)
        return named(version.error());
    if (version->toInt() <= kServerSchemaVersion) {
        if (Result<void> rights = checkServerRights(); !rights)
            return named(rights.error());
        if (version->toInt() < kServerSchemaVersion)
            if (Result<void> raised = raiseServerVersion(); !raised)
                return named(raised.error());
    } else {
        m_readOnly = true;
        m_newerTables = true;
        m_openNotice = NewerVersionText(where, version->toInt(), kServerSchemaVersion);
    }
    if (m_readOnly) {
        QSqlQuery query(db);
        std::ignore = run(query, QStringLiteral("SET default_transaction_read_only = on"));
    }
    return {};
}

Result<void> mDatabase::checkServerRights()
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    // The owner of the program's tables sets up the rights per tree once (a database made by
    // an earlier version gets them at its owner's next open).
    const Result<bool> owner = ServerRights::OwnsTables(db);
    if (!owner)
        return owner.error();
    const Result<bool> setUp = ServerRights::IsSetUp(db);
    if (!setUp)
        return setUp.error();
    if (*owner && !*setUp) {
        Transaction transaction(db);
        if (!transaction.active())
            return transaction.error();
        if (Result<void> side = Side::ensureSchema(Side::Db(db)); !side)
            return side;
        if (Result<void> history = ChangeLog::ensureTable(db); !history)
            return history;
        if (Result<void> rights = ServerRights::SetUp(db); !rights)
            return rights;
        if (!transaction.commit())
            return transaction.error();
    }
    const Result<bool> readOnly = serverReadOnly();
    if (!readOnly)
        return readOnly.error();
    m_readOnly = *readOnly;
    return {};
}

Result<void> mDatabase::raiseServerVersion()
{
    // The tables' owner marks them as this version's once it may write in this version's form,
    // so that older programs open them read-only instead of misreading that form; other roles
    // may not change the mark and leave it to the owner's next open.
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    const Result<bool> owner = ServerRights::OwnsTables(db);
    if (!owner)
        return owner.error();
    if (!*owner || m_readOnly)
        return {};
    QSqlQuery query(db);
    return run(query, QStringLiteral("UPDATE mainInfo SET version = ? WHERE version < ?"),
               {kServerSchemaVersion, kServerSchemaVersion});
}

Result<bool> mDatabase::serverReadOnly() const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    // A server that only reads, or a role that may change no tree and make none, has the
    // database for reading.
    const Result<QVariant> serverWrites =
        single(db, QStringLiteral("SELECT NOT pg_is_in_recovery() AND "
                                  "current_setting('transaction_read_only') = 'off'"));
    if (!serverWrites)
        return serverWrites.error();
    const Result<bool> mayCreate = ServerRights::MayCreateTrees(db);
    if (!mayCreate)
        return mayCreate.error();
    const Result<QList<ServerRights::TableRight>> tables = ServerRights::Tables(db);
    if (!tables)
        return tables.error();
    const bool mayChange =
        *mayCreate || std::any_of(tables->begin(), tables->end(), [](const auto &table) {
            return table.change && IsListedTreeName(table.table);
        });
    return !serverWrites->toBool() || !mayChange;
}

Result<bool> mDatabase::RefreshRights()
{
    if (!m_server || !IsOpen() || m_unreachable || m_newerTables)
        return false;
    const bool wasReadOnly = m_readOnly;
    const bool wasTreeReadOnly = m_openTreeReadOnly;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QSqlQuery query(db);
    // The session's own read-only default (set while the database is read-only) goes first:
    // the server's, the database's and the role's settings decide.
    if (m_readOnly) {
        if (Result<void> reset = run(query, QStringLiteral("RESET default_transaction_read_only"));
            !reset)
            return serverError(reset.error());
    }
    const Result<bool> readOnly = serverReadOnly();
    if (!readOnly)
        return serverError(readOnly.error());
    m_readOnly = *readOnly;
    if (m_readOnly) {
        if (Result<void> set = run(query, QStringLiteral("SET default_transaction_read_only = on"));
            !set)
            return serverError(set.error());
    }
    SetOpenTree(m_openTree);
    return m_readOnly != wasReadOnly || m_openTreeReadOnly != wasTreeReadOnly;
}

QStringList mDatabase::serverTrees() const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QStringList names;
    const Result<QList<ServerRights::TableRight>> tables = ServerRights::Tables(db);
    if (!tables)
        return names;
    for (const ServerRights::TableRight &table : *tables) {
        // A tree the role may not read is not the user's to see.
        if (table.read && IsListedTreeName(table.table))
            names << table.table;
    }
    return names;
}

bool mDatabase::IsTreeReadOnly(const QString &tree) const
{
    if (m_readOnly)
        return true;
    if (!m_server || !IsOpen())
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    const Result<ServerRights::TableRight> right = ServerRights::Table(db, table(tree));
    // A tree that is not there is not read-only: the change gets TreeMissing.
    return right && !right->table.isEmpty() && !right->change;
}

QStringList mDatabase::ReadOnlyTrees() const
{
    if (m_readOnly)
        return ListTrees();
    QStringList names;
    if (!m_server || !IsOpen())
        return names;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    const Result<QList<ServerRights::TableRight>> tables = ServerRights::Tables(db);
    if (!tables)
        return names;
    for (const ServerRights::TableRight &table : *tables) {
        if (table.read && !table.change && IsListedTreeName(table.table))
            names << table.table;
    }
    return names;
}

void mDatabase::SetOpenTree(const QString &tree)
{
    m_openTree = tree;
    m_openTreeReadOnly = !tree.isEmpty() && m_server && IsTreeReadOnly(tree);
}

Error mDatabase::unreachable() const
{
    return Error(ErrorCode::Unreachable,
                 QStringLiteral("The shared database %1 cannot be reached at present. Nothing was "
                                "changed: it is read-only until it is back (Velkin Tree checks for "
                                "it and connects again by itself).")
                     .arg(m_server ? m_server->Display() : m_databasePath),
                 m_server ? m_server->Display() : m_databasePath);
}

Result<void> mDatabase::CheckServer()
{
    if (m_unreachable)
        return unreachable();
    if (!m_server)
        return {};
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen()) {
        // While the program listens for other members' changes the driver watches the socket,
        // and closes the connection itself as soon as the server goes.
        if (!m_opened)
            return {};
        m_unreachable = true;
        return unreachable();
    }
    QSqlQuery query(db);
    if (query.exec(QStringLiteral("SELECT 1")))
        return {};
    // A failure that is not a lost connection (a statement refused) says nothing of the reach.
    const Error failed = serverError(fromSql(query.lastError()));
    return failed.is(ErrorCode::Unreachable) ? Result<void>(failed) : Result<void>();
}

bool mDatabase::IsEncrypted() const
{
    return m_server && ServerConnectionEncrypted(QSqlDatabase::database(m_connectionName, false));
}
