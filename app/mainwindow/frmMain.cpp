#include "frmMain.h"

#include "AppIcon.h"
#include "AppState.h"
#include "ChartViewCommands.h"
#include "EmptyChartHint.h"
#include "FileHelpers.h"
#include "GedcomCommands.h"
#include "HelpWindow.h"
#include "InfoPanel.h"
#include "MainLayout.h"
#include "MenuBar.h"
#include "MenuShortcuts.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "PersonCommands.h"
#include "ReadOnlyNotice.h"
#include "StatusBar.h"
#include "ToolIcons.h"
#include "TreeBrowser.h"
#include "TreeChart.h"
#include "TreeCommands.h"
#include "frmAbout.h"
#include "mFunctions.h"
#include "modRegistry.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolBar>
#include <QWindow>

#include <cmath>

namespace {

// Menu and toolbar commands share one routine per command: the toolbar key's menu item.
const QHash<QString, QString> &toolbarCommands()
{
    static const QHash<QString, QString> commands = {
        {QStringLiteral("NEWTREE"), QStringLiteral("mnuFileNew")},
        {QStringLiteral("MODTREE"), QStringLiteral("mnuFileModify")},
        {QStringLiteral("REFRESH"), QStringLiteral("mnuToolsRefresh")},
        {QStringLiteral("INFO"), QStringLiteral("mnuViewInfo")},
        {QStringLiteral("NEWPRS"), QStringLiteral("mnuPersonNew")},
        {QStringLiteral("EDITPRS"), QStringLiteral("mnuPersonEdit")},
        {QStringLiteral("DELPRS"), QStringLiteral("mnuPersonDelete")},
        {QStringLiteral("ABOUT"), QStringLiteral("mnuHelpAbout")}};
    return commands;
}

int iconIndex(const char *key)
{
    return int(ToolIconKeys().indexOf(QLatin1String(key)));
}

} // namespace

frmMain::frmMain(AppState &state, QWidget *parent) : QMainWindow(parent), m_state(state)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Velkin Tree"));
    setWindowIcon(AppIcon());
    buildMenu();
    buildToolBar();
    buildCentre();
    m_sbar = new StatusBar(this);
    setStatusBar(m_sbar);
    wireCommands();
    SetMenus();
    new MenuShortcuts(*this, [this] { return m_menus->Items(); });
}

frmMain::~frmMain()
{
    MessageService::setHelpHandler({});
}

