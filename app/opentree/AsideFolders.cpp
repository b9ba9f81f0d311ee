#include "AsideFolders.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>

#include <memory>

namespace {

const QString kLockSuffix = QStringLiteral(".lock");

QString asideRoot(const QString &dataPath)
{
    return QDir(dataPath).filePath(QStringLiteral(".deleted"));
}

// This program's name for its folders: the process and the time it first set a folder aside.
const QString &session()
{
    static const QString name = QStringLiteral("%1-%2")
                                    .arg(QCoreApplication::applicationPid())
                                    .arg(QDateTime::currentMSecsSinceEpoch());
    return name;
}

// Holds this program's lock in `root` from the first folder set aside there until it ends.
bool holdSessionLock(const QString &root)
{
    static QHash<QString, std::shared_ptr<QLockFile>> held;
    const QString path = QDir(root).filePath(session() + kLockSuffix);
    if (held.contains(path))
        return true;
    auto lock = std::make_shared<QLockFile>(path);
    // A lock is stale only when its program is gone, however long it has been held.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    held.insert(path, std::move(lock));
    return true;
}

// True when the program that kept folders under `name` is gone: its lock is missing or stale.
bool sessionEnded(const QString &root, const QString &name)
{
    const QString path = QDir(root).filePath(name + kLockSuffix);
    if (!QFileInfo::exists(path))
        return true;
    QLockFile lock(path);
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0))
        return false; // held by a running program (this one included)
    lock.unlock();
    return true;
}

// "<pid>-<msecs>" of a folder "<pid>-<msecs>-<n>"; "" for a name of another shape.
QString sessionOf(const QString &folderName)
{
    const qsizetype dash = folderName.lastIndexOf(QLatin1Char('-'));
    return dash > 0 ? folderName.left(dash) : QString();
}

} // namespace

namespace AsideFolders {

QString setAside(const QString &dataPath, const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    const QString root = asideRoot(dataPath);
    if (!QDir().mkpath(root) || !holdSessionLock(root))
        return {};
    static int counter = 0;
    QString aside;
    do {
        aside = QDir(root).filePath(session() + QLatin1Char('-') + QString::number(++counter));
    } while (QFileInfo::exists(aside));
    if (!QDir().rename(QDir::cleanPath(folder), aside))
        return {};
    return aside;
}

int removeStale(const QString &dataPath)
{
    const QDir root(asideRoot(dataPath));
    if (!root.exists())
        return 0;
    int removed = 0;
    QHash<QString, bool> ended;
    const QStringList folders = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &name : folders) {
        const QString owner = sessionOf(name);
        if (owner.isEmpty())
            continue;
        auto known = ended.constFind(owner);
        if (known == ended.cend())
            known = ended.insert(owner, sessionEnded(root.path(), owner));
        if (*known && QDir(root.filePath(name)).removeRecursively())
            ++removed;
    }
    // The locks of ended programs go with their folders.
    for (auto it = ended.cbegin(); it != ended.cend(); ++it) {
        if (it.value())
            QFile::remove(root.filePath(it.key() + kLockSuffix));
    }
    return removed;
}

} // namespace AsideFolders
