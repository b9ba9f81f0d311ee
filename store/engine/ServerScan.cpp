#include "ServerScan.h"

#include "Engines.h"
#include "ServerErrors.h"
#include "StoreSql.h"
#include "TreeTables.h"

#include <QSqlDatabase>
#include <QSqlDriver>

#include <libpq-fe.h>

#include <cctype>
#include <memory>

namespace Store::ServerScan {

namespace {

PGconn *handleOf(QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn *const *>(handle.constData());
}

struct ResultDeleter
{
    void operator()(PGresult *result) const { PQclear(result); }
};
using ResultPtr = std::unique_ptr<PGresult, ResultDeleter>;

// One escaped column of COPY's text form, unescaped into `out`.
void unescape(const char *from, const char *end, QByteArray &out)
{
    out.resize(0);
    while (from < end) {
        const char c = *from++;
        if (c != '\\' || from == end) {
            out.append(c);
            continue;
        }
        const char e = *from++;
        switch (e) {
        case 'b':
            out.append('\b');
            break;
        case 'f':
            out.append('\f');
            break;
        case 'n':
            out.append('\n');
            break;
        case 'r':
            out.append('\r');
            break;
        case 't':
            out.append('\t');
            break;
        case 'v':
            out.append('\v');
            break;
        case 'x': {
            int value = 0;
            for (int i = 0; i < 2 && from < end && std::isxdigit(uchar(*from)); ++i, ++from)
                value =
                    value * 16 +
                    (std::isdigit(uchar(*from)) ? *from - '0' : (std::tolower(*from) - 'a' + 10));
            out.append(char(value));
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                int value = e - '0';
                for (int i = 0; i < 2 && from < end && *from >= '0' && *from <= '7'; ++i, ++from)
                    value = value * 8 + (*from - '0');
                out.append(char(value));
            } else {
                out.append(e); // \\ and any other character stand for themselves
            }
        }
    }
}

} // namespace

bool CutLine(char *line, int length, PersonRowText &out, QByteArray *scratch)
{
    const char *end = line + length;
    if (end > line && end[-1] == '\n')
        --end;
    const char *start = line;
    for (int c = 0; c < PersonRowText::kColumns; ++c) {
        const char *stop = start;
        bool escaped = false;
        while (stop < end && *stop != '\t') {
            escaped = escaped || *stop == '\\';
            ++stop;
        }
        if (stop - start == 2 && start[0] == '\\' && start[1] == 'N') {
            out.data[c] = nullptr; // NULL
            out.size[c] = 0;
        } else if (!escaped) {
            out.data[c] = start;
            out.size[c] = int(stop - start);
        } else {
            unescape(start, stop, scratch[c]);
            out.data[c] = scratch[c].constData();
            out.size[c] = int(scratch[c].size());
        }
        if (c + 1 < PersonRowText::kColumns) {
            if (stop == end)
                return false;
            start = stop + 1;
        } else if (stop != end) {
            return false;
        }
    }
    return true;
}

std::optional<Result<void>> Scan(QSqlDatabase &db, const QString &tree,
                                 const std::function<void(const PersonRowText &row)> &row)
{
    PGconn *connection = handleOf(db);
    if (!connection || PQtransactionStatus(connection) == PQTRANS_ACTIVE)
        return std::nullopt;
    QStringList columns;
    for (const QString &column : PersonColumns())
        columns << StoreSql::quoted(column);
    const QByteArray sql =
        QStringLiteral("COPY (SELECT %1 FROM %2 ORDER BY \"%3\") TO STDOUT")
            .arg(columns.join(u','), StoreSql::quoted(tree), QLatin1String(kRowNumberColumn))
            .toUtf8();
    // The rows in order through the index of their numbers, never sorted (the sort would take
    // longer than the read itself).
    const ResultPtr sortOff(PQexec(connection, "SET enable_sort = off"));
    const auto sortBack = [connection](void *) {
        PQclear(PQexec(connection, "RESET enable_sort"));
    };
    const std::unique_ptr<void, decltype(sortBack)> resetSort(connection, sortBack);
    const ResultPtr started(PQexec(connection, sql.constData()));
    if (PQresultStatus(started.get()) != PGRES_COPY_OUT) {
        const QString state =
            QString::fromLatin1(PQresultErrorField(started.get(), PG_DIAG_SQLSTATE));
        // A table without the columns is read through the driver; a missing table is the
        // caller's error to tell.
        if (state == QLatin1String("42703") || PQtransactionStatus(connection) == PQTRANS_INERROR)
            return std::nullopt;
        return Result<void>(
            Error(ServerErrors::ForState(state),
                  QString::fromUtf8(PQresultErrorMessage(started.get())).trimmed()));
    }
    QByteArray scratch[PersonRowText::kColumns];
    PersonRowText out{};
    bool whole = true;
    char *buffer = nullptr;
    int length;
    while ((length = PQgetCopyData(connection, &buffer, 0)) > 0) {
        const std::unique_ptr<char, decltype(&PQfreemem)> line(buffer, &PQfreemem);
        if (whole && CutLine(buffer, length, out, scratch))
            row(out);
        else
            whole = false;
    }
    Result<void> done;
    while (PGresult *rest = PQgetResult(connection)) {
        const ResultPtr result(rest);
        if (done && PQresultStatus(rest) != PGRES_COMMAND_OK)
            done = Error(ServerErrors::ForState(
                             QString::fromLatin1(PQresultErrorField(rest, PG_DIAG_SQLSTATE))),
                         QString::fromUtf8(PQresultErrorMessage(rest)).trimmed());
    }
    if (done && !whole)
        done = Error(ErrorCode::Failed,
                     QStringLiteral("The server sent a row of the tree '%1' that could not be "
                                    "read.")
                         .arg(tree));
    return done;
}

} // namespace Store::ServerScan