void frmMain::buildMenu()
{
    m_menus = new MenuBar(*this);
    MenuBar &m = *m_menus;
    QList<QIcon> images;
    for (const QString &key : ToolIconKeys())
        images << ToolIcon(key);
    m.SetImageList(images);

    m.AddMenu(QStringLiteral("mnuFile"), QStringLiteral("File"));
    m.AddItem(QStringLiteral("mnuFile"), QStringLiteral("mnuFileNew"), QStringLiteral("New Tree"),
              QStringLiteral("F2"), iconIndex("NEWTREE"));
    m.AddItem(QStringLiteral("mnuFile"), QStringLiteral("mnuFileOpen"), QStringLiteral("Open Tree"),
              QStringLiteral("F3"), iconIndex("TREES"));
    m.AddItem(QStringLiteral("mnuFile"), QStringLiteral("mnuFileModify"),
              QStringLiteral("Modify Tree"), QStringLiteral("F4"), iconIndex("MODTREE"));
    m.AddItem(QStringLiteral("mnuFile"), QStringLiteral("mnuFileClose"),
              QStringLiteral("Close Tree"), QStringLiteral("F6"));
    m.AddSeparator(QStringLiteral("mnuFile"), QStringLiteral("mnuFileSep"));
    m.AddItem(QStringLiteral("mnuFile"), QStringLiteral("mnuFileExit"), QStringLiteral("Exit"));

    m.AddMenu(QStringLiteral("mnuView"), QStringLiteral("View"));
    m.AddItem(QStringLiteral("mnuView"), QStringLiteral("mnuViewTbar"), QStringLiteral("Toolbar"),
              QStringLiteral("Ctrl+T"));
    m.AddItem(QStringLiteral("mnuView"), QStringLiteral("mnuViewSBar"), QStringLiteral("StatusBar"),
              QStringLiteral("Ctrl+B"));
    m.AddItem(QStringLiteral("mnuView"), QStringLiteral("mnuViewInfo"), QStringLiteral("Info"),
              QStringLiteral("Ctrl+I"), iconIndex("INFO"));
    for (const char *key : {"mnuViewTbar", "mnuViewSBar", "mnuViewInfo"})
        m.SetChecked(QLatin1String(key), false);

    m.AddMenu(QStringLiteral("mnuPerson"), QStringLiteral("Person"));
    m.AddItem(QStringLiteral("mnuPerson"), QStringLiteral("mnuPersonNew"), QStringLiteral("New"),
              QStringLiteral("Ctrl+N"), iconIndex("NEWPRS"));
    m.AddItem(QStringLiteral("mnuPerson"), QStringLiteral("mnuPersonEdit"), QStringLiteral("Edit"),
              QStringLiteral("Ctrl+E"), iconIndex("EDITPRS"));
    m.AddItem(QStringLiteral("mnuPerson"), QStringLiteral("mnuPersonDelete"),
              QStringLiteral("Delete"), QStringLiteral("Ctrl+D"), iconIndex("DELPRS"));

    m.AddMenu(QStringLiteral("mnuTools"), QStringLiteral("Tools"));
    m.AddItem(QStringLiteral("mnuTools"), QStringLiteral("mnuToolsRefresh"),
              QStringLiteral("Refresh"), QStringLiteral("F5"), iconIndex("REFRESH"));
    m.AddHeader(QStringLiteral("mnuTools"), QStringLiteral("mnuToolsSep"));
    m.AddItem(QStringLiteral("mnuTools"), QStringLiteral("mnuToolsDbComp"),
              QStringLiteral("Compress"));
    m.AddSeparator(QStringLiteral("mnuTools"), QStringLiteral("mnuToolsSep2"));
    m.AddItem(QStringLiteral("mnuTools"), QStringLiteral("mnuToolsPhotoViewer"),
              QStringLiteral("Photo Viewer Settings..."));

    m.AddMenu(QStringLiteral("mnuHelp"), QStringLiteral("Help"));
    m.AddItem(QStringLiteral("mnuHelp"), QStringLiteral("mnuHelpHelp"), QStringLiteral("Help"),
              QStringLiteral("F1"));
    m.AddItem(QStringLiteral("mnuHelp"), QStringLiteral("mnuHelpAbout"), QStringLiteral("About"),
              QString(), iconIndex("ABOUT"));

    connect(m_menus, &MenuBar::Click, this, &frmMain::MenuClick);
}

