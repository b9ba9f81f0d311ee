#pragma once

#include "Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

class QSqlDatabase;
struct pg_conn;

// Many rows sent to the server with COPY ... FROM STDIN (COPY's text form) on the driver's own
// connection, in the caller's transaction: the rows are gathered and sent a batch at a time,
// each batch one COPY begun and ended at once, so that the connection is free for other
// statements between batches. A failure (a key taken, a full disk) comes with the batch that
// held the row.
namespace Store {

class ServerCopy
{
public:
    // Rows for `quotedTable`'s `quotedColumns`, in that order.
    ServerCopy(const QSqlDatabase &db, const QString &quotedTable,
               const QStringList &quotedColumns);
    // Whether the connection is one this can use (the server's, with the client library's
    // handle) and the server takes COPY into the table from this role (not while row-level
    // security limits the role there).
    bool usable() const { return m_connection != nullptr; }

    // The next column of the current row.
    void text(QByteArrayView utf8);
    void null();
    void integer(qint64 value);
    void bytes(QByteArrayView bytes);
    // A column already in COPY's text form (appendEscaped, appendBytes, "\\N").
    void field(QByteArrayView encoded);
    // The row is complete; sends the batch when it is large.
    Result<void> endRow();
    // Sends what was gathered.
    Result<void> flush();

    // A column of COPY's text form for a text value (backslash, tab and line breaks escaped).
    static void appendEscaped(QByteArray &to, QByteArrayView utf8);
    // A column for a byte string (bytea's hex form).
    static void appendBytes(QByteArray &to, QByteArrayView bytes);

private:
    void separate();

    pg_conn *m_connection = nullptr;
    QByteArray m_statement;
    QByteArray m_batch;
    bool m_rowStarted = false;
};

} // namespace Store
