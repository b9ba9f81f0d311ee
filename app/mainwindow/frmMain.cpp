#include "frmMain.h"

#include "AppIcon.h"
#include "AppState.h"
#include "AsideFolders.h"
#include "ChangeHistory.h"
#include "ChartView.h"
#include "ChartViewCommands.h"
#include "DetailsCommands.h"
#include "EmptyChartHint.h"
#include "GedcomCommands.h"
#include "HistoryView.h"
#include "InfoPanel.h"
#include "LiveChanges.h"
#include "LoadTree.h"
#include "MainLayout.h"
#include "MenuBar.h"
#include "MenuShortcuts.h"
#include "MergeCommands.h"
#include "PersonCommands.h"
#include "ReadOnlyNotice.h"
#include "ReportCommands.h"
#include "SharedDatabaseCommands.h"
#include "StatusBar.h"
#include "StoreModel.h"
#include "StoreWatcher.h"
#include "TreeChart.h"
#include "TreeCommands.h"
#include "WindowCommands.h"
#include "WindowTitle.h"
#include "mFunctions.h"
#include "modRegistry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QToolBar>

#include <cmath>

frmMain::frmMain(AppState &state, QWidget *parent)
    : QMainWindow(parent), m_state(state), m_tree(m_db), m_trees(m_db), m_view(state)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Velkin Tree"));
    setWindowIcon(AppIcon());
    m_menus = new MenuBar(*this);
    buildToolBar();
    buildCentre();
    m_sbar = new StatusBar(this);
    setStatusBar(m_sbar);
    buildCommands();
    placeCommands();
    observeOpenTree();
    SetMenus();
    new MenuShortcuts(*this, [this] { return m_menus->Items(); });
}

frmMain::~frmMain()
{
    Genealogy::PrivacyChoices::setStore({}); // the settings go with the window
}

void frmMain::buildToolBar()
{
    m_tbar = addToolBar(QStringLiteral("Toolbar"));
    m_tbar->setObjectName(QStringLiteral("Tbar"));
    m_tbar->setMovable(false);
    m_tbar->setFloatable(false);
    m_tbar->setIconSize(QSize(24, 24));
    m_tbar->toggleViewAction()->setEnabled(false); // shown and hidden by the View menu only

    // The tree box sits in its own little holder on the toolbar.
    m_treeBoxHolder = new QWidget(m_tbar);
    m_treeBoxHolder->setObjectName(QStringLiteral("Picture1"));
    auto *holderLayout = new QHBoxLayout(m_treeBoxHolder);
    holderLayout->setContentsMargins(2, 0, 4, 0);
    m_cboTrees = new QComboBox(m_treeBoxHolder);
    m_cboTrees->setObjectName(QStringLiteral("cboTrees"));
    m_cboTrees->setToolTip(QStringLiteral("Velkin trees"));
    m_cboTrees->setMinimumContentsLength(18);
    m_cboTrees->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cboTrees->setModel(&m_trees);
    m_cboTrees->setCurrentIndex(-1);
    holderLayout->addWidget(m_cboTrees);
}

void frmMain::buildCentre()
{
    // The chart and the information panel are placed by Form_Resize, not by a layout: hiding
    // a bar or the panel re-lays them out by the window's own rule.
    m_centre = new QWidget(this);
    m_centre->setObjectName(QStringLiteral("Centre"));
    m_centre->installEventFilter(this);

    m_vtree = new TreeChart(m_centre);
    m_vtree->setObjectName(QStringLiteral("VTree"));
    ApplyMainWindowDesign(*m_vtree);
    m_chartView = new ChartView(m_tree, *m_vtree);

    m_pnlInfo = new InfoPanel(m_state, m_centre);
    m_pnlInfo->setObjectName(QStringLiteral("pnlInfo"));
    m_pnlInfo->hide();

    setCentralWidget(m_centre);
}