void frmMain::buildToolBar()
{
    m_tbar = addToolBar(QStringLiteral("Toolbar"));
    m_tbar->setObjectName(QStringLiteral("Tbar"));
    m_tbar->setMovable(false);
    m_tbar->setFloatable(false);
    m_tbar->setIconSize(QSize(24, 24));
    m_tbar->toggleViewAction()->setEnabled(false); // shown and hidden by the View menu only

    auto addButton = [this](const char *key, const char *tip) {
        const QString name = QLatin1String(key);
        QAction *action = m_tbar->addAction(ToolIcon(name), QLatin1String(tip));
        action->setObjectName(QStringLiteral("Tbar_") + name);
        action->setToolTip(QLatin1String(tip));
        m_buttons.insert(name, action);
        connect(action, &QAction::triggered, this, [this, name] { ToolbarClick(name); });
        return action;
    };
    addButton("NEWTREE", "New tree");
    addButton("TREES", "Velkin trees");

    // The tree box sits in its own little holder on the toolbar.
    auto *holder = new QWidget(m_tbar);
    holder->setObjectName(QStringLiteral("Picture1"));
    auto *holderLayout = new QHBoxLayout(holder);
    holderLayout->setContentsMargins(2, 0, 4, 0);
    m_cboTrees = new QComboBox(holder);
    m_cboTrees->setObjectName(QStringLiteral("cboTrees"));
    m_cboTrees->setToolTip(QStringLiteral("Velkin trees"));
    m_cboTrees->setMinimumContentsLength(18);
    m_cboTrees->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    holderLayout->addWidget(m_cboTrees);
    m_tbar->addWidget(holder);
    connect(m_cboTrees, &QComboBox::activated, this, &frmMain::cboTrees_Click);

    addButton("MODTREE", "Modify tree");
    m_tbar->addSeparator();
    addButton("INFO", "Personal info")->setCheckable(true);
    addButton("REFRESH", "Refresh tree");
    m_tbar->addSeparator();
    addButton("NEWPRS", "New person");
    addButton("EDITPRS", "Edit personal info");
    addButton("DELPRS", "Delete person");
    m_tbar->addSeparator();
    addButton("ABOUT", "About");
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

    m_pnlInfo = new InfoPanel(m_state, m_centre);
    m_pnlInfo->setObjectName(QStringLiteral("pnlInfo"));
    m_pnlInfo->hide();
    connect(m_pnlInfo, &HeaderPanel::closeClicked, this, &frmMain::mnuViewInfo_Click);

    setCentralWidget(m_centre);
}

void frmMain::wireCommands()
{
    m_browser = new TreeBrowser(m_tree, *m_vtree, m_db, this);
    m_browser->setTreeBox(m_cboTrees);
    m_commands = new TreeCommands(m_state, m_tree, *m_vtree, m_db, *m_browser, *m_cboTrees, this);
    m_personCommands = new PersonCommands(m_state, m_db, m_tree, *m_vtree, *m_browser, this);
    new GedcomCommands(*this); // adds its File menu items and answers them

    connect(m_vtree, &TreeChart::NodeClick, m_browser, &TreeBrowser::VTree_NodeClick);
    connect(m_vtree, &TreeChart::NodeDblClick, m_personCommands,
            &PersonCommands::VTree_NodeDblClick);

    connect(m_browser, &TreeBrowser::TitleChanged, this, &QWidget::setWindowTitle);
    connect(m_personCommands, &PersonCommands::TitleChanged, this, &QWidget::setWindowTitle);
    connect(m_browser, &TreeBrowser::StatusChanged, this, &frmMain::setStatusTexts);
    connect(m_browser, &TreeBrowser::InfoPanelCleared, m_pnlInfo, &InfoPanel::ClearInfoPanel);
    connect(m_browser, &TreeBrowser::PersonShown, this, [this](const cPersonPtr &person) {
        if (m_state.ShowInfo && person)
            m_pnlInfo->FillInfoPanel(*person);
    });
    connect(m_commands, &TreeCommands::PhotosReleased, m_pnlInfo, &InfoPanel::ClearInfoPanel);
    new ChartViewCommands(m_tree, *m_vtree, *m_menus, this); // find, descendants, export, print

    m_personCommands->setStatusSetter(
        [this](const QString &name, const QString &span) { setStatusTexts(name, span); });
    m_personCommands->setInfoPanel({[this] { return m_state.ShowInfo; },
                                    [this](const cPerson &p) { m_pnlInfo->ShowPersonValues(p); },
                                    [this](bool show) { m_pnlInfo->ShowDeathFields(show); },
                                    [this] { m_pnlInfo->RefreshPhotos(); }});

    // With no tree open the chart shows how to open, make or import one.
    auto *hint = new EmptyChartHint(m_vtree);
    const auto listTrees = [this, hint] {
        QStringList trees;
        for (int i = 0; i < m_cboTrees->count(); ++i)
            trees << m_cboTrees->itemText(i);
        hint->SetTrees(trees);
    };
    QAbstractItemModel *treeList = m_cboTrees->model();
    connect(treeList, &QAbstractItemModel::rowsInserted, hint, listTrees);
    connect(treeList, &QAbstractItemModel::rowsRemoved, hint, listTrees);
    connect(treeList, &QAbstractItemModel::dataChanged, hint, listTrees);
    connect(treeList, &QAbstractItemModel::modelReset, hint, listTrees);
    connect(&m_tree, &OpenTree::CurrentTreeChanged, hint,
            [hint](const QString &name) { hint->SetTreeOpen(!name.isEmpty()); });

    // The Help button of a message box opens the help window at its topic.
    MessageService::setHelpHandler([this](const QString &, int topic) { ShowHelp(topic); });
}

