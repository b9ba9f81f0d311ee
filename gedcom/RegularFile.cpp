#include "RegularFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Gedcom {

RegularFile::RegularFile(RegularFile &&other) noexcept
    : m_fd(other.m_fd), m_size(other.m_size), m_status(other.m_status)
{
    other.m_fd = -1;
    other.m_status = Status::Missing;
}

RegularFile &RegularFile::operator=(RegularFile &&other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        m_size = other.m_size;
        m_status = other.m_status;
        other.m_fd = -1;
        other.m_status = Status::Missing;
    }
    return *this;
}

RegularFile::~RegularFile()
{
    close();
}

void RegularFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

RegularFile RegularFile::open(const QString &path, qint64 maxSize)
{
    RegularFile file;
    const QByteArray name = QFile::encodeName(path);
    struct stat before
    {
    };
    if (name.isEmpty() || ::stat(name.constData(), &before) != 0) {
        file.m_status = Status::Missing;
        return file;
    }
    if (!S_ISREG(before.st_mode)) {
        file.m_status = Status::NotRegular;
        return file;
    }
    if (before.st_size > maxSize) {
        file.m_status = Status::TooLarge;
        return file;
    }
    // O_NONBLOCK: should the path have been replaced by a pipe meanwhile, opening it does not
    // wait for a writer; the second check below then refuses it.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        file.m_status = Status::Unreadable;
        return file;
    }
    file.m_fd = fd;
    struct stat after
    {
    };
    if (::fstat(fd, &after) != 0 || !S_ISREG(after.st_mode) || after.st_dev != before.st_dev ||
        after.st_ino != before.st_ino) {
        file.close();
        file.m_status = Status::NotRegular;
        return file;
    }
    if (after.st_size > maxSize) {
        file.close();
        file.m_status = Status::TooLarge;
        return file;
    }
    file.m_size = after.st_size;
    file.m_status = Status::Open;
    return file;
}

Result<QByteArray> RegularFile::readAll()
{
    if (!isOpen())
        return Error(codeOf(m_status), describe(m_status));
    QByteArray bytes;
    bytes.resize(m_size);
    qint64 done = 0;
    while (done < m_size) {
        const ssize_t got = ::pread(m_fd, bytes.data() + done, size_t(m_size - done), done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Error(ErrorCode::NoPermission, QString::fromLocal8Bit(std::strerror(errno)));
        if (got == 0)
            return Error(ErrorCode::ChangedElsewhere,
                         QStringLiteral("the file became shorter while it was read"));
        done += got;
    }
    return bytes;
}

ErrorCode RegularFile::codeOf(Status status)
{
    switch (status) {
    case Status::Open:
        return ErrorCode::None;
    case Status::Missing:
        return ErrorCode::Missing;
    case Status::NotRegular:
    case Status::TooLarge:
        return ErrorCode::InvalidInput;
    case Status::Unreadable:
        return ErrorCode::NoPermission;
    }
    return ErrorCode::Failed;
}

QString RegularFile::describe(Status status)
{
    switch (status) {
    case Status::Open:
        return QString();
    case Status::Missing:
        return QStringLiteral("not found");
    case Status::NotRegular:
        return QStringLiteral("not a regular file");
    case Status::TooLarge:
        return QStringLiteral("too large");
    case Status::Unreadable:
        return QStringLiteral("not readable");
    }
    return QString();
}

} // namespace Gedcom
