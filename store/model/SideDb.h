#pragma once

#include "Result.h"

#include <QByteArrayView>
#include <QString>

#include <memory>

class mDatabase;
class QSqlDatabase;
struct sqlite3;
struct sqlite3_stmt;

// The engine's own interface on the store's connection, for the side records of the trees: one
// prepared statement per kind of change, run many times (a bulk write of a large tree binds
// millions of values) in the caller's transaction. On a database server the same statements run
// through the connection's driver (ServerStatement); index hints (INDEXED BY) are the file
// engine's and are left out there.
namespace Store::Side {

struct ServerStatement;

class Statement
{
public:
    Statement() = default;
    Statement(sqlite3 *db, sqlite3_stmt *statement) : m_db(db), m_statement(statement) {}

    void bindNull(int column);
    void bind(int column, qint64 value);
    void bindText(int column, QByteArrayView utf8);
    void bindText(int column, const QString &text);
    void bindBlob(int column, QByteArrayView bytes);
    // Without a copy: the bytes must stay as they are until the statement is reset.
    void bindTextInPlace(int column, QByteArrayView utf8);
    void bindBlobInPlace(int column, QByteArrayView bytes);
    // Runs the statement: true while it gives a row, false when done; an error when it failed.
    Result<bool> step();
    // Runs the statement to its end, calling `row` for each row it gives; the error when it
    // failed (rows handed over before stay handed over).
    template <class F> Result<void> eachRow(F &&row)
    {
        for (;;) {
            Result<bool> more = step();
            if (!more)
                return more.error();
            if (!*more)
                return {};
            row();
        }
    }
    // Ready to bind and run again.
    void reset();
    // After the last row of a statement made by Db::prepareInsert: the rows are stored (on the
    // server they are sent then). Nothing to do for other statements.
    Result<void> finish();

    bool isNull(int column) const;
    qint64 integer(int column) const;
    QByteArrayView text(int column) const;
    QString string(int column) const { return QString::fromUtf8(text(column)); }
    QByteArrayView blob(int column) const;

private:
    struct Deleter
    {
        void operator()(sqlite3_stmt *statement) const;
    };
    sqlite3 *m_db = nullptr;
    std::unique_ptr<sqlite3_stmt, Deleter> m_statement;
    std::shared_ptr<ServerStatement> m_server; // on a server instead of the two above

    friend class Db;
};

// The store's open connection as the engine's handle.
class Db
{
public:
    explicit Db(const mDatabase &store);
    explicit Db(const QSqlDatabase &connection);
    bool isOpen() const { return m_db != nullptr || m_isServer; }
    // True on a database server (the schema's statements differ there).
    bool isServer() const { return m_isServer; }
    // The connection on the server (the driver's), for what goes past the statements (COPY).
    QSqlDatabase serverConnection() const;
    Result<Statement> prepare(const char *sql) const;
    Result<Statement> prepare(const QString &sql) const;
    // An insert of many rows into `table`'s `columns` (comma-separated), one row per step in
    // the caller's transaction; finish() after the last. On the server the rows go by COPY, in
    // batches.
    Result<Statement> prepareInsert(const char *table, const char *columns) const;
    // Runs statements without values.
    Result<void> exec(const char *sql) const;
    // The engine's last error, as the store reports it.
    Error error() const;

private:
    sqlite3 *m_db = nullptr;
    bool m_isServer = false;
    QString m_connectionName;
};

} // namespace Store::Side
