#include "ServerCopy.h"

#include "ServerErrors.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <libpq-fe.h>

#include <memory>

namespace Store {

namespace {

constexpr qsizetype kBatchBytes = 8 * 1024 * 1024;

struct ResultDeleter
{
    void operator()(PGresult *result) const { PQclear(result); }
};
using ResultPtr = std::unique_ptr<PGresult, ResultDeleter>;

Error failure(PGconn *connection, const PGresult *result)
{
    const char *state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const QString text =
        QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(connection))
            .trimmed();
    if (!state && (PQstatus(connection) == CONNECTION_BAD || ServerErrors::IsLostConnection(text)))
        return ServerErrors::LostConnection(text);
    return Error(state ? ServerErrors::ForState(QString::fromLatin1(state)) : ErrorCode::Failed,
                 text.isEmpty() ? QStringLiteral("The server refused the rows.") : text);
}

} // namespace

ServerCopy::ServerCopy(const QSqlDatabase &db, const QString &quotedTable,
                       const QStringList &quotedColumns)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (handle.isValid() &&
        (qstrcmp(handle.typeName(), "PGconn*") == 0 || qstrcmp(handle.typeName(), "pg_conn*") == 0))
        m_connection = *static_cast<PGconn *const *>(handle.constData());
    // The server takes no COPY into a table whose rows the role may see only in part (rights
    // per tree): rows go there one statement each.
    if (m_connection) {
        const QByteArray table = quotedTable.toUtf8();
        const char *values[] = {table.constData()};
        const ResultPtr guarded(PQexecParams(m_connection,
                                             "SELECT row_security_active(to_regclass($1))", 1,
                                             nullptr, values, nullptr, nullptr, 0));
        if (PQresultStatus(guarded.get()) == PGRES_TUPLES_OK && PQntuples(guarded.get()) == 1 &&
            qstrcmp(PQgetvalue(guarded.get(), 0, 0), "t") == 0)
            m_connection = nullptr;
    }
    m_statement = QStringLiteral("COPY %1 (%2) FROM STDIN")
                      .arg(quotedTable, quotedColumns.join(u','))
                      .toUtf8();
    m_batch.reserve(kBatchBytes + 64 * 1024);
}

void ServerCopy::appendEscaped(QByteArray &to, QByteArrayView utf8)
{
    const char *start = utf8.data();
    const char *end = start + utf8.size();
    for (const char *p = start; p < end; ++p) {
        const char c = *p;
        if (c != '\\' && c != '\t' && c != '\n' && c != '\r')
            continue;
        to.append(start, p - start);
        to.append('\\');
        to.append(c == '\t' ? 't' : c == '\n' ? 'n' : c == '\r' ? 'r' : '\\');
        start = p + 1;
    }
    to.append(start, end - start);
}

void ServerCopy::separate()
{
    if (m_rowStarted)
        m_batch.append('\t');
    m_rowStarted = true;
}

void ServerCopy::text(QByteArrayView utf8)
{
    separate();
    appendEscaped(m_batch, utf8);
}

void ServerCopy::null()
{
    separate();
    m_batch.append("\\N", 2);
}

void ServerCopy::integer(qint64 value)
{
    separate();
    m_batch.append(QByteArray::number(value));
}

void ServerCopy::appendBytes(QByteArray &to, QByteArrayView bytes)
{
    // bytea's hex form, its backslash doubled for COPY.
    static const char digits[] = "0123456789abcdef";
    to.append("\\\\x", 3);
    const qsizetype at = to.size();
    to.resize(at + 2 * bytes.size());
    char *out = to.data() + at;
    for (const char byte : bytes) {
        *out++ = digits[(uchar(byte) >> 4) & 0xF];
        *out++ = digits[uchar(byte) & 0xF];
    }
}

void ServerCopy::bytes(QByteArrayView bytes)
{
    separate();
    appendBytes(m_batch, bytes);
}

void ServerCopy::field(QByteArrayView encoded)
{
    separate();
    m_batch.append(encoded.data(), encoded.size());
}

Result<void> ServerCopy::endRow()
{
    m_batch.append('\n');
    m_rowStarted = false;
    if (m_batch.size() >= kBatchBytes)
        return flush();
    return {};
}

Result<void> ServerCopy::flush()
{
    if (m_batch.isEmpty())
        return {};
    if (!m_connection)
        return Error(ErrorCode::Failed, QStringLiteral("The database is not open."));
    const ResultPtr started(PQexec(m_connection, m_statement.constData()));
    if (PQresultStatus(started.get()) != PGRES_COPY_IN)
        return failure(m_connection, started.get());
    const bool sent = PQputCopyData(m_connection, m_batch.constData(), int(m_batch.size())) == 1;
    m_batch.resize(0);
    PQputCopyEnd(m_connection, sent ? nullptr : "the rows could not be sent");
    Result<void> done;
    while (PGresult *rest = PQgetResult(m_connection)) {
        const ResultPtr result(rest);
        if (done && PQresultStatus(rest) != PGRES_COMMAND_OK)
            done = failure(m_connection, rest);
    }
    return done;
}

} // namespace Store