void frmMain::setStatusTexts(const QString &name, const QString &lifeSpan)
{
    m_sbar->SetPanelText(1, name);
    m_sbar->SetPanelText(2, lifeSpan);
    m_sbar->Refresh();
}

HelpWindow *frmMain::Help() const
{
    return m_helpWindow.data();
}

void frmMain::ShowHelp(int topic)
{
    if (!m_helpWindow)
        m_helpWindow = new HelpWindow(HelpWindow::HelpFolderFor(m_state.ProgramPath), this);
    m_helpWindow->ShowTopic(topic);
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
    m_vtree->setGeometry(out.chartLeft / t, (out.chartTop / t) - toolBar, out.chartWidth / t,
                         chartHeight);
}

void frmMain::SetMenus()
{
    m_menus->SetCaption(QStringLiteral("mnuToolsSep"), QStringLiteral("Database"));
}

void frmMain::LoadLastOpen()
{
    if (m_state.LastOpen.isEmpty())
        return;
    for (int i = 0; i < m_cboTrees->count(); ++i) {
        if (m_cboTrees->itemText(i) == m_state.LastOpen) {
            LoadTree(m_state.LastOpen);
            return;
        }
    }
}

bool frmMain::LoadTree(const QString &name)
{
    return m_browser->LoadTree(name);
}

void frmMain::CloseTree()
{
    m_browser->CloseTree();
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
    m_menus->SetChecked(QStringLiteral("mnuViewTbar"), m_state.ShowToolBar);
    m_menus->SetChecked(QStringLiteral("mnuViewSbar"), m_state.ShowStatusBar);
    m_menus->SetChecked(QStringLiteral("mnuViewInfo"), m_state.ShowInfo);
    if (QAction *info = ToolButton(QStringLiteral("INFO")))
        info->setChecked(m_state.ShowInfo);
    m_tbar->setVisible(m_state.ShowToolBar);
    m_sbar->setVisible(m_state.ShowStatusBar);
    m_pnlInfo->setVisible(m_state.ShowInfo);
    Form_Resize();
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
    m_sbar->SetReadOnly(m_db.IsReadOnly(), QStringLiteral("The database %1 is open read-only.")
                                               .arg(QDir::toNativeSeparators(m_db.DatabasePath())));
    ShowReadOnlyNotice(m_db, this);
}

void frmMain::Form_QueryUnload()
{
    if (m_helpWindow)
        m_helpWindow->close();
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

void frmMain::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload();
    Form_Unload();
    event->accept();
}

void frmMain::MenuClick(const QString &key)
{
    using Handler = void (frmMain::*)();
    static const QHash<QString, Handler> handlers = {
        {QStringLiteral("mnufilenew"), &frmMain::mnuFileNew_Click},
        {QStringLiteral("mnufileopen"), &frmMain::mnuFileOpen_Click},
        {QStringLiteral("mnufilemodify"), &frmMain::mnuFileModify_Click},
        {QStringLiteral("mnufileclose"), &frmMain::mnuFileClose_Click},
        {QStringLiteral("mnufileexit"), &frmMain::mnuFileExit_Click},
        {QStringLiteral("mnuviewtbar"), &frmMain::mnuViewTbar_Click},
        {QStringLiteral("mnuviewsbar"), &frmMain::mnuViewSBar_Click},
        {QStringLiteral("mnuviewinfo"), &frmMain::mnuViewInfo_Click},
        {QStringLiteral("mnupersonnew"), &frmMain::mnuPersonNew_Click},
        {QStringLiteral("mnupersonedit"), &frmMain::mnuPersonEdit_Click},
        {QStringLiteral("mnupersondelete"), &frmMain::mnuPersonDelete_Click},
        {QStringLiteral("mnutoolsrefresh"), &frmMain::mnuToolsRefresh_Click},
        {QStringLiteral("mnutoolsdbcomp"), &frmMain::mnuToolsDbComp_Click},
        {QStringLiteral("mnutoolsphotoviewer"), &frmMain::mnuToolsPhotoViewer_Click},
        {QStringLiteral("mnuhelphelp"), &frmMain::mnuHelpHelp_Click},
        {QStringLiteral("mnuhelpabout"), &frmMain::mnuHelpAbout_Click}};
    if (const Handler handler = handlers.value(key.toLower()))
        (this->*handler)();
}

