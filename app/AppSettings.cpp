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

} // namespace

WindowPlacement AppSettings::DefaultPlacement(int twipsPerPixel)
{
    WindowPlacement placement;
    placement.Width = 600 * twipsPerPixel;
    placement.Height = 500 * twipsPerPixel;
    placement.State = 2;
    return placement;
}

WindowPlacement AppSettings::Load(modRegistry &registry, AppState &state, const QSize &screenTwips)
{
    const WindowPlacement defaults = DefaultPlacement(state.TwipsPerPixel);
    if (registry.KeyExists(MachineKey)) {
        const QVariant version = registry.GetDword(MachineKey, QStringLiteral("Version"));
        if (version.typeId() != QMetaType::Int || version.toInt() != kSettingsVersion)
            registry.SetDword(MachineKey, QStringLiteral("Version"), kSettingsVersion);
        if (!registry.KeyExists(UserKey))
            registry.CreateKey(UserKey);
    } else {
        registry.CreateKey(MachineKey);
        registry.CreateKey(UserKey);
        registry.SetDword(UserKey, QStringLiteral("MainLeft"), defaults.Left);
        registry.SetDword(UserKey, QStringLiteral("MainTop"), defaults.Top);
        registry.SetDword(UserKey, QStringLiteral("MainWidth"), defaults.Width);
        registry.SetDword(UserKey, QStringLiteral("MainHeight"), defaults.Height);
        registry.SetDword(UserKey, QStringLiteral("MainState"), defaults.State);
        registry.SetDword(UserKey, QStringLiteral("ShowToolBar"), 1);
        registry.SetDword(UserKey, QStringLiteral("ShowStatusBar"), 1);
        registry.SetDword(UserKey, QStringLiteral("ShowInfo"), 0);
        registry.SetString(UserKey, QStringLiteral("LastOpen"), QString());
        registry.SetDword(MachineKey, QStringLiteral("Version"), kSettingsVersion);
    }

    WindowPlacement placement;
    placement.Left = readNumber(registry, UserKey, QStringLiteral("MainLeft"), defaults.Left);
    placement.Top = readNumber(registry, UserKey, QStringLiteral("MainTop"), defaults.Top);
    placement.Width = readNumber(registry, UserKey, QStringLiteral("MainWidth"), defaults.Width);
    placement.Height = readNumber(registry, UserKey, QStringLiteral("MainHeight"), defaults.Height);
    placement.State = readNumber(registry, UserKey, QStringLiteral("MainState"), defaults.State);
    placement = Clamp(placement, screenTwips);

    state.ShowToolBar = readFlag(registry, QStringLiteral("ShowToolBar"), true);
    state.ShowStatusBar = readFlag(registry, QStringLiteral("ShowStatusBar"), true);
    state.ShowInfo = readFlag(registry, QStringLiteral("ShowInfo"), false);
    const QString lastOpen = registry.GetString(UserKey, QStringLiteral("LastOpen"));
    state.LastOpen = registry.LastResult() == 0 ? lastOpen : QString();
    state.Version = readNumber(registry, MachineKey, QStringLiteral("Version"), kSettingsVersion);
    return placement;
}

WindowPlacement AppSettings::Clamp(WindowPlacement placement, const QSize &screenTwips)
{
    if (placement.Left < 0)
        placement.Left = 0;
    if (placement.Top < 0)
        placement.Top = 0;
    if (placement.Width > screenTwips.width())
        placement.Width = screenTwips.width();
    if (placement.Height > screenTwips.height())
        placement.Height = screenTwips.height();
    if (placement.State < 0)
        placement.State = 0;
    return placement;
}

void AppSettings::Save(modRegistry &registry, const AppState &state,
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
    registry.SetString(UserKey, QStringLiteral("LastOpen"), state.CurrentTree);
}
