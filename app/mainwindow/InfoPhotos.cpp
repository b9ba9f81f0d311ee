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
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

bool isWritableFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && info.isWritable();
}

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
// The file system `path` lies on, as the system numbers it (not its mount table, which a chroot
// or a container may not show); -1 when the path cannot be looked at.
qint64 fileSystemOf(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return qint64(info.st_dev);
}

// A trash folder the move can use: there and writable, or missing below a writable folder that
// it can be made in.
bool canHaveFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.exists() || info.isSymLink())
        return info.isDir() && info.isWritable();
    return isWritableFolder(info.absolutePath());
}

// The trash at the top of the volume whose root is `top`, as the move looks for it: the shared
// $top/.Trash/$uid when $top/.Trash is a real folder with the sticky bit, else $top/.Trash-$uid.
bool topTrashAvailable(const QString &top)
{
    const QString uid = QString::number(::getuid());
    const QString shared = top + QStringLiteral(".Trash");
    struct stat info;
    if (::lstat(QFile::encodeName(shared).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
        (info.st_mode & S_ISVTX) && canHaveFolder(shared + QLatin1Char('/') + uid))
        return true;
    return canHaveFolder(top + QStringLiteral(".Trash-") + uid);
}
#endif

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
    // The desktop's trash rules, as QFile::moveToTrash follows them: a file whose volume is not
    // the home's goes to a trash at the top of its own volume when one is there or can be made;
    // every other file goes to the home trash in the user's data folder. The move is a rename,
    // so the home trash serves only the file system it lies on. Volumes are told apart as the
    // move tells them (by the mount table); file systems by the system's own numbers, which a
    // chroot or a container shows even where its mount table shows nothing.
    const QString folder = QFileInfo(filePath).absolutePath();
    const qint64 fileSystem = fileSystemOf(folder);
    if (fileSystem < 0)
        return false;
    const QStorageInfo source(folder);
    if (source != QStorageInfo(QDir::home())) {
        // A volume the mount table does not show has no top the move could find.
        if (!source.isValid())
            return false;
        if (topTrashAvailable(AddBackslash(source.rootPath())))
            return true;
    }
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty() || !QDir().mkpath(dataHome))
        return false;
    const QString homeTrash = AddBackslash(dataHome) + QStringLiteral("Trash");
    if (!canHaveFolder(homeTrash))
        return false;
    return fileSystemOf(QFileInfo::exists(homeTrash) ? homeTrash : dataHome) == fileSystem;
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
