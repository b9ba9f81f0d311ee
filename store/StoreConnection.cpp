#include "StoreConnection.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <fcntl.h>
#include <unistd.h>

namespace Store::StoreConnection {

QString Options(bool readOnly, int busyTimeoutMs)
{
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    return options;
}

void Configure(QSqlDatabase &db, bool readOnly)
{
    if (readOnly)
        return;
    QSqlQuery query(db);
    // Either may fail on a database another program holds in another mode; the engine then
    // keeps that program's mode, which is as safe.
    query.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    query.exec(QStringLiteral("PRAGMA synchronous=EXTRA"));
}

namespace {

bool syncPath(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

bool SyncFile(const QString &path)
{
    return syncPath(path, O_RDONLY);
}

bool SyncFolderOf(const QString &path)
{
    return syncPath(QFileInfo(path).absolutePath(), O_RDONLY | O_DIRECTORY);
}

} // namespace Store::StoreConnection
