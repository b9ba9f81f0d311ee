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

QString AppDataFolder()
{
    return AddBackslash(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString ChooseDataFolder(const QString &programDir, const QString &overrideDir,
                         const FolderProbe &writable)
{
    if (!overrideDir.isEmpty()) {
        const QString folder = AddBackslash(QDir::cleanPath(QDir(overrideDir).absolutePath()));
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
    if (!beside.isEmpty() && writable(beside))
        return beside;
    MakePath(appData);
    return appData;
}

QString DefaultUserSettingsFile()
{
    return configFile(QStringLiteral("Velkin Tree.ini"));
}

QString DefaultMachineSettingsFile()
{
    return configFile(QStringLiteral("Velkin Tree machine.ini"));
}
