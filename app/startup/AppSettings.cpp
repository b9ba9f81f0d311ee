#include "AppSettings.h"

#include "AppState.h"
#include "modRegistry.h"

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

WindowPlacement AppSettings::Load(modRegistry &registry, AppState &state, const QSize &screenTwips)
{
    const WindowPlacement defaults = DefaultPlacement(state.TwipsPerPixel);
    WindowPlacement placement;
    placement.Left = readNumber(registry, UserKey, QStringLiteral("MainLeft"), defaults.Left);
    placement.Top = readNumber(registry, UserKey, QStringLiteral("MainTop"), defaults.Top);
    placement.Width = readNumber(registry, UserKey, QStringLiteral("MainWidth"), defaults.Width);
    placement.Height = readNumber(registry, UserKey, QStringLiteral("MainHeight"), defaults.Height);
    placement.State = readNumber(registry, UserKey, QStringLiteral("MainState"), defaults.State);
    placement = Usable(placement, screenTwips, state.TwipsPerPixel);

    state.ShowToolBar = readFlag(registry, QStringLiteral("ShowToolBar"), true);
    state.ShowStatusBar = readFlag(registry, QStringLiteral("ShowStatusBar"), true);
    state.ShowInfo = readFlag(registry, QStringLiteral("ShowInfo"), false);
    const QString lastOpen = registry.GetString(UserKey, QStringLiteral("LastOpen"));
    state.LastOpen = registry.LastResult() == 0 ? lastOpen : QString();
    state.Version =
        kSettingsVersion; // the version this program runs with, written by CompleteStore
    return placement;
}

WindowPlacement AppSettings::Usable(WindowPlacement placement, const QSize &screenTwips,
                                    int twipsPerPixel)
{
    const WindowPlacement defaults = DefaultPlacement(twipsPerPixel);
    if (placement.Left < 0)
        placement.Left = defaults.Left;
    if (placement.Top < 0)
        placement.Top = defaults.Top;
    if (placement.Width < kMinimumWidth * twipsPerPixel)
        placement.Width = defaults.Width;
    if (placement.Height < kMinimumHeight * twipsPerPixel)
        placement.Height = defaults.Height;
    if (placement.Width > screenTwips.width())
        placement.Width = screenTwips.width();
    if (placement.Height > screenTwips.height())
        placement.Height = screenTwips.height();
    if (placement.State < 0)
        placement.State = 0;
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
}

modRegistry AppSettings::Registry(AppState &state)
{
    return modRegistry(state.Settings, state.UserSettingsFile, state.MachineSettingsFile);
}