void frmMain::buildCommands()
{
    m_history = new ChangeHistory(m_tree, m_trees, this); // undo and redo of the changes
    m_history->SetWindow(this);
    AsideFolders::removeStale(m_state.DataPath); // left by a program that ended abruptly
    m_commands = new TreeCommands(m_state, m_tree, m_trees, *m_history, this);
    m_persons = new PersonCommands(m_state, m_tree, *m_history, this);
    m_details = new DetailsCommands(m_state, m_tree, *m_history, this);
    m_persons->SetDetailsOpener([this](const QString &key) { return m_details->ShowDetails(key); });
    m_gedcom = new GedcomCommands(m_tree, m_trees, *m_history, this);
    m_charts = new ChartViewCommands(m_tree, *m_vtree, this); // find, descendants, export, print
    m_merges = new MergeCommands(m_tree, *m_history, this);   // find duplicates, merge
    m_reports = new ReportCommands(m_tree, this);             // the Reports menu
    if (!m_state.UserSettingsFile.isEmpty()) // the export dialogs' privacy choices, kept
        Genealogy::PrivacyChoices::setStore(AppSettings::PrivacyStore(m_state));
    m_windowCommands = new WindowCommands(m_state, m_db, this); // exit, help, about
    m_shared =
        new SharedDatabaseCommands(m_state, m_db, m_tree, *m_commands, m_trees, *m_history, this);
    connect(m_shared, &SharedDatabaseCommands::DatabaseChanged, this, &frmMain::showDatabase);
}

// Where every command sits, in the order the user sees them.
void frmMain::placeCommands()
{
    MenuBar &m = *m_menus;
    const QString file = QStringLiteral("mnuFile");
    m.AddMenu(file, QStringLiteral("File"));
    m.Place(file, m_commands->NewTreeCommand());
    m.Place(file, m_commands->OpenTreeCommand());
    m.Place(file, m_commands->ModifyTreeCommand());
    m.Place(file, m_commands->CloseTreeCommand());
    m.AddSeparator(file, QStringLiteral("mnuFileSharedSep"));
    m.Place(file, m_shared->ConnectCommand());
    m.Place(file, m_shared->LocalCommand());
    m.Place(file, m_shared->CopyTreeCommand());
    m.AddSeparator(file, QStringLiteral("mnuFileGedcomSep"));
    m.Place(file, m_gedcom->ImportCommand());
    m.Place(file, m_gedcom->ExportCommand());
    m.Place(file, m_gedcom->UpdateCommand());
    m.AddSeparator(file, QStringLiteral("mnuFileSep"));
    m.Place(file, m_charts->ExportCommand());
    m.Place(file, m_charts->PrintCommand());
    m.Place(file, m_charts->PrintPreviewCommand());
    m.AddSeparator(file, QStringLiteral("mnuFileChartSep"));
    m.Place(file, m_windowCommands->ExitCommand());

    const QString edit = QStringLiteral("mnuEdit");
    m.AddMenu(edit, QStringLiteral("Edit"));
    m.Place(edit, m_history->UndoCommand());
    m.Place(edit, m_history->RedoCommand());

    const QString view = QStringLiteral("mnuView");
    m.AddMenu(view, QStringLiteral("View"));
    m.Place(view, m_view.ToolBarCommand());
    m.Place(view, m_view.StatusBarCommand());
    m.Place(view, m_view.InfoCommand());
    m.AddSeparator(view, QStringLiteral("mnuViewZoomSep"));
    m.Place(view, m_charts->ZoomInCommand());
    m.Place(view, m_charts->ZoomOutCommand());
    m.Place(view, m_charts->ZoomResetCommand());
    m.AddSeparator(view, QStringLiteral("mnuViewChartSep"));
    m.Place(view, m_charts->DescendantsCommand());
    m.Place(view, m_charts->AncestorsCommand());
    m.Place(view, m_charts->FanCommand());
    m.Place(view, m_charts->HourglassCommand());

    const QString person = QStringLiteral("mnuPerson");
    m.AddMenu(person, QStringLiteral("Person"));
    m.Place(person, m_persons->NewCommand());
    m.Place(person, m_persons->EditCommand());
    m.Place(person, m_persons->DeleteCommand());
    m.Place(person, m_details->DetailsCommand());
    m.AddSeparator(person, QStringLiteral("mnuPersonFindSep"));
    m.Place(person, m_charts->FindCommand());
    m.Place(person, m_charts->RelationshipCommand());

    const QString reports = QStringLiteral("mnuReports");
    m.AddMenu(reports, QStringLiteral("Reports"));
    m.Place(reports, m_reports->FamilyCommand());
    m.Place(reports, m_reports->DescendantsCommand());
    m.Place(reports, m_reports->AncestorsCommand());

    const QString tools = QStringLiteral("mnuTools");
    m.AddMenu(tools, QStringLiteral("Tools"));
    m.Place(tools, m_chartView->RefreshCommand());
    m.Place(tools, m_merges->FindDuplicatesCommand());
    m.AddHeader(tools, QStringLiteral("mnuToolsSep"));
    m.Place(tools, m_commands->CompressCommand());
    m.Place(tools, m_details->SourcesCommand());
    m.AddSeparator(tools, QStringLiteral("mnuToolsSep2"));
    m.Place(tools, m_pnlInfo->ViewerSettingsCommand());

    const QString help = QStringLiteral("mnuHelp");
    m.AddMenu(help, QStringLiteral("Help"));
    m.Place(help, m_windowCommands->HelpCommand());
    m.Place(help, m_windowCommands->AboutCommand());

    // The toolbar: each button by its key, the tree box after "TREES".
    const auto button = [this](const char *key, QAction *action) {
        m_tbar->addAction(action);
        m_buttons.insert(QLatin1String(key), action);
    };
    button("NEWTREE", m_commands->NewTreeCommand());
    button("TREES", m_commands->TreesButton());
    m_tbar->addWidget(m_treeBoxHolder);
    button("MODTREE", m_commands->ModifyTreeCommand());
    m_tbar->addSeparator();
    button("INFO", m_view.InfoCommand());
    button("REFRESH", m_chartView->RefreshCommand());
    m_tbar->addSeparator();
    button("NEWPRS", m_persons->NewCommand());
    button("EDITPRS", m_persons->EditCommand());
    button("DELPRS", m_persons->DeleteCommand());
    m_tbar->addSeparator();
    button("ABOUT", m_windowCommands->AboutCommand());
}

