#include "PhotoFolders.h"

namespace {

QString withSlash(const QString &path)
{
    return path.isEmpty() || path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

} // namespace

namespace PhotoFolders {

QString Root(const QString &dataPath)
{
    // No folder at all (the photos unavailable) is no photos folder, never one relative to
    // wherever the program runs.
    return dataPath.isEmpty() ? QString() : withSlash(dataPath) + QStringLiteral("Photos/");
}

bool IsPlainName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(u'\0'));
}

QString FolderOf(const QString &dataPath, const QString &key)
{
    return IsPlainName(key) && key != StagingName() && !dataPath.isEmpty()
               ? Root(dataPath) + key + QLatin1Char('/')
               : QString();
}

QString StagingName()
{
    return QStringLiteral(".staging");
}

QString StagingRoot(const QString &dataPath)
{
    return dataPath.isEmpty() ? QString() : Root(dataPath) + StagingName() + QLatin1Char('/');
}

} // namespace PhotoFolders
