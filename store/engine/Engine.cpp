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

bool ServerConnectionLost(const QSqlDatabase &db)
{
    if (!IsServer(db) || !db.driver())
        return false;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return false;
    PGconn *connection = *static_cast<PGconn *const *>(handle.constData());
    return connection && PQstatus(connection) == CONNECTION_BAD;
}

void Engine::announce(QSqlDatabase &, const QString &) const {}

const Engine &EngineOf(const QSqlDatabase &db)
{
    static const SqliteEngine file;
    static const PostgresEngine server;
    if (IsServer(db))
        return server;
    return file;
}

} // namespace Store
