#include "ReplacingFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes are held back up to this much and go out in one piece.
constexpr qsizetype kBufferSize = 256 * 1024;
// How many symbolic links in a row are followed (as the system does).
constexpr int kMaxLinks = 40;

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

QByteArray nameOf(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// What the path finally names after following its links. `exists` tells whether something is
// there (then `status` describes it); 0 or the errno of the failure.
int resolve(QByteArray path, QByteArray &destination, struct stat &status, bool &exists)
{
    for (int links = 0; links <= kMaxLinks; ++links) {
        if (::lstat(path.constData(), &status) != 0) {
            if (errno != ENOENT)
                return errno;
            destination = path;
            exists = false;
            return 0;
        }
        if (!S_ISLNK(status.st_mode)) {
            destination = path;
            exists = true;
            return 0;
        }
        QByteArray to(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(path.constData(), to.data(), size_t(to.size()));
        if (length < 0)
            return errno;
        to.truncate(length);
        path = to.startsWith('/') ? to : folderOf(path) + '/' + to;
    }
    return ELOOP;
}

QString kindClause(mode_t mode)
{
    QString kind;
    if (S_ISDIR(mode))
        kind = QStringLiteral("a folder");
    else if (S_ISFIFO(mode))
        kind = QStringLiteral("a pipe");
    else if (S_ISCHR(mode) || S_ISBLK(mode))
        kind = QStringLiteral("a device");
    else if (S_ISSOCK(mode))
        kind = QStringLiteral("a socket");
    else
        kind = QStringLiteral("something other");
    return QStringLiteral("it is %1, not a regular file, and only a regular file is replaced")
        .arg(kind);
}

QString errnoClause(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("the disk is full");
    case EFBIG:
        return QStringLiteral("the file would be larger than the system allows");
    case EACCES:
    case EPERM:
        return QStringLiteral("this user may not write there");
    case EROFS:
        return QStringLiteral("the disk is read-only");
    case ENOENT:
        return QStringLiteral("the folder does not exist");
    case ENOTDIR:
        return QStringLiteral("a part of the path is not a folder");
    case ENAMETOOLONG:
        return QStringLiteral("the name is too long");
    case ELOOP:
        return QStringLiteral("its symbolic links lead in a circle");
    case EIO:
        return QStringLiteral("the disk reported an error");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

// The first check of open(): true when the target may be replaced, else the clause in `reason`
// and the system's error number in `systemError` (0 for a target of the wrong kind).
bool checkTarget(const QByteArray &name, QByteArray &destination, struct stat &status, bool &exists,
                 QString &reason, int &systemError)
{
    systemError = 0;
    if (name.isEmpty()) {
        reason = QStringLiteral("no file was named");
        return false;
    }
    if (const int error = resolve(name, destination, status, exists)) {
        reason = errnoClause(error);
        systemError = error;
        return false;
    }
    if (!exists)
        return true;
    if (!S_ISREG(status.st_mode)) {
        reason = kindClause(status.st_mode);
        return false;
    }
    if (::access(destination.constData(), W_OK) != 0) {
        systemError = errno == EROFS ? EROFS : EACCES;
        reason = errno == EROFS ? errnoClause(EROFS) : QStringLiteral("the file is read-only");
        return false;
    }
    return true;
}

QByteArray randomPart()
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray part(8, Qt::Uninitialized);
    for (char &c : part)
        c = kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
    return part;
}

} // namespace

ReplacingFile::ReplacingFile(const QString &target, Access access)
    : m_target(target), m_access(access)
{
}

ReplacingFile::~ReplacingFile()
{
    if (!m_committed)
        discard();
}

QString ReplacingFile::destination() const
{
    return m_destination.isEmpty() ? m_target : QFile::decodeName(m_destination);
}

QString ReplacingFile::TargetProblem(const QString &path)
{
    QByteArray destination;
    struct stat status
    {
    };
    bool exists = false;
    QString reason;
    int systemError = 0;
    checkTarget(QFile::encodeName(path), destination, status, exists, reason, systemError);
    return reason;
}

bool ReplacingFile::open(OpenMode mode)
{
    if (isOpen() || m_committed)
        return fail(QStringLiteral("the file is already open"));
    m_reason.clear();
    m_systemError = 0;
    const OpenMode kind = mode & ~OpenMode(Truncate | Unbuffered);
    if (kind != WriteOnly)
        return fail(QStringLiteral("a file being replaced can only be written"));

    struct stat status
    {
    };
    if (!checkTarget(QFile::encodeName(m_target), m_destination, status, m_existed, m_reason,
                     m_systemError))
        return fail(m_reason);

    // Beside the file it replaces, so that the rename stays on one disk. A long name is cut
    // short: the temporary name must stay within the system's limit.
    const QByteArray stem = folderOf(m_destination) + "/." + nameOf(m_destination).left(200) + '.';
    const mode_t permissions = m_access == Access::Private ? 0600 : 0666; // less the umask
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        const QByteArray candidate = stem + randomPart();
        m_fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                      permissions);
        if (m_fd >= 0)
            m_temporary = candidate;
        else if (errno != EEXIST)
            return failErrno(errno);
    }
    if (m_fd < 0)
        return failErrno(EEXIST);
    if (m_existed) {
        // The new file takes the old one's place with its owner where that is allowed (a user
        // may not give a file away: no reason to fail), and its permissions unless it is for
        // the owner alone.
        if (::fchown(m_fd, status.st_uid, status.st_gid) != 0) {
            // kept as this user's
        }
        if (m_access == Access::Shared && ::fchmod(m_fd, status.st_mode & 07777) != 0) {
            // kept as made
        }
    }
    m_size = m_filePos = 0;
    m_buffer.clear();
    m_buffer.reserve(kBufferSize);
    return QIODevice::open(WriteOnly);
}

