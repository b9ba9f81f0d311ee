#pragma once

#include "ChangeNotice.h"
#include "Result.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

class QSqlError;
class QSqlQuery;

// Small pieces the person store builds its statements from.
namespace Store::StoreSql {

// The engine's driver.
inline const QString kDriver = QStringLiteral("QSQLITE");

// A name as an SQL identifier: in double quotes, inner quotes doubled.
QString quoted(const QString &identifier);
// Bound text is never a null QString, which the driver would store as NULL.
QString bindable(const QString &value);
// The engine's error as the store reports it: a failure of the file (busy, full, damaged, not
// writable) as FileErrors tells it; a unique key that is taken is Taken; SQLITE_ERROR (the
// statement could not run: no such table, table exists, a name that is no table) is
// InvalidInput; everything else Failed.
Error fromSql(const QSqlError &error);
// What an engine result code that is not a failure of the file says went wrong.
ErrorCode StatementCode(int engineCode);
// A connection name no other connection of the process has.
QString newConnectionName(const char *purpose);
// What an operation on a store that is not open gets.
Error notOpen();
// Prepares and runs a statement with bound values.
Result<void> run(QSqlQuery &query, const QString &sql, const QVariantList &values = {});

// A write transaction that rolls back unless committed (and then, on a database file, reads once,
// so that a change the engine could not undo at once, after a failure of the file, is undone
// there and then). It takes the write lock when it begins (BEGIN IMMEDIATE on a file, the
// program's advisory lock on the server), waiting out another program's writes for the busy
// timeout: a transaction that read first and asked for the lock later would be refused at once
// while another program writes, as waiting could deadlock.
class Transaction
{
public:
    explicit Transaction(QSqlDatabase &db);
    ~Transaction();
    bool active() const { return m_active; }
    // Why the transaction could not begin, or why its commit failed (no error when it is
    // active).
    const Error &error() const { return m_error; }
    // What the change does, for the other programs on a shared database, which hear of it when
    // it commits (Any unless said).
    void announce(ChangeNotice notice) { m_notice = std::move(notice); }
    // The change is nothing the other programs show (the tables made, records set aside).
    void announceNothing() { m_silent = true; }
    // False when the commit failed: the transaction is rolled back then.
    bool commit();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    void rollback();

    QSqlDatabase &m_db;
    bool m_active = false;
    Error m_error;
    ChangeNotice m_notice;
    bool m_silent = false;
};

} // namespace Store::StoreSql
