#include "ServerCopy.h"

#include "ServerErrors.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <libpq-fe.h>

#include <memory>
#include <tuple>

namespace Store {

namespace {

constexpr qsizetype kBatchBytes = 8 * 1024 * 1024;
// A stream's pieces: small enough that the server works on one while the next is made.
constexpr qsizetype kPieceBytes = 256 * 1024;

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

Error notSent()
{
    return Error(ErrorCode::Failed, QStringLiteral("The rows could not be sent to the server."));
}

} // namespace

ServerCopy::ServerCopy(const QSqlDatabase &db, const QString &quotedTable,
                       const QStringList &quotedColumns, Mode mode)
    : m_mode(mode)
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
    m_batch.reserve((mode == Mode::Stream ? kPieceBytes : kBatchBytes) + 64 * 1024);
}

ServerCopy::~ServerCopy()
{
    if (m_open)
        std::ignore = end("the rows were not all sent");
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
    if (m_mode == Mode::Stream) {
        if (m_failed)
            return notSent();
        if (m_batch.size() >= kPieceBytes) {
            if (!m_open) {
                if (Result<void> started = start(); !started)
                    return started;
            }
            return send();
        }
        return {};
    }
    if (m_batch.size() >= kBatchBytes)
        return flush();
    return {};
}

Result<void> ServerCopy::start()
{
    if (!m_connection)
        return Error(ErrorCode::Failed, QStringLiteral("The database is not open."));
    const ResultPtr started(PQexec(m_connection, m_statement.constData()));
    if (PQresultStatus(started.get()) != PGRES_COPY_IN)
        return failure(m_connection, started.get());
    m_open = true;
    return {};
}

Result<void> ServerCopy::send()
{
    // The server's refusal (a key taken) comes when the COPY ends; a connection that cannot
    // take the rows ends it at once.
    if (!m_batch.isEmpty() && !m_failed &&
        PQputCopyData(m_connection, m_batch.constData(), int(m_batch.size())) != 1)
        m_failed = true;
    m_batch.resize(0);
    if (m_failed)
        return end("the rows could not be sent");
    return {};
}

Result<void> ServerCopy::end(const char *failed)
{
    m_open = false;
    PQputCopyEnd(m_connection, failed);
    Result<void> done;
    while (PGresult *rest = PQgetResult(m_connection)) {
        const ResultPtr result(rest);
        if (done && PQresultStatus(rest) != PGRES_COMMAND_OK)
            done = failure(m_connection, rest);
    }
    if (done && failed)
        done = failure(m_connection, nullptr);
    // What was sent after a refusal is lost as well: every later send fails.
    if (!done)
        m_failed = true;
    return done;
}

Result<void> ServerCopy::flush()
{
    if (m_failed)
        return notSent();
    if (m_batch.isEmpty() && !m_open)
        return {};
    if (!m_open) {
        if (Result<void> started = start(); !started)
            return started;
    }
    if (Result<void> sent = send(); !sent)
        return sent;
    return end(m_failed ? "the rows could not be sent" : nullptr);
}

} // namespace Store
