#include "FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString AddBackslash(const QString &path)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

bool MakePath(const QString &path)
{
    const QString full = AddBackslash(path);
    if (full.isEmpty())
        return false;
    // Walk from the left, creating each missing folder; failures show in the final test.
    for (qsizetype at = full.indexOf(QLatin1Char('/'), 1); at >= 0;
         at = full.indexOf(QLatin1Char('/'), at + 1)) {
        const QString part = full.left(at + 1);
        if (!QFileInfo(part).isDir())
            QDir().mkdir(part);
    }
    return QFileInfo(full).isDir();
}

bool DeleteFolderTree(const QString &path)
{
    // Without its trailing separator: "link/" would name the folder a link points to.
    const QString folder = QDir::cleanPath(path);
    QFileInfo info(folder);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isSymLink() || !info.isDir())
        return false; // never follow a link or remove a file by this route
    QDir dir(folder);
    dir.removeRecursively();
    return !QFileInfo::exists(folder);
}

bool CopyOneFile(const QString &source, const QString &target, bool failIfExists)
{
    if (source.isEmpty() || target.isEmpty() || !QFileInfo(source).isFile())
        return false;
    if (QFileInfo::exists(target)) {
        if (failIfExists)
            return false;
        if (!QFile::remove(target))
            return false;
    }
    return QFile::copy(source, target);
}

bool FolderExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}
