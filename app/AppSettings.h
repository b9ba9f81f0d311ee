#pragma once

#include <QSize>
#include <QString>

class modRegistry;
struct AppState;

// The main window's placement as the settings keep it: twips, and the state
// 0 normal, 1 minimised, 2 maximised.
struct WindowPlacement
{
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int State = 0;

    bool operator==(const WindowPlacement &) const = default;
};

// Reading the settings at start-up and writing them back at exit.
namespace AppSettings {

inline const QString UserKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillmar\\Velkin Tree");
inline const QString MachineKey =
    QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Quillmar\\Velkin Tree");

// The first-run placement: at 0,0, 600 x 500 pixels (both converted with the horizontal factor),
// maximised.
WindowPlacement DefaultPlacement(int twipsPerPixel);

// First run on this machine (no machine key): creates both keys and writes the defaults.
// Otherwise rewrites a "Version" other than 23, and creates a missing user key (a second user
// on the machine) so that the settings can be saved at exit.
// Then reads the placement and the view settings into `state`; a value that is missing or not a
// number falls back to its first-run default. Returns the placement clamped to the screen.
WindowPlacement Load(modRegistry &registry, AppState &state, const QSize &screenTwips);

// A negative left or top becomes 0, a width or height beyond the screen the screen's, a
// negative state 0.
WindowPlacement Clamp(WindowPlacement placement, const QSize &screenTwips);

// Writes the placement (unless null: a minimised window keeps the saved one), the three view
// flags as -1 or 0, and "LastOpen" = the open tree.
void Save(modRegistry &registry, const AppState &state, const WindowPlacement *placement);

} // namespace AppSettings
