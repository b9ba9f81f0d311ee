#pragma once

#include "Result.h"

#include <QList>
#include <QString>

class QSqlDatabase;

// Who may read and change which tree of a shared database. The server's roles decide, by the
// plain grants on each tree's table:
//   GRANT SELECT ON velkintree."Smith" TO anna;                          -- anna reads Smith
//   GRANT SELECT, INSERT, UPDATE, DELETE ON velkintree."Smith" TO anna;  -- anna edits Smith
// The tables every tree shares (mainTrees, mainRecords, mainHistory) follow those grants row by
// row: row-level security lets a role see the records of a tree whose table it may read and
// change those of a tree whose table it may change (INSERT, UPDATE and DELETE). A deletion of
// records of a tree the role may only read fails loudly (a statement trigger), never silently.
// The owner of the program's tables (who set them up) is not bound by the policies.
namespace Store::ServerRights {

// What the connection's role may do with one table of the program's schema.
struct TableRight
{
    QString table;
    bool read = false;
    bool change = false;
};

// Makes the rights machinery: the function the policies ask, the policies, the trigger and the
// grants of the shared tables to every role (which reach nothing without the schema's USAGE and
// a tree's grant). Run by the owner of the program's tables, inside the caller's transaction;
// the side tables and the history must exist.
Result<void> SetUp(QSqlDatabase &db);
// Whether SetUp has been run on this database.
Result<bool> IsSetUp(QSqlDatabase &db);
// Whether the connection's role owns the program's tables (and so may set them up).
Result<bool> OwnsTables(QSqlDatabase &db);

// Every table of the program's schema with the role's rights on it, in the order made.
Result<QList<TableRight>> Tables(QSqlDatabase &db);
// The rights on one table (an empty `table` when there is no such table).
Result<TableRight> Table(QSqlDatabase &db, const QString &table);
// Whether the role may make new trees (CREATE on the schema).
Result<bool> MayCreateTrees(QSqlDatabase &db);

// The highest id of the history, whatever rows the role may read (ids are handed out by the
// writers; a role that sees only some rows must not hand out a taken one).
Result<qint64> LastHistoryId(QSqlDatabase &db);

} // namespace Store::ServerRights
