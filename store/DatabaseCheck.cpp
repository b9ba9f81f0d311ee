#include "DatabaseCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace Store::DatabaseCheck {
namespace {

constexpr int kHeaderSize = 100;
const QByteArray kMagic("SQLite format 3\0", 16);

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QByteArray head(const QString &path, bool *readable)
{
    QFile file(path);
    *readable = file.open(QIODevice::ReadOnly);
    return *readable ? file.read(kHeaderSize) : QByteArray();
}

} // namespace

Error Damaged(const QString &databasePath, const QString &what)
{
    return Error(
        ErrorCode::Damaged,
        QStringLiteral("The database file '%1' %2. It has been left as it is: nothing was "
                       "changed, deleted or repaired.\r\n\r\nRestore the file from a backup "
                       "copy, or move it out of the folder to start with a new database.")
            .arg(native(databasePath), what),
        databasePath);
}

Result<void> CheckHeader(const QString &databasePath)
{
    const QFileInfo info(databasePath);
    if (info.isDir())
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("'%1' is a folder, not a database file. Nothing was changed.")
                         .arg(native(databasePath)),
                     databasePath);
    bool readable = false;
    const QByteArray bytes = head(databasePath, &readable);
    if (!readable)
        return Error(ErrorCode::NoPermission,
                     QStringLiteral("The database file '%1' cannot be read: the file or its "
                                    "folder does not allow it. Nothing was changed.")
                         .arg(native(databasePath)),
                     databasePath);
    if (bytes.isEmpty())
        return Damaged(databasePath, QStringLiteral("is empty: it holds no trees"));
    if (bytes.size() < kHeaderSize || !bytes.startsWith(kMagic))
        return Damaged(databasePath, QStringLiteral("is not a database, or its beginning is "
                                                    "damaged"));
    return {};
}

Result<void> CheckLength(const QString &databasePath)
{
    bool readable = false;
    const QByteArray bytes = head(databasePath, &readable);
    if (!readable || bytes.size() < kHeaderSize)
        return CheckHeader(databasePath);
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    // The page size (1 stands for 65536) and, when the header's own count is current (the
    // change counter at 24 equals the one at 92), the number of pages.
    const quint32 pageSize =
        qFromBigEndian<quint16>(p + 16) == 1 ? 65536u : qFromBigEndian<quint16>(p + 16);
    const quint32 pages = qFromBigEndian<quint32>(p + 28);
    const bool countCurrent = qFromBigEndian<quint32>(p + 24) == qFromBigEndian<quint32>(p + 92);
    const qint64 size = QFileInfo(databasePath).size();
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0)
        return Damaged(databasePath, QStringLiteral("is damaged: its header is not valid"));
    if (size % pageSize != 0 || (countCurrent && pages != 0 && size < qint64(pages) * pageSize))
        return Damaged(databasePath,
                       QStringLiteral("is incomplete: it ends before its last page (it was "
                                      "cut off, for example by a copy that did not finish)"));
    return {};
}

Result<void> CheckNewDatabaseFolder(const QString &folder)
{
    const QFileInfo info(folder);
    const QString shown = native(folder);
    if (info.exists() && !info.isDir())
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("The data folder '%1' is a file, not a folder: the database "
                                    "cannot be created there.")
                         .arg(shown),
                     folder);
    if (!info.exists() && !QDir().mkpath(folder))
        return Error(ErrorCode::NoPermission,
                     QStringLiteral("The data folder '%1' does not exist and could not be "
                                    "created: its parent folder is missing or read-only.")
                         .arg(shown),
                     folder);
    if (!QFileInfo(folder).isWritable())
        return Error(ErrorCode::ReadOnly,
                     QStringLiteral("The data folder '%1' is read-only: the database cannot be "
                                    "created in it.")
                         .arg(shown),
                     folder);
    return {};
}

} // namespace Store::DatabaseCheck
