#pragma once

#include "Error.h"

#include <QString>

class QSqlError;

// What the user is told when the database file itself fails rather than what was asked of it:
// another program holds it, the disk is full, the file is damaged or cannot be read or written.
// Each text says what happened, that nothing was changed, and what to do.
namespace Store::FileErrors {

// The engine's result code of an error: its native code, or, where the driver kept only the
// engine's message (a failed COMMIT), the code that message stands for. 0 when unknown.
int EngineCode(const QSqlError &error);

// The store's error for an engine result code that is a failure of the file (busy, locked,
// full, I/O, damaged, not a database, read-only, cannot open), naming the database when
// `databasePath` is given (in its text, and as the place at fault); no error for any other code.
Error ForEngineCode(int code, const QString &databasePath = QString());

// A failure of the file that names no database yet (made by ForEngineCode without a path, whose
// texts all begin with "The database") named after `databasePath`; any other error as it is.
Error Named(Error error, const QString &databasePath);

// The file as the user is told it: its native path in quotes, or "The database" alone.
QString DatabaseName(const QString &databasePath);

} // namespace Store::FileErrors
