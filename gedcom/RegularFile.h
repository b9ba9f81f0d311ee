#pragma once

#include "Result.h"

#include <QByteArray>
#include <QString>

namespace Gedcom {

// A file opened for reading only when it is a regular file (never a device, a pipe, a socket or
// a folder: opening those can block or have side effects) of at most a given size. The check is
// made on the path before opening and again on what was opened. Closes the file when destroyed.
class RegularFile
{
public:
    enum class Status { Open, Missing, NotRegular, TooLarge, Unreadable };

    RegularFile() = default;
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;
    RegularFile(RegularFile &&other) noexcept;
    RegularFile &operator=(RegularFile &&other) noexcept;
    ~RegularFile();

    static RegularFile open(const QString &path, qint64 maxSize);

    Status status() const { return m_status; }
    bool isOpen() const { return m_status == Status::Open; }
    qint64 size() const { return m_size; }
    int handle() const { return m_fd; }

    // The whole file; fails when it could not be read whole, the text saying why ("not found",
    // "not a regular file", the system's reason...).
    Result<QByteArray> readAll();

    // "not found", "not a regular file"... for messages.
    static QString describe(Status status);
    // What a status other than Open says went wrong.
    static ErrorCode codeOf(Status status);

private:
    void close();
    int m_fd = -1;
    qint64 m_size = 0;
    Status m_status = Status::Missing;
};

} // namespace Gedcom
