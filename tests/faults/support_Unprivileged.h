#pragma once

// File permissions do not bind the superuser. A test of read-only files and folders that is run
// as root therefore gives up its privileges first and runs as "nobody", with its home and
// runtime folders in a temporary folder of its own. Call before the application object exists.

#include <QByteArray>
#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <unistd.h>

// True when the process runs without the superuser's privileges (now or from the start).
inline bool RunUnprivileged()
{
    if (geteuid() != 0)
        return true;
    const passwd *nobody = getpwnam("nobody");
    if (!nobody || setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 ||
        setuid(nobody->pw_uid) != 0) {
        std::fprintf(stderr, "cannot run as nobody: permission tests are skipped\n");
        return false;
    }
    // Changing the user makes the process undumpable, which the leak checker cannot work with.
    prctl(PR_SET_DUMPABLE, 1);
    static char home[] = "/tmp/vt-unprivileged-XXXXXX";
    if (!mkdtemp(home))
        return false;
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                             "XDG_RUNTIME_DIR", "TMPDIR"})
        setenv(name, home, 1);
    std::atexit([] { QDir(QString::fromLocal8Bit(home)).removeRecursively(); });
    return true;
}