// The views of the open tree and of the view options, and what the user does to them.
void frmMain::observeOpenTree()
{
    // The chart (ChartView, made with it) was first; then the title, the status bar and the
    // information panel, in that order.
    new WindowTitle(*this, m_tree);
    m_sbar->Follow(m_tree);
    m_pnlInfo->Follow(m_tree, m_view);
    m_pnlInfo->SetSliceSource(StoreSlices(m_db));
    m_pnlInfo->AddPage(tr("History"), new HistoryView(m_tree, *m_history));
    m_charts->SetKinshipReaders([this](const QString &tree) { return StoreFamilies(m_db, tree); },
                                [this](const QString &tree) { return StoreSexes(m_db, tree); });
    // A person followed on the panel is selected as Find selects it; the keyboard stays on the
    // panel, so that the next link or Alt+Left is at hand.
    connect(m_pnlInfo, &InfoPanel::personActivated, this, [this](const QString &key) {
        QWidget *focused = QApplication::focusWidget();
        m_charts->OpenPerson(key);
        if (focused && m_pnlInfo->isAncestorOf(focused))
            focused->setFocus(Qt::OtherFocusReason);
    });
    // The panel opens the edit window as Person > Edit does (a person outside the line has no
    // box to double-click).
    connect(m_pnlInfo, &InfoPanel::editRequested, m_persons->EditCommand(), &QAction::trigger);
    connect(m_pnlInfo, &InfoPanel::detailsRequested, m_details->DetailsCommand(),
            &QAction::trigger);
    connect(m_vtree, &TreeChart::NodeDblClick, m_persons, &PersonCommands::VTree_NodeDblClick);

    connect(&m_view, &ViewOptions::ShowToolBarChanged, this, [this](bool show) {
        m_tbar->setVisible(show);
        Form_Resize();
    });
    connect(&m_view, &ViewOptions::ShowStatusBarChanged, this, [this](bool show) {
        m_sbar->setVisible(show);
        Form_Resize();
    });
    connect(&m_view, &ViewOptions::ShowInfoChanged, this, [this](bool show) {
        m_pnlInfo->setVisible(show);
        Form_Resize();
    });
    connect(m_pnlInfo, &HeaderPanel::closeClicked, m_view.InfoCommand(), &QAction::trigger);

    // Other users' changes reach the views through the open tree and the tree list.
    m_watcher = new StoreWatcher(m_db, this);
    m_live = new LiveChanges(m_tree, m_trees, *m_watcher, this, this);

    // The tree box shows the tree list and its chosen entry; choosing an entry loads it.
    connect(&m_trees, &TreeList::ChosenChanged, m_cboTrees, &QComboBox::setCurrentIndex);
    connect(m_cboTrees, &QComboBox::activated, m_commands, &TreeCommands::cboTrees_Click);

    // With no tree open the chart shows how to open, make or import one.
    auto *hint = new EmptyChartHint(m_vtree);
    m_hint = hint;
    const auto listTrees = [this, hint] { hint->SetTrees(m_trees.Names()); };
    connect(&m_trees, &QAbstractItemModel::rowsInserted, hint, listTrees);
    connect(&m_trees, &QAbstractItemModel::rowsRemoved, hint, listTrees);
    connect(&m_trees, &QAbstractItemModel::dataChanged, hint, listTrees);
    connect(&m_trees, &QAbstractItemModel::modelReset, hint, listTrees);
    connect(&m_tree, &OpenTree::CurrentTreeChanged, hint,
            [hint](const QString &name) { hint->SetTreeOpen(!name.isEmpty()); });
}

