#pragma once

// A real full disk for tests: a small file system in memory (tmpfs, 1 MB by default) mounted on a
// temporary folder, which fill() fills to its last block. Mounting needs the right to (root in a
// system that lets it); where it is refused, ok() is false and why() says so, for QSKIP.
// Files that should survive a failed write are written before fill().

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

class FullDisk
{
public:
    explicit FullDisk(qint64 bytes = 1024 * 1024)
    {
        if (!m_dir.isValid()) {
            m_why = QStringLiteral("no temporary folder");
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(bytes);
        if (::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                    options.constData()) != 0) {
            m_why = QStringLiteral("a tmpfs cannot be mounted here (%1): this test needs the "
                                   "right to mount file systems (root)")
                        .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        m_mounted = true;
    }
    ~FullDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    bool ok() const { return m_mounted; }
    const QString &why() const { return m_why; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // Fills the disk with one file until not one more byte can be written; true when it is full.
    bool fill()
    {
        const QByteArray filler = QFile::encodeName(filePath(QStringLiteral(".filler")));
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        const QByteArray block(4096, 'f');
        bool full = false;
        for (qsizetype size = block.size(); size > 0 && !full; size /= 2) {
            while (::write(fd, block.constData(), size_t(size)) == size) {
            }
            full = errno == ENOSPC && size == 1;
        }
        ::close(fd);
        return full;
    }
    // Takes the filling away again.
    void empty() { QFile::remove(filePath(QStringLiteral(".filler"))); }

    // Every name in the folder but the filling: what a failed write must not leave.
    QStringList entries() const
    {
        QStringList names = QDir(path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                   QDir::NoDotAndDotDot);
        names.removeAll(QStringLiteral(".filler"));
        return names;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_why;
};

// Writes a file whole; false when it could not.
inline bool WriteWholeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

inline QByteArray ReadWholeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
