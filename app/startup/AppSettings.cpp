#include "AppSettings.h"

#include "AppState.h"
#include "modRegistry.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

using AppSettings::MachineKey;
using AppSettings::UserKey;

int readNumber(modRegistry &registry, const QString &key, const QString &name, int fallback)
{
    const QVariant value = registry.GetDword(key, name);
    return value.typeId() == QMetaType::Int ? value.toInt() : fallback;
}

bool readFlag(modRegistry &registry, const QString &name, bool fallback)
{
    return readNumber(registry, UserKey, name, fallback ? 1 : 0) != 0;
}

qint32 flagValue(bool flag)
{
    return flag ? -1 : 0;
}

void writeMissingNumber(modRegistry &registry, const QString &key, const QString &name,
                        qint32 value)
{
    if (registry.GetDword(key, name).typeId() != QMetaType::Int)
        registry.SetDword(key, name, value);
}

} // namespace

WindowPlacement AppSettings::DefaultPlacement(int twipsPerPixel)
{
    WindowPlacement placement;
    placement.Width = kFirstRunWidth * twipsPerPixel;
    placement.Height = kFirstRunHeight * twipsPerPixel;
    placement.State = 2;
    return placement;
}

WindowPlacement AppSettings::Load(modRegistry &registry, AppState &state,
                                  const QList<QRect> &screensTwips)
{
    const WindowPlacement defaults = DefaultPlacement(state.TwipsPerPixel);
    WindowPlacement placement;
    placement.Left = readNumber(registry, UserKey, QStringLiteral("MainLeft"), defaults.Left);
    placement.Top = readNumber(registry, UserKey, QStringLiteral("MainTop"), defaults.Top);
    placement.Width = readNumber(registry, UserKey, QStringLiteral("MainWidth"), defaults.Width);
    placement.Height = readNumber(registry, UserKey, QStringLiteral("MainHeight"), defaults.Height);
    placement.State = readNumber(registry, UserKey, QStringLiteral("MainState"), defaults.State);
    placement = Usable(placement, screensTwips, state.TwipsPerPixel);

    state.ShowToolBar = readFlag(registry, QStringLiteral("ShowToolBar"), true);
    state.ShowStatusBar = readFlag(registry, QStringLiteral("ShowStatusBar"), true);
    state.ShowInfo = readFlag(registry, QStringLiteral("ShowInfo"), false);
    const QString lastOpen = registry.GetString(UserKey, QStringLiteral("LastOpen"));
    state.LastOpen = registry.LastResult() == 0 ? lastOpen : QString();
    const QString shared = registry.GetString(UserKey, QStringLiteral("SharedDatabase"));
    state.SharedDatabase = registry.LastResult() == 0 ? shared : QString();
    const QString keyring = registry.GetString(UserKey, QStringLiteral("SharedKeyring"));
    state.SharedKeyringAddress = registry.LastResult() == 0 ? keyring : QString();
    const QString photos = registry.GetString(UserKey, QStringLiteral("SharedPhotoFolder"));
    state.SharedPhotoFolder = registry.LastResult() == 0 ? photos : QString();
    const QString photosFor = registry.GetString(UserKey, QStringLiteral("SharedPhotoFolderFor"));
    state.SharedPhotoFolderFor = registry.LastResult() == 0 ? photosFor : QString();
    state.Version =
        kSettingsVersion; // the version this program runs with, written by CompleteStore
    return placement;
}

QList<QRect> AppSettings::ScreensTwips(int twipsPerPixel)
{
    QList<QScreen *> screens = QGuiApplication::screens();
    if (QScreen *primary = QGuiApplication::primaryScreen()) {
        screens.removeAll(primary);
        screens.prepend(primary);
    }
    QList<QRect> areas;
    for (const QScreen *screen : screens) {
        const QRect pixels = screen->availableGeometry();
        if (!pixels.isEmpty())
            areas.append(QRect(pixels.topLeft() * twipsPerPixel, pixels.size() * twipsPerPixel));
    }
    if (areas.isEmpty())
        areas.append(QRect(QPoint(0, 0), QSize(1024, 768) * twipsPerPixel));
    return areas;
}

