#include "PhotoStage.h"

#include "PhotoFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kLock = QStringLiteral(".lock");
const QString kTree = QStringLiteral(".tree");

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// Takes the lock of an open lock file without waiting, and only while the file is still the one
// at `path`: a stage being finished by another program loses its lock file while locked.
bool lockIfCurrent(int fd, const QString &path)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return false;
    struct stat opened = {};
    struct stat named = {};
    if (::fstat(fd, &opened) == 0 && ::stat(native(path).constData(), &named) == 0 &&
        opened.st_dev == named.st_dev && opened.st_ino == named.st_ino)
        return true;
    ::flock(fd, LOCK_UN);
    return false;
}

// Renames without replacing anything; false when the target exists or the rename failed.
bool renameNew(const QString &from, const QString &to)
{
    const QByteArray source = native(from);
    const QByteArray target = native(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system that cannot rename without replacing: a file is linked, then unlinked; a
    // folder only renamed when nothing is at the target.
    struct stat info = {};
    if (::lstat(source.constData(), &info) != 0)
        return false;
    if (!S_ISDIR(info.st_mode))
        return ::link(source.constData(), target.constData()) == 0 &&
               ::unlink(source.constData()) == 0;
    if (::lstat(target.constData(), &info) == 0)
        return false;
    return ::rename(source.constData(), target.constData()) == 0;
}

// Moves one key's staged folder into the photos folder; the number of files left behind.
qsizetype placeKey(const QString &dataPath, const QString &staged, const QString &key)
{
    const QDir from(staged);
    const QStringList files = from.entryList(QDir::Files | QDir::Hidden | QDir::System);
    const QString target = PhotoFolders::FolderOf(dataPath, key);
    if (target.isEmpty())
        return files.size();
    if (!QDir().mkpath(PhotoFolders::Root(dataPath)))
        return files.size();
    if (renameNew(staged, target.chopped(1)))
        return 0;
    // The folder is there already (another program saved photos for this key meanwhile): the
    // files join it, none replacing one of the same name.
    if (!QFileInfo(target).isDir())
        return files.size();
    qsizetype left = 0;
    for (const QString &file : files) {
        if (!renameNew(from.filePath(file), target + file))
            ++left;
    }
    return left;
}

QString stageName()
{
    return QStringLiteral("%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

// Removes a file, or a folder with everything in it (a link only itself).
void removeEntry(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

// Removes a finished or abandoned stage: its folder and tree name, then its lock file (while
// locked, so that nobody takes the stage for a new one meanwhile).
void removeStage(const QString &base)
{
    removeEntry(base);
    QFile::remove(base + kTree);
    QFile::remove(base + kLock);
}

} // namespace

PhotoStage::PhotoStage(QString dataPath, QString base, int lockFile)
    : m_dataPath(std::move(dataPath)), m_base(std::move(base)), m_folder(m_base + QLatin1Char('/')),
      m_lockFile(lockFile)
{
}

PhotoStage::~PhotoStage()
{
    removeStage(m_base);
    ::close(m_lockFile);
    // Folders the stage made go with it when nothing else is in them.
    QDir().rmdir(PhotoFolders::StagingRoot(m_dataPath));
    if (m_madeRoot)
        QDir().rmdir(PhotoFolders::Root(m_dataPath));
}

Result<std::unique_ptr<PhotoStage>> PhotoStage::Create(const QString &dataPath, const QString &tree)
{
    if (dataPath.isEmpty())
        return Error(ErrorCode::NoPermission,
                     QStringLiteral("The photos cannot be copied: the photo folder of the shared "
                                    "database cannot be reached from this computer."));
    const QString root = PhotoFolders::StagingRoot(dataPath);
    const auto fail = [&](const QString &what) {
        return Error(ErrorCode::NoPermission,
                     QStringLiteral("The photos cannot be copied: %1 '%2' could not be made.")
                         .arg(what, QDir::toNativeSeparators(root)),
                     root);
    };
    const bool madeRoot = !QFileInfo::exists(PhotoFolders::Root(dataPath));
    if (!QDir().mkpath(root))
        return fail(QStringLiteral("the folder"));
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString base = root + stageName();
        const int fd =
            ::open(native(base + kLock).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return fail(QStringLiteral("a file in the folder"));
        // Another program finishing stopped stages may have taken this new lock first.
        if (!lockIfCurrent(fd, base + kLock)) {
            ::close(fd);
            continue;
        }
        std::unique_ptr<PhotoStage> stage(new PhotoStage(dataPath, base, fd));
        stage->m_madeRoot = madeRoot;
        QFile name(base + kTree);
        if (!name.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
            name.write(tree.toUtf8()) < 0 || !name.flush() || !QDir().mkdir(base))
            return fail(QStringLiteral("a folder in the folder"));
        return stage;
    }
    return fail(QStringLiteral("a file in the folder"));
}

qsizetype PhotoStage::Place()
{
    qsizetype left = 0;
    const QDir folder(m_folder);
    for (const QString &key : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        left += placeKey(m_dataPath, folder.filePath(key), key);
    return left;
}

int PhotoStage::FinishStopped(const QString &dataPath, const IsSaved &isSaved)
{
    const QString root = PhotoFolders::StagingRoot(dataPath);
    const QDir staging(root);
    if (root.isEmpty() || !staging.exists())
        return 0;
    int finished = 0;
    const QStringList entries =
        staging.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (!entry.endsWith(kLock))
            continue;
        const QString base = root + entry.chopped(kLock.size());
        const int fd = ::open(native(base + kLock).constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        // Held: the import is still running, in this program or another.
        if (!lockIfCurrent(fd, base + kLock)) {
            ::close(fd);
            continue;
        }
        QString tree;
        QFile name(base + kTree);
        if (name.open(QIODevice::ReadOnly))
            tree = QString::fromUtf8(name.readAll());
        const QDir folder(base);
        for (const QString &key :
             folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
            if (!tree.isEmpty() && isSaved && isSaved(tree, key))
                placeKey(dataPath, folder.filePath(key), key);
        }
        removeStage(base);
        ::close(fd);
        ++finished;
    }
    // What has no lock file is left from nothing that runs: a stage is locked before it is made,
    // and its lock file goes last.
    for (const QString &entry : entries) {
        const QString base = root + entry.section(QLatin1Char('.'), 0, 0);
        if (entry.endsWith(kLock) || QFileInfo::exists(base + kLock))
            continue;
        removeEntry(root + entry);
    }
    QDir().rmdir(root); // when nothing runs any more
    return finished;
}