HelpWindow *frmMain::Help() const
{
    return m_windowCommands->Help();
}

void frmMain::ShowHelp(int topic)
{
    m_windowCommands->ShowHelp(topic);
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_centre && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::Form_Resize()
{
    if (isMinimized() || !m_centre)
        return;
    // The rule works in twips on the window's inner area (toolbar, centre and status bar);
    // the toolbar and status bar are placed by the window itself, so the chart's top inside
    // the centre is the rule's top less the toolbar.
    const int t = m_state.TwipsPerPixel > 0 ? m_state.TwipsPerPixel : 15;
    const int toolBar = m_state.ShowToolBar && m_tbar->isVisible() ? m_tbar->height() : 0;
    const int statusBar = m_state.ShowStatusBar && m_sbar->isVisible() ? m_sbar->height() : 0;
    MainLayoutInput in;
    in.twipsPerPixel = t;
    in.innerWidth = m_centre->width() * t;
    in.innerHeight = (toolBar + m_centre->height() + statusBar) * t;
    in.showToolBar = m_state.ShowToolBar;
    in.showStatusBar = m_state.ShowStatusBar;
    in.showInfo = m_state.ShowInfo;
    in.toolBarHeight = toolBar * t;
    in.statusBarHeight = statusBar * t;
    in.infoWidth = m_pnlInfo->width() * t;
    in.notesFrameTop = m_pnlInfo->NotesFrameTop() * t;
    in.notesBoxTop = m_pnlInfo->NotesBoxTop() * t;
    MainLayoutResult out = ComputeMainLayout(in);
    const int chartHeight = out.chartHeight / t;
    if (out.infoVisible) {
        const int panelHeight = chartHeight + 1;
        m_pnlInfo->setGeometry(m_centre->width() - m_pnlInfo->width(), 0, m_pnlInfo->width(),
                               panelHeight);
        in.infoHeight = panelHeight * t;
        out = ComputeMainLayout(in);
        if (out.stretchNotes)
            m_pnlInfo->StretchNotes(out.notesFrameHeight / t, out.notesBoxHeight / t);
        m_pnlInfo->show();
    } else {
        m_pnlInfo->hide();
    }
    // A chart made narrower or lower (the information panel opening, the window made smaller)
    // keeps the selected box in view when it was in view before.
    const cNodePtr selected = m_vtree->SelectedNode();
    const QSize before = m_vtree->size();
    const bool selectedShown = selected && m_vtree->isVisible() &&
                               m_vtree->VisibleChartRect().intersects(
                                   QRect(QPoint(selected->Left(), selected->Top()),
                                         QPoint(selected->Right(), selected->Bottom())));
    m_vtree->setGeometry(out.chartLeft / t, (out.chartTop / t) - toolBar, out.chartWidth / t,
                         chartHeight);
    if (selectedShown && (m_vtree->width() < before.width() || m_vtree->height() < before.height()))
        m_vtree->ScrollIntoView(*selected);
}

void frmMain::SetMenus()
{
    m_menus->SetCaption(QStringLiteral("mnuToolsSep"), QStringLiteral("Database"));
}

void frmMain::ListTrees()
{
    m_trees.Refill();
}

void frmMain::LoadLastOpen()
{
    if (!m_state.LastOpen.isEmpty() && m_trees.Find(m_state.LastOpen) >= 0)
        LoadTree(m_state.LastOpen);
}

bool frmMain::LoadTree(const QString &name)
{
    return ::LoadTree(m_tree, &m_trees, name, this);
}

void frmMain::CloseTree()
{
    m_commands->CloseTree();
}

void frmMain::ApplyPlacement(const WindowPlacement &placement)
{
    const int twips = m_state.TwipsPerPixel > 0 ? m_state.TwipsPerPixel : 15;
    move(placement.Left / twips, placement.Top / twips);
    resize(placement.Width / twips, placement.Height / twips);
    switch (placement.State) {
    case 1:
        setWindowState(Qt::WindowMinimized);
        break;
    case 2:
        setWindowState(Qt::WindowMaximized);
        break;
    default:
        setWindowState(Qt::WindowNoState);
        break;
    }
}

void frmMain::ApplyViewSettings()
{
    m_view.Apply();
}

void frmMain::ShowStarted()
{
    SetStarted(true);
    show();
}

WindowPlacement frmMain::CurrentPlacement() const
{
    const int twips = m_state.TwipsPerPixel;
    WindowPlacement placement;
    placement.Left = int(std::lround(double(pos().x()) * twips));
    placement.Top = int(std::lround(double(pos().y()) * twips));
    placement.Width = int(std::lround(double(width()) * twips));
    placement.Height = int(std::lround(double(height()) * twips));
    placement.State = isMinimized() ? 1 : (isMaximized() ? 2 : 0);
    return placement;
}

void frmMain::ShowDataNotice()
{
    showDatabase();
    if (!m_db.OpenNotice().isEmpty())
        ShowMessage(m_db.OpenNotice(),
                    m_db.IsShared() ? QStringLiteral("Shared Database")
                                    : QStringLiteral("Read-only database"),
                    MsgIcon::Information, MsgButtons::OkOnly, this);
    ShowReadOnlyNotice(m_db, this);
}

void frmMain::showDatabase()
{
    m_sbar->SetReadOnly(m_db.IsReadOnly(),
                        QStringLiteral("The database %1 is open read-only.")
                            .arg(QDir::toNativeSeparators(m_db.DatabaseDisplayName())));
    m_sbar->SetDatabase(SharedDatabaseCommands::DatabaseText(m_db),
                        SharedDatabaseCommands::DatabaseTip(m_db));
    if (m_hint)
        m_hint->SetReadOnly(m_db.IsDatabaseReadOnly());
}

void frmMain::Form_QueryUnload()
{
    m_windowCommands->CloseHelp();
}

void frmMain::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    // A start-up that never showed the window leaves the saved settings alone.
    if (m_started) {
        modRegistry registry = AppSettings::Registry(m_state);
        const WindowPlacement placement = CurrentPlacement();
        AppSettings::Save(registry, m_state, m_tree.CurrentTree(),
                          isMinimized() ? nullptr : &placement);
        m_state.Settings.Sync();
    }
    m_db.CloseDatabase();
    UnloadAllForms();
}

void frmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_watcher->Start();
}

void frmMain::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    m_watcher->Stop();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload();
    Form_Unload();
    event->accept();
}
