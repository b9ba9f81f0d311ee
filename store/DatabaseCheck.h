#pragma once

#include "Result.h"

#include <QString>

// Checks of a database file that need no connection, so that a file that is not a database is
// never opened by the engine (which could write to it) and a cut-off file is told apart from a
// whole one. Each succeeds for a file that passes, or gives Damaged with a text that names the
// file, says what is wrong and that it was left as it is; the file is the place at fault.
namespace Store::DatabaseCheck {

// Before opening: the file is not empty and begins with the engine's header.
Result<void> CheckHeader(const QString &databasePath);

// After opening (once an interrupted change has been rolled back): the file is as long as its
// header says.
Result<void> CheckLength(const QString &databasePath);

// The error for a database file that `what` is wrong with ("is damaged: ..."), naming it.
Error Damaged(const QString &databasePath, const QString &what);

// The problem with a data folder that is to hold a new database: missing and cannot be made
// (NoPermission), not a folder (InvalidInput), or not writable (ReadOnly). Succeeds when the
// database can be created in it.
Result<void> CheckNewDatabaseFolder(const QString &folder);

} // namespace Store::DatabaseCheck
