#pragma once

#include "Error.h"

class QSqlError;

// The server's errors as the store reports them, by their SQLSTATE: a unique key taken is
// Taken, a statement that could not run (no such table, a table that exists) InvalidInput, a
// lock not granted in time Busy, a full disk Full, missing rights NoPermission, a read-only
// server ReadOnly, a lost or refused connection Unreachable, damaged data Damaged; the rest
// Failed. The text is the server's own message.
namespace Store::ServerErrors {

// True when the driver's native code is a SQLSTATE (five characters) rather than the embedded
// engine's result code (at most four digits).
bool IsServerCode(const QString &nativeCode);
Error FromSql(const QSqlError &error);
// True when the client library's message says the connection was lost (the server stopped or
// was killed, the network broke): such a message has no SQLSTATE.
bool IsLostConnection(const QString &text);
// The error of a lost connection: Unreachable, saying that nothing was changed, with the first
// line of the library's message.
Error LostConnection(const QString &text);
ErrorCode ForState(const QString &sqlState);

} // namespace Store::ServerErrors
