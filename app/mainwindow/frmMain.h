#pragma once

#include "AppSettings.h"
#include "OpenTree.h"
#include "mDatabase.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class HeaderPanel;
class HelpWindow;
class InfoPanel;
class PersonCommands;
class TreeBrowser;
class TreeCommands;
class MenuBar;
class QAction;
class QComboBox;
class QToolBar;
class StatusBar;
class TreeChart;
struct AppState;

// The main window: menu, toolbar with the tree box, the chart, the information panel on the
// right and the two-panel status bar. It owns the one database connection and the open tree for
// the whole run.
// Start-up (frmSplash) applies the settings and shows it; closing it saves the settings.
//
// The window wires widgets to the objects that do the work: TreeBrowser (loading a tree and
// the click-by-click expansion), TreeCommands (tree commands, delete person, refresh,
// compress), PersonCommands (new and edit person), InfoPanel (the information panel) and
// HelpWindow (the help).
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(AppState &state, QWidget *parent = nullptr);
    ~frmMain() override;

    AppState &State() { return m_state; }
    mDatabase &Db() { return m_db; }
    OpenTree &Tree() { return m_tree; }

    MenuBar &Menus() { return *m_menus; }
    StatusBar &Sbar() { return *m_sbar; }
    QToolBar &Tbar() { return *m_tbar; }
    QComboBox &cboTrees() { return *m_cboTrees; }
    TreeChart &VTree() { return *m_vtree; }
    InfoPanel &pnlInfo() { return *m_pnlInfo; }
    // The objects the window's commands are delegated to.
    TreeBrowser &Browser() { return *m_browser; }
    TreeCommands &Commands() { return *m_commands; }
    PersonCommands &Persons() { return *m_personCommands; }
    // The help window (made on first use) at a topic.
    void ShowHelp(int topic);
    HelpWindow *Help() const;
    // The toolbar button of a key ("NEWTREE", "INFO", …; exact), or nullptr.
    QAction *ToolButton(const QString &key) const { return m_buttons.value(key); }

    // Sets the run-time caption of the menu's header item ("mnuToolsSep" = "Database").
    void SetMenus();
    // Reopens the tree that was open at the last exit, when the tree box lists it (exact match).
    void LoadLastOpen();
    // Loads a tree into the chart; true when loaded.
    virtual bool LoadTree(const QString &name);
    // Empties the chart and forgets the open tree.
    virtual void CloseTree();

    // Start-up: moves the window to the placement and sets its state.
    void ApplyPlacement(const WindowPlacement &placement);
    // Start-up and the view commands: menu check marks, the INFO button and the visibility of
    // toolbar, status bar and information panel from ShowToolBar, ShowStatusBar, ShowInfo.
    void ApplyViewSettings();
    // The placement of the window as the settings keep it (twips).
    WindowPlacement CurrentPlacement() const;

    // Start-up has shown the window: marks a read-only database in the status bar and tells the
    // user what that means.
    void ShowDataNotice();

    // Start-up has finished: from now on closing the window saves the settings.
    void SetStarted(bool started) { m_started = started; }
    bool Started() const { return m_started; }

    // Places chart and information panel (on every resize and after the view commands).
    void Form_Resize();

    // Shutdown, as closing the window runs it.
    void Form_QueryUnload();
    void Form_Unload();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void MenuClick(const QString &key);
    void ToolbarClick(const QString &key);
    void cboTrees_Click(int index);

private:
    void buildMenu();
    void buildToolBar();
    void buildCentre();
    void wireCommands();
    void setStatusTexts(const QString &name, const QString &lifeSpan);

    // Commands of the menu and toolbar.
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileModify_Click();
    void mnuFileClose_Click();
    void mnuFileExit_Click();
    void mnuViewTbar_Click();
    void mnuViewSBar_Click();
    void mnuViewInfo_Click();
    void mnuPersonNew_Click();
    void mnuPersonEdit_Click();
    void mnuPersonDelete_Click();
    void mnuToolsRefresh_Click();
    void mnuToolsDbComp_Click();
    void mnuToolsPhotoViewer_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAbout_Click();

    AppState &m_state;
    mDatabase m_db;
    OpenTree m_tree;
    MenuBar *m_menus = nullptr;
    StatusBar *m_sbar = nullptr;
    QToolBar *m_tbar = nullptr;
    QComboBox *m_cboTrees = nullptr;
    TreeChart *m_vtree = nullptr;
    QWidget *m_centre = nullptr;
    InfoPanel *m_pnlInfo = nullptr;
    TreeBrowser *m_browser = nullptr;
    TreeCommands *m_commands = nullptr;
    PersonCommands *m_personCommands = nullptr;
    QHash<QString, QAction *> m_buttons;
    QPointer<HelpWindow> m_helpWindow;
    bool m_started = false;
    bool m_unloaded = false;
};
