#pragma once

#include "PrivacyChoices.h"

#include <QList>
#include <QRect>
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
//
// Start-up only reads. The store is written once the main window is up (CompleteStore) and at
// exit (Save), each followed by one AppState::Settings.Sync(); a start that ends before the main
// window shows leaves every setting as it was.
namespace AppSettings {

inline const QString UserKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillmar\\Velkin Tree");
inline const QString MachineKey =
    QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Quillmar\\Velkin Tree");

// The smallest usable window, in pixels: a saved size below it is not used.
constexpr int kMinimumWidth = 400;
constexpr int kMinimumHeight = 300;

// The first-run normal size, in pixels: what the window takes when it leaves the maximised state of
// a first start, and what replaces a saved size too small to use.
constexpr int kFirstRunWidth = 1000;
constexpr int kFirstRunHeight = 700;

// The first-run placement: at 0,0, 1000 x 700 pixels (both converted with the horizontal factor),
// maximised. Load and Usable fit it to a smaller screen.
WindowPlacement DefaultPlacement(int twipsPerPixel);

// Reads the placement and the view settings into `state`; writes nothing. A value that is
// missing or not a number falls back to its first-run default. Returns the placement made
// usable (Usable) on `screensTwips`.
WindowPlacement Load(modRegistry &registry, AppState &state, const QList<QRect> &screensTwips);

// The area each screen leaves to windows, in twips (the horizontal factor for both directions),
// the primary screen first; one 1024 x 768 pixel screen when there is none.
QList<QRect> ScreensTwips(int twipsPerPixel);

// Makes a saved placement usable on these screens (available areas in twips, the primary
// first), so that the whole window can be reached: a width below 400 pixels or a height below
// 300 pixels (negative ones included) becomes the first-run width or height; then the window
// goes onto the screen it overlaps most (the primary when it overlaps none), no wider or higher
// than that screen and moved inside it (on one screen at 0,0: a negative left or top becomes 0,
// a left or top so large that the window would leave the screen is brought back); a negative
// state becomes 0.
WindowPlacement Usable(WindowPlacement placement, const QList<QRect> &screensTwips,
                       int twipsPerPixel);

// Once the main window is up: creates the keys that are missing, writes the first-run default of
// every value that is missing or cannot be read (values the user has stay as they are), and
// rewrites a "Version" other than 23.
void CompleteStore(modRegistry &registry, int twipsPerPixel);

// Writes the placement (unless null: a minimised window keeps the saved one), the three view
// flags as -1 or 0, and "LastOpen" = `openTree`, the name of the open tree ("" when none).
void Save(modRegistry &registry, const AppState &state, const QString &openTree,
          const WindowPlacement *placement);

// The registry module over the program's settings files (AppState::Settings).
modRegistry Registry(AppState &state);

// The export dialogs' privacy choices (Genealogy::PrivacyChoices) kept under the user key's
// "Privacy" sub-key: for each kind of export ("Charts", "Gedcom", "Reports") "<kind>HideLiving"
// and "<kind>IncludePrivate", -1 or 0, written (and synced) when the user chooses. A choice whose
// values are missing or not numbers is none: the kind's default. `state` must outlive the store.
Genealogy::PrivacyChoices::Store PrivacyStore(AppState &state);

} // namespace AppSettings
