#pragma once

#include "PasswordKeyring.h"
#include "ServerAddress.h"

class mDatabase;

// The password of a shared database for the commands with --database: the one the desktop
// keyring keeps for the address (waited for at most PasswordKeyring::kWaitLimit), else none,
// and the server library reads the password file (~/.pgpass, or the file PGPASSFILE names).
// A missing keyring service is no error: the password file is used without a word. The password
// goes to the store only, never to an output.
namespace Cli {

// Points `store` at the shared database `address` with the keyring's password for it; what the
// keyring answered.
PasswordKeyring::State SetServer(mDatabase &store, const ServerAddress &address);

} // namespace Cli
