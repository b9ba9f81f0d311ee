#pragma once

#include "HelpWindow.h"

#include <QObject>
#include <QPointer>

class QAction;
class QWidget;
class mDatabase;
struct AppState;

// The main window's own commands: File > Exit (closes every window, the last first; the main
// window's unload saves the settings), Help > Help (F1: the help window at its contents) and
// Help > About (toolbar "ABOUT": the about window, with the data folder). The help window is
// made on first use, for these commands and for the Help button of every message box.
class WindowCommands : public QObject
{
    Q_OBJECT

public:
    // Every reference must outlive this object; `window` parents the help and about windows.
    WindowCommands(const AppState &state, const mDatabase &store, QWidget *window);
    ~WindowCommands() override;

    QAction *ExitCommand() const { return m_exit; }
    QAction *HelpCommand() const { return m_help; }
    QAction *AboutCommand() const { return m_about; }

    void mnuHelpAbout();
    // The help window at a topic.
    void ShowHelp(int topic);
    // The help window, or nullptr before the first use.
    HelpWindow *Help() const { return m_helpWindow.data(); }
    // Shutdown: the help window closes.
    void CloseHelp();

private:
    const AppState &m_state;
    const mDatabase &m_store;
    QWidget *m_window;
    QAction *m_exit;
    QAction *m_help;
    QAction *m_about;
    QPointer<HelpWindow> m_helpWindow;
};
