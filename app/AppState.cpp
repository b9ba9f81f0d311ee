#include "AppState.h"

#include "FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

namespace {

// True when `folder` exists (or can be made) and a file can be created in it.
bool usableFolder(const QString &folder)
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

} // namespace

QString ChooseDataFolder(const QString &programDir, const QString &overrideDir)
{
    if (!overrideDir.isEmpty()) {
        const QString folder = AddBackslash(QDir::cleanPath(QDir(overrideDir).absolutePath()));
        MakePath(folder);
        return folder;
    }
    const QString beside = AddBackslash(AddBackslash(programDir) + QStringLiteral("Data"));
    if (!programDir.isEmpty() && usableFolder(beside))
        return beside;
    const QString appData =
        AddBackslash(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    MakePath(appData);
    return appData;
}

QString DefaultUserSettingsFile()
{
    return AddBackslash(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) +
           QStringLiteral("Quillmar/Velkin Tree.ini");
}

QString DefaultMachineSettingsFile(const QString &dataPath)
{
    return AddBackslash(dataPath) + QStringLiteral("machine.ini");
}

int ScreenTwipsPerPixel()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 15;
    const qreal dpi = screen->logicalDotsPerInchX();
    if (dpi < 1.0)
        return 15;
    const int twips = int(1440.0 / dpi + 0.5);
    return twips > 0 ? twips : 1;
}
