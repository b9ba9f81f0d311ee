#include "InfoPhotos.h"

#include "FileHelpers.h"
#include "NativeNames.h"
#include "Thumbs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <unistd.h>
#endif

namespace {

bool isWritableFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && info.isWritable();
}

} // namespace

namespace InfoPhotos {

QStringList SelectedFiles(const QStringList &selThumbs, const Thumbs &thumbs)
{
    QStringList files;
    for (const QString &name : selThumbs) {
        if (const Thumb *item = thumbs.Item(name))
            files.append(item->Path() + item->Name());
    }
    return files;
}

QString BuildDeleteText(const QStringList &selThumbs, const Thumbs &thumbs)
{
    QString text;
    for (const QString &file : SelectedFiles(selThumbs, thumbs))
        text += file + QChar(0);
    text += QChar(0);
    return text;
}

bool TrashAvailable(const QString &filePath)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // The desktop's trash rules: a file off the home volume goes to a trash at the top of its
    // own volume when there is one, otherwise to the home trash in the user's data folder. A
    // file is moved into the trash by renaming, so the home trash serves its own volume only.
    const QStorageInfo source(QFileInfo(filePath).absolutePath());
    if (!source.isValid())
        return false;
    if (source != QStorageInfo(QDir::home())) {
        const QString top = AddBackslash(source.rootPath());
        const QString uid = QString::number(::getuid());
        if (isWritableFolder(top + QStringLiteral(".Trash/") + uid) ||
            isWritableFolder(top + QStringLiteral(".Trash-") + uid))
            return true;
    }
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty() || !QDir().mkpath(dataHome))
        return false;
    const QString homeTrash = AddBackslash(dataHome) + QStringLiteral("Trash");
    const bool usable =
        QFileInfo::exists(homeTrash) ? isWritableFolder(homeTrash) : isWritableFolder(dataHome);
    return usable && QStorageInfo(dataHome) == source;
#else
    Q_UNUSED(filePath);
    return true;
#endif
}

MessageRequest DeleteQuestion(Removal removal)
{
    MessageRequest question;
    question.text = QStringLiteral("Are you sure you wish to delete the selected photo(s) ?");
    question.title = QStringLiteral("Confirmation");
    question.buttons = MsgButtons::OkCancel;
    if (removal == Removal::Permanent) {
        question.text += QStringLiteral("\r\n\r\nThere is no trash for these files: they will "
                                        "be deleted permanently and cannot be restored.");
        question.icon = MsgIcon::Exclamation;
        question.defaultButton = 2;
    }
    return question;
}

bool RemovePhotoFile(const QString &path, const QString &name, Removal removal)
{
    if (name.isEmpty())
        return false;
    // By the bytes of the name, also for a name that is not valid UTF-8.
    const QString file = AddBackslash(path) + name;
    const NativeNames::FileInfo info = NativeNames::Info(file);
    if (!info.isFile && !info.isSymLink)
        return false;
    if (removal == Removal::Permanent)
        return NativeNames::Remove(file);
    // False also when no trash could be set up: the file then stays where it was.
    return NativeNames::MoveToTrash(file);
}

} // namespace InfoPhotos
