#include "ServerPassword.h"

#include "mDatabase.h"

namespace Cli {

PasswordKeyring::State SetServer(mDatabase &store, const ServerAddress &address)
{
    const PasswordKeyring::Answer answer = PasswordKeyring::ReadWaiting(address);
    store.SetServer(address,
                    answer.state == PasswordKeyring::State::Found ? answer.password : QString());
    return answer.state;
}

} // namespace Cli
