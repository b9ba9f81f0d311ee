#pragma once

#include "PersonRecord.h"
#include "Result.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

class QSqlDatabase;
class mDatabase;

// The history kept in the database: every change the program makes, one entry each (an import
// or a merge is one entry), in the side table "mainHistory" (made with the first entry; the
// tree listing leaves it out, like every table whose name begins with "main"). An entry says
// when, who (the user's login name; on a database server the role the program connected as),
// which record ("person I1", "tree"), the change's name and
// the record before and after it: for persons a JSON object of rows by key, null for a person
// that is not there (before an addition, after a deletion). Plain SQL with bound values only.
namespace ChangeLog {

struct Entry
{
    qint64 id = 0; // counts up in the file: the newest has the highest
    QDateTime at;  // UTC
    QString user;
    QString tree;
    QString record;  // personRecord(key), or "tree"
    QString command; // "Edit Person Anna Berg"
    QString before;  // JSON
    QString after;   // JSON
};

// The record name of a person.
QString personRecord(const QString &key);
// Makes the history's table when the database has none (the set-up of a shared database makes
// it too).
Result<void> ensureTable(QSqlDatabase &db);
// The login name of the user running the program.
QString userName();
// Who the history names as the user of `store`: on a database server the role the program is
// connected as (several relatives share one machine's login, or none), else userName().
QString userName(const mDatabase &store);

// The JSON of rows by key: each row, or null where `row` is null.
QString rowsJson(const std::vector<std::pair<QString, const PersonRecord *>> &rows);
// A person's row in such a JSON: nothing when the JSON does not name the key, a null record (no
// ID) when it says the person was not there.
std::optional<PersonRecord> rowIn(const QString &json, const QString &key);

// Adds an entry in a transaction of its own; the time and the user are filled in when empty.
// A database open for reading only refuses (ReadOnly).
Result<qint64> add(mDatabase &store, Entry entry);
// A change of a whole tree (an import, a rebuild from a file) as one entry of the record "tree":
// before nothing, after the tree's name. The change is made already: a history that cannot be
// written (a database open for reading) loses nothing of it, and is not reported.
void addTreeChange(mDatabase &store, const QString &tree, const QString &command);
// The entries of the tree `from` belong to the tree `to` (the tree was renamed); nothing when
// there are none.
Result<void> renameTree(mDatabase &store, const QString &from, const QString &to);
// The entries of a record of a tree, newest first (none when nothing was recorded yet).
Result<std::vector<Entry>> of(const mDatabase &store, const QString &tree, const QString &record);
// Who changed a record last and when, for a message that a change was refused: " It was last
// changed by <user> on <local date and time> (<change>)." with a leading space; "" when the
// history has no entry of it.
QString lastChangeText(const mDatabase &store, const QString &tree, const QString &record);

} // namespace ChangeLog
