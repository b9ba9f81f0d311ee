#pragma once

#include "PersonRecord.h"

#include <QString>

// Checks of a database file that need no connection, so that a file that is not a database is
// never opened by the engine (which could write to it) and a cut-off file is told apart from a
// whole one. Each gives no error for a file that passes, or kErrDatabaseDamaged with a text that
// names the file, says what is wrong and that it was left as it is.
namespace DatabaseCheck {

// Before opening: the file is not empty and begins with the engine's header.
StoreError CheckHeader(const QString &databasePath);

// After opening (once an interrupted change has been rolled back): the file is as long as its
// header says.
StoreError CheckLength(const QString &databasePath);

// The error for a database file that `what` is wrong with ("is damaged: ..."), naming it.
StoreError Damaged(const QString &databasePath, const QString &what);

// The problem with a data folder that is to hold a new database: missing and cannot be made,
// not a folder, or not writable. No error when the database can be created in it.
StoreError CheckNewDatabaseFolder(const QString &folder);

} // namespace DatabaseCheck
