#pragma once

#include "AppSettings.h"
#include "OpenTree.h"
#include "StartupWindow.h"
#include "TreeList.h"
#include "ViewOptions.h"
#include "mDatabase.h"

#include <QHash>
#include <QMainWindow>

class ChangeHistory;
class ChartView;
class ChartViewCommands;
class DetailsCommands;
class MergeCommands;
class ReportCommands;
class GedcomCommands;
class HelpWindow;
class InfoPanel;
class LiveChanges;
class StoreWatcher;
class MenuBar;
class PersonCommands;
class QAction;
class QComboBox;
class QToolBar;
class SharedDatabaseCommands;
class EmptyChartHint;
class StatusBar;
class TreeChart;
class TreeCommands;
class WindowCommands;
struct AppState;

// The main window: menu, toolbar with the tree box, the chart, the information panel on the
// right and the two-panel status bar. It owns, for the whole run, the one database connection,
// the open tree (OpenTree) and the list of trees (TreeList), which its views follow: the chart
// (ChartView), the title (WindowTitle), the status bar, the information panel, the tree box and
// the note of the empty chart. Start-up (frmSplash) applies the settings and shows it; closing
// it saves the settings.
//
// The commands live in groups that make their own actions: TreeCommands, PersonCommands,
// GedcomCommands, ChartViewCommands, ViewOptions (the view options), ChartView (Refresh), the
// information panel (the photo viewer's settings) and WindowCommands (Exit, Help, About).
// The window only places the actions in its menus and toolbar (placeCommands, in their order).
class frmMain : public QMainWindow, public StartupWindow
{
    Q_OBJECT

public:
    explicit frmMain(AppState &state, QWidget *parent = nullptr);
    ~frmMain() override;

    AppState &State() { return m_state; }
    mDatabase &Db() { return m_db; }
    OpenTree &Tree() { return m_tree; }
    TreeList &Trees() { return m_trees; }
    ViewOptions &View() { return m_view; }

    MenuBar &Menus() { return *m_menus; }
    ChangeHistory &History() { return *m_history; }
    StatusBar &Sbar() { return *m_sbar; }
    QToolBar &Tbar() { return *m_tbar; }
    QComboBox &cboTrees() { return *m_cboTrees; }
    TreeChart &VTree() { return *m_vtree; }
    InfoPanel &pnlInfo() { return *m_pnlInfo; }
    // The command groups.
    TreeCommands &Commands() { return *m_commands; }
    PersonCommands &Persons() { return *m_persons; }
    DetailsCommands &Details() { return *m_details; }
    GedcomCommands &Gedcom() { return *m_gedcom; }
    ChartViewCommands &Charts() { return *m_charts; }
    MergeCommands &Merges() { return *m_merges; }
    SharedDatabaseCommands &Shared() { return *m_shared; }
    // Hears of other programs' changes to the database while the window is shown, and brings
    // them into the open tree and the tree list.
    StoreWatcher &Watcher() { return *m_watcher; }
    LiveChanges &Live() { return *m_live; }
    // The help window (made on first use) at a topic.
    void ShowHelp(int topic);
    HelpWindow *Help() const;
    // The toolbar button of a key ("NEWTREE", "INFO", …; exact), or nullptr.
    QAction *ToolButton(const QString &key) const { return m_buttons.value(key); }

    // Sets the run-time caption of the menu's header item ("mnuToolsSep" = "Database").
    void SetMenus();
    // Loads a tree (see LoadTree.h); true when loaded.
    bool LoadTree(const QString &name);
    // Empties the chart and forgets the open tree.
    void CloseTree();

    // Start-up (StartupWindow).
    mDatabase &Store() override { return m_db; }
    void ApplyPlacement(const WindowPlacement &placement) override;
    // Menu check marks, the INFO button and the visibility of toolbar, status bar and
    // information panel from ShowToolBar, ShowStatusBar, ShowInfo.
    void ApplyViewSettings() override;
    void ListTrees() override;
    // Reopens the tree that was open at the last exit, when the tree list has it (exact match).
    void LoadLastOpen() override;
    void ShowStarted() override;
    // Marks a read-only database in the status bar and tells the user what that means.
    void ShowDataNotice() override;

    // The placement of the window as the settings keep it (twips).
    WindowPlacement CurrentPlacement() const;

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
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolBar();
    void buildCentre();
    void buildCommands();
    void placeCommands();
    void observeOpenTree();
    // The status bar's database label and read-only mark, for the database open now.
    void showDatabase();

    AppState &m_state;
    mDatabase m_db;
    OpenTree m_tree;
    TreeList m_trees;
    ViewOptions m_view;
    MenuBar *m_menus = nullptr;
    StatusBar *m_sbar = nullptr;
    EmptyChartHint *m_hint = nullptr; // child of the chart
    QToolBar *m_tbar = nullptr;
    QComboBox *m_cboTrees = nullptr;
    QWidget *m_treeBoxHolder = nullptr;
    TreeChart *m_vtree = nullptr;
    QWidget *m_centre = nullptr;
    InfoPanel *m_pnlInfo = nullptr;
    ChartView *m_chartView = nullptr;
    StoreWatcher *m_watcher = nullptr;
    LiveChanges *m_live = nullptr;
    ChangeHistory *m_history = nullptr;
    TreeCommands *m_commands = nullptr;
    PersonCommands *m_persons = nullptr;
    DetailsCommands *m_details = nullptr;
    GedcomCommands *m_gedcom = nullptr;
    ChartViewCommands *m_charts = nullptr;
    MergeCommands *m_merges = nullptr;
    ReportCommands *m_reports = nullptr; // the Reports menu
    WindowCommands *m_windowCommands = nullptr;
    SharedDatabaseCommands *m_shared = nullptr;
    QHash<QString, QAction *> m_buttons;
    bool m_started = false;
    bool m_unloaded = false;
};
