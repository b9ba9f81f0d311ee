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
    // How the rows go: each batch a COPY of its own, or one COPY from the first batch to
    // flush(), sent in small pieces while the next rows are made (the server stores them
    // meanwhile); the connection is busy until flush() then, and a failure comes with flush().
    enum class Mode { Batches, Stream };

    // Rows for `quotedTable`'s `quotedColumns`, in that order.
    ServerCopy(const QSqlDatabase &db, const QString &quotedTable, const QStringList &quotedColumns,
               Mode mode = Mode::Batches);
    // A stream not flushed is ended as failed (its rows are not stored; the transaction fails).
    ~ServerCopy();
    ServerCopy(const ServerCopy &) = delete;
    ServerCopy &operator=(const ServerCopy &) = delete;
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
    // Sends what was gathered (and ends the stream).
    Result<void> flush();

    // A column of COPY's text form for a text value (backslash, tab and line breaks escaped).
    static void appendEscaped(QByteArray &to, QByteArrayView utf8);
    // A column for a byte string (bytea's hex form).
    static void appendBytes(QByteArray &to, QByteArrayView bytes);

private:
    void separate();
    Result<void> start();
    Result<void> send();
    Result<void> end(const char *failure);

    pg_conn *m_connection = nullptr;
    Mode m_mode = Mode::Batches;
    QByteArray m_statement;
    QByteArray m_batch;
    bool m_rowStarted = false;
    bool m_open = false; // a COPY is in progress
    bool m_failed = false;
};

} // namespace Store
