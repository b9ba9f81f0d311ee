#include "DataFolder.h"

#include "FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kDatabaseFile = QStringLiteral("people.db");

bool holdsDatabase(const QString &folder)
{
    return !folder.isEmpty() && QFileInfo(AddBackslash(folder) + kDatabaseFile).isFile();
}

QString configFile(const QString &name)
{
    return AddBackslash(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) +
           QStringLiteral("Quillmar/") + name;
}

// Whether a folder could be made and written, judged by the nearest folder along its path that
// exists; nothing is made.
bool couldBeWritten(const QString &folder)
{
    QFileInfo info(QDir::cleanPath(folder));
    while (!info.exists()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath())
            return false;
        info = QFileInfo(parent);
    }
    return info.isDir() && info.isWritable();
}

// The choice of ChooseDataFolder; `make` makes the folder chosen.
QString choose(const QString &programDir, const QString &overrideDir, const FolderProbe &writable,
               bool make)
{
    if (!overrideDir.isEmpty()) {
        const QString folder = AddBackslash(QDir::cleanPath(QDir(overrideDir).absolutePath()));
        if (make)
            MakePath(folder);
        return folder;
    }
    const QString beside = programDir.isEmpty()
                               ? QString()
                               : AddBackslash(AddBackslash(programDir) + QStringLiteral("Data"));
    const QString appData = AppDataFolder();
    if (holdsDatabase(beside))
        return beside;
    if (holdsDatabase(appData))
        return appData;
    if (!beside.isEmpty() && IsPortableCopy(programDir) && writable(beside))
        return beside;
    if (make)
        MakePath(appData);
    return appData;
}

} // namespace

bool FolderIsWritable(const QString &folder)
{
    if (!MakePath(folder))
        return false;
    QFile probe(AddBackslash(folder) + QStringLiteral(".write-test"));
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}

bool IsPortableCopy(const QString &programDir)
{
    if (programDir.isEmpty())
        return false;
    const QDir dir(programDir);
    return QFileInfo(dir.filePath(QStringLiteral("Data"))).isDir() ||
           QFileInfo(dir.filePath(QStringLiteral("portable"))).isFile();
}

QString AppDataFolder()
{
    return AddBackslash(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString ChooseDataFolder(const QString &programDir, const QString &overrideDir,
                         const FolderProbe &writable)
{
    return choose(programDir, overrideDir, writable, true);
}

QString PreviewDataFolder(const QString &programDir, const QString &overrideDir)
{
    return choose(programDir, overrideDir, couldBeWritten, false);
}

QString DefaultUserSettingsFile()
{
    return configFile(QStringLiteral("Velkin Tree.ini"));
}

QString DefaultMachineSettingsFile()
{
    return configFile(QStringLiteral("Velkin Tree machine.ini"));
}