void frmMain::ToolbarClick(const QString &key)
{
    const QString item = toolbarCommands().value(key);
    if (!item.isEmpty())
        MenuClick(item);
}

void frmMain::cboTrees_Click(int index)
{
    if (index >= 0)
        m_commands->cboTrees_Click(index);
}

void frmMain::mnuFileNew_Click()
{
    m_commands->mnuFileNew();
}

void frmMain::mnuFileOpen_Click()
{
    m_commands->mnuFileOpen();
}

void frmMain::mnuFileModify_Click()
{
    m_commands->mnuFileModify();
}

void frmMain::mnuFileClose_Click()
{
    m_commands->mnuFileClose();
}

void frmMain::mnuFileExit_Click()
{
    UnloadAllForms();
}

void frmMain::mnuViewTbar_Click()
{
    // The check mark may already have toggled itself; the setting is the one truth.
    m_state.ShowToolBar = !m_state.ShowToolBar;
    ApplyViewSettings();
}

void frmMain::mnuViewSBar_Click()
{
    m_state.ShowStatusBar = !m_state.ShowStatusBar;
    ApplyViewSettings();
}

void frmMain::mnuViewInfo_Click()
{
    m_state.ShowInfo = !m_state.ShowInfo;
    if (m_state.ShowInfo && !m_tree.SelectedKey().isEmpty()) {
        if (const cPersonPtr person = m_tree.People().Item(m_tree.SelectedKey()))
            m_pnlInfo->FillInfoPanel(*person);
    }
    ApplyViewSettings();
}

void frmMain::mnuPersonNew_Click()
{
    m_personCommands->mnuPersonNew();
}

void frmMain::mnuPersonEdit_Click()
{
    m_personCommands->mnuPersonEdit();
}

void frmMain::mnuPersonDelete_Click()
{
    m_commands->mnuPersonDelete();
}

void frmMain::mnuToolsRefresh_Click()
{
    m_commands->mnuToolsRefresh();
}

void frmMain::mnuToolsDbComp_Click()
{
    m_commands->mnuToolsDbComp();
}

// The property pages of the information panel's photo viewer; what is applied is kept for the
// next start.
void frmMain::mnuToolsPhotoViewer_Click()
{
    m_pnlInfo->ShowViewerProperties();
}

void frmMain::mnuHelpHelp_Click()
{
    ShowHelp(HelpWindow::kTopicContents);
}

void frmMain::mnuHelpAbout_Click()
{
    frmAbout about(this);
    // Where the trees are kept, below the addresses.
    if (auto *rows = about.findChild<QGridLayout *>()) {
        const int row = rows->rowCount();
        auto *caption = new QLabel(QStringLiteral("Data :"), &about);
        caption->setObjectName(QStringLiteral("lblDataCaption"));
        auto *folder = new QLabel(DataFolderText(m_db), &about);
        folder->setObjectName(QStringLiteral("lblData"));
        folder->setTextFormat(Qt::PlainText);
        rows->addWidget(caption, row, 0);
        rows->addWidget(folder, row, 1);
    }
    ModalSeam::exec(about);
}
