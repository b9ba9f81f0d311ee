#include "StoreSql.h"

#include "FileErrors.h"
#include "engine/Engine.h"
#include "engine/ServerErrors.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace Store::StoreSql {

ErrorCode StatementCode(int engineCode)
{
    switch (engineCode & 0xFF) {
    case 1: // SQLITE_ERROR: the statement could not run (no such table, table exists)
        return ErrorCode::InvalidInput;
    case 19: // SQLITE_CONSTRAINT: of a tree table only its unique key can be broken (every ID
             // is bound as text, never NULL)
        return ErrorCode::Taken;
    default:
        return ErrorCode::Failed;
    }
}

QString quoted(const QString &identifier)
{
    QString text = identifier;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString bindable(const QString &value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

Error fromSql(const QSqlError &error)
{
    if (ServerErrors::IsServerCode(error.nativeErrorCode()))
        return ServerErrors::FromSql(error);
    // The server's client library says so when the connection is lost, with no code.
    if (ServerErrors::IsLostConnection(error.text()))
        return ServerErrors::LostConnection(error.text());
    const int code = FileErrors::EngineCode(error);
    if (Error failure = FileErrors::ForEngineCode(code))
        return failure;
    QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    if (text.isEmpty())
        text = QStringLiteral("The database reported an unknown error.");
    return Error(StatementCode(code), text);
}

QString newConnectionName(const char *purpose)
{
    static std::atomic<int> counter{0};
    return QStringLiteral("vt-%1-%2").arg(QLatin1String(purpose)).arg(++counter);
}

Error notOpen()
{
    return Error(ErrorCode::Failed, QStringLiteral("The database is not open."));
}

Result<void> run(QSqlQuery &query, const QString &sql, const QVariantList &values)
{
    // The server's driver prepares with PREPARE, which takes no definitions (CREATE, DROP,
    // ALTER) and no VACUUM: a statement without values runs as it is.
    if (values.isEmpty() && query.driver() &&
        query.driver()->dbmsType() == QSqlDriver::PostgreSQL) {
        if (!query.exec(sql))
            return fromSql(query.lastError());
        return {};
    }
    if (!query.prepare(sql))
        return fromSql(query.lastError());
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        return fromSql(query.lastError());
    return {};
}

Transaction::Transaction(QSqlDatabase &db) : m_db(db)
{
    const Result<void> begun = EngineOf(db).begin(db);
    m_active = begun.ok();
    m_error = begun.error();
}

Transaction::~Transaction()
{
    if (m_active)
        rollback();
}

void Transaction::rollback()
{
    m_active = false;
    m_db.rollback();
    EngineOf(m_db).afterRollback(m_db);
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    // Delivered with the commit, or never; a change nothing shows is still counted on a file.
    if (Result<void> told = EngineOf(m_db).announce(m_db, m_silent ? QString() : m_notice.encode());
        !told) {
        m_error = told.error();
        rollback();
        return false;
    }
    if (m_db.commit())
        return true;
    m_error = fromSql(m_db.lastError());
    rollback(); // a failed commit may leave the transaction open
    return false;
}

} // namespace Store::StoreSql
