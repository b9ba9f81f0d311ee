#include "Engines.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <libpq-fe.h>

namespace Store {

bool IsServer(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QPSQL");
}

namespace {

// The server library's connection of a connection to the server; null for the file.
PGconn *serverHandle(const QSqlDatabase &db)
{
    if (!IsServer(db) || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn *const *>(handle.constData());
}

} // namespace

bool ServerConnectionLost(const QSqlDatabase &db)
{
    PGconn *connection = serverHandle(db);
    return connection && PQstatus(connection) == CONNECTION_BAD;
}

bool ServerInTransaction(const QSqlDatabase &db)
{
    PGconn *connection = serverHandle(db);
    return connection && PQtransactionStatus(connection) == PQTRANS_INTRANS;
}

bool ServerConnectionEncrypted(const QSqlDatabase &db)
{
    PGconn *connection = serverHandle(db);
    return connection && PQstatus(connection) == CONNECTION_OK && PQsslInUse(connection) == 1;
}

const Engine &EngineOf(const QSqlDatabase &db)
{
    static const SqliteEngine file;
    static const PostgresEngine server;
    if (IsServer(db))
        return server;
    return file;
}

} // namespace Store