WindowPlacement AppSettings::Usable(WindowPlacement placement, const QList<QRect> &screensTwips,
                                    int twipsPerPixel)
{
    const WindowPlacement defaults = DefaultPlacement(twipsPerPixel);
    if (placement.Width < kMinimumWidth * twipsPerPixel)
        placement.Width = defaults.Width;
    if (placement.Height < kMinimumHeight * twipsPerPixel)
        placement.Height = defaults.Height;
    if (placement.State < 0)
        placement.State = 0;
    if (screensTwips.isEmpty())
        return placement;

    // The screen the saved window overlaps most; 64 bits, since a stored edge may be anywhere.
    const auto overlap = [&placement](const QRect &screen) {
        const qint64 left = std::max<qint64>(placement.Left, screen.left());
        const qint64 top = std::max<qint64>(placement.Top, screen.top());
        const qint64 right = std::min<qint64>(qint64(placement.Left) + placement.Width,
                                              qint64(screen.left()) + screen.width());
        const qint64 bottom = std::min<qint64>(qint64(placement.Top) + placement.Height,
                                               qint64(screen.top()) + screen.height());
        return right > left && bottom > top ? (right - left) * (bottom - top) : 0;
    };
    QRect screen = screensTwips.constFirst();
    qint64 best = overlap(screen);
    for (const QRect &other : screensTwips) {
        if (const qint64 area = overlap(other); area > best) {
            best = area;
            screen = other;
        }
    }
    placement.Width = std::min(placement.Width, screen.width());
    placement.Height = std::min(placement.Height, screen.height());
    placement.Left = int(std::clamp<qint64>(
        placement.Left, screen.left(), qint64(screen.left()) + screen.width() - placement.Width));
    placement.Top = int(std::clamp<qint64>(
        placement.Top, screen.top(), qint64(screen.top()) + screen.height() - placement.Height));
    return placement;
}

void AppSettings::CompleteStore(modRegistry &registry, int twipsPerPixel)
{
    if (!registry.KeyExists(MachineKey))
        registry.CreateKey(MachineKey);
    if (!registry.KeyExists(UserKey))
        registry.CreateKey(UserKey);

    const WindowPlacement defaults = DefaultPlacement(twipsPerPixel);
    writeMissingNumber(registry, UserKey, QStringLiteral("MainLeft"), defaults.Left);
    writeMissingNumber(registry, UserKey, QStringLiteral("MainTop"), defaults.Top);
    writeMissingNumber(registry, UserKey, QStringLiteral("MainWidth"), defaults.Width);
    writeMissingNumber(registry, UserKey, QStringLiteral("MainHeight"), defaults.Height);
    writeMissingNumber(registry, UserKey, QStringLiteral("MainState"), defaults.State);
    writeMissingNumber(registry, UserKey, QStringLiteral("ShowToolBar"), 1);
    writeMissingNumber(registry, UserKey, QStringLiteral("ShowStatusBar"), 1);
    writeMissingNumber(registry, UserKey, QStringLiteral("ShowInfo"), 0);
    registry.GetString(UserKey, QStringLiteral("LastOpen"));
    if (registry.LastResult() != 0)
        registry.SetString(UserKey, QStringLiteral("LastOpen"), QString());

    const QVariant version = registry.GetDword(MachineKey, QStringLiteral("Version"));
    if (version.typeId() != QMetaType::Int || version.toInt() != kSettingsVersion)
        registry.SetDword(MachineKey, QStringLiteral("Version"), kSettingsVersion);
}

void AppSettings::Save(modRegistry &registry, const AppState &state, const QString &openTree,
                       const WindowPlacement *placement)
{
    if (!registry.KeyExists(UserKey))
        registry.CreateKey(UserKey);
    if (placement) {
        registry.SetDword(UserKey, QStringLiteral("MainLeft"), placement->Left);
        registry.SetDword(UserKey, QStringLiteral("MainTop"), placement->Top);
        registry.SetDword(UserKey, QStringLiteral("MainWidth"), placement->Width);
        registry.SetDword(UserKey, QStringLiteral("MainHeight"), placement->Height);
        registry.SetDword(UserKey, QStringLiteral("MainState"), placement->State);
    }
    registry.SetDword(UserKey, QStringLiteral("ShowToolBar"), flagValue(state.ShowToolBar));
    registry.SetDword(UserKey, QStringLiteral("ShowStatusBar"), flagValue(state.ShowStatusBar));
    registry.SetDword(UserKey, QStringLiteral("ShowInfo"), flagValue(state.ShowInfo));
    registry.SetString(UserKey, QStringLiteral("LastOpen"), openTree);
    registry.SetString(UserKey, QStringLiteral("SharedDatabase"), state.SharedDatabase);
    registry.SetString(UserKey, QStringLiteral("SharedKeyring"), state.SharedKeyringAddress);
    registry.SetString(UserKey, QStringLiteral("SharedPhotoFolder"), state.SharedPhotoFolder);
    registry.SetString(UserKey, QStringLiteral("SharedPhotoFolderFor"), state.SharedPhotoFolderFor);
}

modRegistry AppSettings::Registry(AppState &state)
{
    return modRegistry(state.Settings, state.UserSettingsFile, state.MachineSettingsFile);
}
