#include "StoreSql.h"

#include "FileErrors.h"

#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace StoreSql {

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

StoreError fromSql(const QSqlError &error)
{
    const int code = FileErrors::EngineCode(error);
    if (StoreError failure = FileErrors::ForEngineCode(code))
        return failure;
    StoreError result;
    result.number = (code & 0xFF) == 1 ? kErrStatementFailed : kErrGeneralFailure;
    result.description = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    if (result.description.isEmpty())
        result.description = QStringLiteral("The database reported an unknown error.");
    return result;
}

StoreError storeError(long long number, const QString &description)
{
    return StoreError{number, description};
}

QString newConnectionName(const char *purpose)
{
    static std::atomic<int> counter{0};
    return QStringLiteral("vt-%1-%2").arg(QLatin1String(purpose)).arg(++counter);
}

StoreError notOpen()
{
    return storeError(kErrGeneralFailure, QStringLiteral("The database is not open."));
}

bool run(QSqlQuery &query, const QString &sql, const QVariantList &values, StoreError *error)
{
    if (!query.prepare(sql)) {
        if (error)
            *error = fromSql(query.lastError());
        return false;
    }
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        if (error)
            *error = fromSql(query.lastError());
        return false;
    }
    return true;
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

} // namespace StoreSql