qint64 ReplacingFile::writeData(const char *data, qint64 length)
{
    if (m_fd < 0 || !m_reason.isEmpty())
        return -1;
    if (m_buffer.size() + length > kBufferSize && !flushBuffer())
        return -1;
    if (length >= kBufferSize) {
        if (!writeAll(data, length))
            return -1;
    } else {
        m_buffer.append(data, length);
    }
    m_size = std::max(m_size, m_filePos + m_buffer.size());
    return length;
}

bool ReplacingFile::seek(qint64 pos)
{
    if (m_fd < 0 || pos < 0 || !flushBuffer())
        return false;
    m_filePos = pos;
    return QIODevice::seek(pos);
}

bool ReplacingFile::flushBuffer()
{
    if (m_buffer.isEmpty())
        return m_reason.isEmpty();
    const bool written = writeAll(m_buffer.constData(), m_buffer.size());
    m_buffer.clear();
    return written;
}

bool ReplacingFile::writeAll(const char *data, qint64 length)
{
    while (length > 0) {
        const ssize_t done = ::pwrite(m_fd, data, size_t(length), m_filePos);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return failErrno(done < 0 ? errno : ENOSPC);
        data += done;
        length -= done;
        m_filePos += done;
        m_size = std::max(m_size, m_filePos);
    }
    return true;
}

bool ReplacingFile::commit()
{
    if (m_committed)
        return true;
    if (m_fd < 0 || !isOpen()) {
        if (m_reason.isEmpty())
            fail(QStringLiteral("the file was not open"));
        discard();
        return false;
    }
    bool written = flushBuffer();
    // Only what reached the disk replaces the old file: a disk that fills up or fails while
    // the data goes out reports it here or at the close.
    if (written && m_sync && ::fsync(m_fd) != 0 && errno != EINVAL)
        written = failErrno(errno);
    if (written) {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 && errno != EINTR)
            written = failErrno(errno);
    }
    if (!written) {
        discard();
        return false;
    }
    // Something else may have taken the target's place meanwhile: never replace it.
    struct stat status
    {
    };
    if (::lstat(m_destination.constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
        fail(kindClause(status.st_mode));
        discard();
        return false;
    }
    if (::rename(m_temporary.constData(), m_destination.constData()) != 0) {
        failErrno(errno);
        discard();
        return false;
    }
    m_temporary.clear();
    m_committed = true;
    // The new name on the disk as well; the file is in place whatever this says.
    if (m_sync) {
        const int folder =
            ::open(folderOf(m_destination).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            if (::fsync(folder) != 0) {
                // a folder that cannot be synced (some file systems) changes nothing
            }
            ::close(folder);
        }
    }
    QIODevice::close();
    return true;
}

void ReplacingFile::cancel()
{
    discard();
    if (isOpen())
        QIODevice::close();
}

void ReplacingFile::close()
{
    if (!m_committed)
        discard();
    if (isOpen())
        QIODevice::close();
}

void ReplacingFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.isEmpty()) {
        ::unlink(m_temporary.constData());
        m_temporary.clear();
    }
    m_buffer.clear();
}

bool ReplacingFile::failErrno(int error)
{
    if (m_reason.isEmpty())
        m_systemError = error;
    return fail(errnoClause(error));
}

bool ReplacingFile::fail(const QString &reason)
{
    // The first failure is the one to report: later ones follow from it.
    if (m_reason.isEmpty() || m_reason == reason) {
        m_reason = reason;
        struct stat status
        {
        };
        const QByteArray at = m_destination.isEmpty() ? QFile::encodeName(m_target) : m_destination;
        const bool present = ::lstat(at.constData(), &status) == 0;
        QString sentence = QStringLiteral("'%1' could not be written: %2.")
                               .arg(QDir::toNativeSeparators(m_target), m_reason);
        if (present)
            sentence += S_ISREG(status.st_mode)
                            ? QStringLiteral(" The file that was there is unchanged.")
                            : QStringLiteral(" It was left as it is.");
        setErrorString(sentence);
    }
    return false;
}

bool ReplaceFileContents(const QString &path, QByteArrayView data, QString *error,
                         ReplacingFile::Access access)
{
    ReplacingFile file(path, access);
    if (file.open(QIODevice::WriteOnly) && file.write(data.data(), data.size()) == data.size() &&
        file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}
