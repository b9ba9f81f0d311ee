#include "Engines.h"

#include <QSqlDatabase>

namespace Store {

bool IsServer(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QPSQL");
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
