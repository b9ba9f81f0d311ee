#include "InfoPhotos.h"

#include "FileHelpers.h"
#include "Thumbs.h"

#include <QFile>
#include <QFileInfo>

namespace InfoPhotos {

QString PhotoFolderOf(const QString &dataPath, const QString &key)
{
    if (key.isEmpty() || key == QLatin1String(".") || key == QLatin1String("..") ||
        key.contains(QLatin1Char('/')) || key.contains(QLatin1Char('\\')) || key.contains(QChar(0)))
        return QString();
    return AddBackslash(AddBackslash(dataPath) + QStringLiteral("Photos/") + key);
}

QString BuildDeleteText(const QStringList &selThumbs, const Thumbs &thumbs)
{
    QString text;
    for (const QString &name : selThumbs) {
        const Thumb *item = thumbs.Item(name);
        if (!item)
            continue;
        text += item->Path() + item->Name() + QChar(0);
    }
    text += QChar(0);
    return text;
}

bool DeletePhotoFile(const QString &path, const QString &name)
{
    if (name.isEmpty())
        return false;
    const QString file = AddBackslash(path) + name;
    const QFileInfo info(file);
    if (!info.isFile() && !info.isSymLink())
        return false;
    return QFile::remove(file);
}

} // namespace InfoPhotos
