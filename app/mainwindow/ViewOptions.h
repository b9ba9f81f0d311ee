#pragma once

#include <QObject>

class QAction;
struct AppState;

// The one owner of the view options: whether the toolbar, the status bar and the information
// panel are shown (ShowToolBar, ShowStatusBar, ShowInfo, kept in the program's state for the
// settings). Its three commands (View > Toolbar, StatusBar, Info; Info is also the toolbar's
// "INFO" button and the panel's close button) toggle them; their check marks, the bars, the
// panel and the window's layout follow the signals.
class ViewOptions : public QObject
{
    Q_OBJECT

public:
    // `state` must outlive the options.
    explicit ViewOptions(AppState &state, QObject *parent = nullptr);

    bool ShowToolBar() const;
    bool ShowStatusBar() const;
    bool ShowInfo() const;
    void SetShowToolBar(bool show);
    void SetShowStatusBar(bool show);
    void SetShowInfo(bool show);
    // Tells every observer the three options as they stand (after start-up read the settings).
    void Apply();

    // View > Toolbar (Ctrl+T), StatusBar (Ctrl+B), Info (Ctrl+I, toolbar "INFO"): checkable, the
    // check mark showing the option.
    QAction *ToolBarCommand() const { return m_toolBar; }
    QAction *StatusBarCommand() const { return m_statusBar; }
    QAction *InfoCommand() const { return m_info; }

signals:
    void ShowToolBarChanged(bool show);
    void ShowStatusBarChanged(bool show);
    void ShowInfoChanged(bool show);

private:
    AppState &m_state;
    QAction *m_toolBar;
    QAction *m_statusBar;
    QAction *m_info;
};
