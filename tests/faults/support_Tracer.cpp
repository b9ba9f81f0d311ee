#include "support_Tracer.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace Tracer {
namespace {

enum class Kind { Other, Marker, Write };

bool isFdWrite(unsigned long long nr)
{
    switch (nr) {
    case SYS_write:
    case SYS_pwrite64:
    case SYS_writev:
    case SYS_pwritev:
#ifdef SYS_pwritev2
    case SYS_pwritev2:
#endif
    case SYS_ftruncate:
    case SYS_fallocate:
    case SYS_fsync:
    case SYS_fdatasync:
        return true;
    default:
        return false;
    }
}

bool isPathWrite(unsigned long long nr)
{
    switch (nr) {
#ifdef SYS_rename
    case SYS_rename:
#endif
#ifdef SYS_unlink
    case SYS_unlink:
#endif
    case SYS_renameat:
#ifdef SYS_renameat2
    case SYS_renameat2:
#endif
    case SYS_unlinkat:
        return true;
    default:
        return false;
    }
}

// Where a descriptor of the traced thread points.
QString descriptorTarget(pid_t tid, unsigned long long fd)
{
    const QString link = QStringLiteral("/proc/%1/fd/%2").arg(tid).arg(fd);
    return QFile::symLinkTarget(link);
}

Kind classify(pid_t tid, const __ptrace_syscall_info &info, const QString &folder)
{
    const unsigned long long nr = info.entry.nr;
    if (isPathWrite(nr))
        return Kind::Write;
    if (!isFdWrite(nr))
        return Kind::Other;
    const unsigned long long fd = info.entry.args[0];
    if (fd == STDOUT_FILENO)
        return nr == SYS_write ? Kind::Marker : Kind::Other;
    if (fd <= STDERR_FILENO)
        return Kind::Other;
    const QString target = descriptorTarget(tid, fd);
    return target == folder || target.startsWith(folder + QLatin1Char('/')) ? Kind::Write
                                                                            : Kind::Other;
}

} // namespace

Result Run(const QString &program, const QStringList &arguments, const QString &folder, int k)
{
    Result result;
    const QString root = QDir(folder).canonicalPath();

    // Everything the child needs is made before the fork: after it, only exec.
    std::vector<std::string> args{QFile::encodeName(program).toStdString()};
    for (const QString &argument : arguments)
        args.push_back(QFile::encodeName(argument).toStdString());
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    // The leak checker cannot run in a traced program; markers go nowhere.
    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        if (std::strncmp(*e, "ASAN_OPTIONS=", 13) != 0)
            env.emplace_back(*e);
    }
    const QByteArray asan = qgetenv("ASAN_OPTIONS");
    env.emplace_back("ASAN_OPTIONS=" + asan.toStdString() + (asan.isEmpty() ? "" : ":") +
                     "detect_leaks=0");
    std::vector<char *> envp;
    for (std::string &e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0) {
        result.error = QStringLiteral("fork failed");
        return result;
    }
    if (pid == 0) {
        if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            _exit(126);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0)
            dup2(null, STDOUT_FILENO);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }

    int status = 0;
    if (waitpid(pid, &status, __WALL) != pid || !WIFSTOPPED(status)) {
        result.error = WIFEXITED(status) && WEXITSTATUS(status) == 126
                           ? QStringLiteral("the system does not allow tracing (ptrace)")
                           : QStringLiteral("the program did not start under the tracer");
        if (!WIFEXITED(status) && !WIFSIGNALED(status))
            kill(pid, SIGKILL);
        waitpid(pid, &status, __WALL);
        return result;
    }
    ptrace(PTRACE_SETOPTIONS, pid, nullptr,
           PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL | PTRACE_O_TRACECLONE);
    result.traced = true;
    ptrace(PTRACE_SYSCALL, pid, nullptr, nullptr);

    for (;;) {
        const pid_t tid = waitpid(-1, &status, __WALL);
        if (tid < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (WIFEXITED(status) || WIFSIGNALED(status)) {
            if (tid == pid) {
                if (WIFEXITED(status))
                    result.exitCode = WEXITSTATUS(status);
                break;
            }
            continue;
        }
        if (!WIFSTOPPED(status))
            continue;
        const int signal = WSTOPSIG(status);
        int deliver = 0;
        if (signal == (SIGTRAP | 0x80)) {
            __ptrace_syscall_info info{};
            if (ptrace(PTRACE_GET_SYSCALL_INFO, tid, sizeof info, &info) > 0 &&
                info.op == PTRACE_SYSCALL_INFO_ENTRY && !result.killed) {
                switch (classify(tid, info, root)) {
                case Kind::Marker:
                    ++result.markers;
                    break;
                case Kind::Write:
                    if (++result.writes == k) {
                        kill(pid, SIGKILL);
                        result.killed = true;
                    }
                    break;
                case Kind::Other:
                    break;
                }
            }
        } else if (signal != SIGTRAP && signal != SIGSTOP) {
            deliver = signal; // the program's own signals go through
        }
        ptrace(PTRACE_SYSCALL, tid, nullptr, reinterpret_cast<void *>(long(deliver)));
    }
    return result;
}

} // namespace Tracer
