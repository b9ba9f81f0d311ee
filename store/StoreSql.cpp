#include "StoreSql.h"

#include "FileErrors.h"

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
    QSqlQuery begin(db);
    m_active = begin.exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (!m_active)
        m_error = fromSql(begin.lastError());
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
    // A change that failed on a full disk or a failing file may have left the file grown and
    // its journal beside it: the engine undoes that only at the next read. Reading now gives the
    // room back at once and leaves no unfinished change for a program that only reads.
    QSqlQuery(m_db).exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    if (m_db.commit())
        return true;
    m_error = fromSql(m_db.lastError());
    rollback(); // a failed commit may leave the transaction open
    return false;
}

} // namespace Store::StoreSql
