#include "frmMain.h"

#include "AppState.h"
#include "HeaderPanel.h"
#include "MenuBar.h"
#include "StatusBar.h"
#include "ToolIcons.h"
#include "TreeChart.h"
#include "mFunctions.h"
#include "modRegistry.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
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
    setWindowIcon(ToolIcon(QStringLiteral("TREES")));
    buildMenu();
    buildToolBar();
    buildCentre();
    m_sbar = new StatusBar(this);
    setStatusBar(m_sbar);
    SetMenus();
}

frmMain::~frmMain() = default;

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
    auto *centre = new QWidget(this);
    centre->setObjectName(QStringLiteral("Centre"));
    auto *layout = new QHBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_vtree = new TreeChart(centre);
    m_vtree->setObjectName(QStringLiteral("VTree"));
    layout->addWidget(m_vtree, 1);

    // The information panel; its fields and photos are filled by the person commands.
    m_pnlInfo = new HeaderPanel(QStringLiteral("Personal info"), centre);
    m_pnlInfo->setObjectName(QStringLiteral("pnlInfo"));
    m_pnlInfo->setFixedWidth(280);
    m_pnlInfo->hide();
    layout->addWidget(m_pnlInfo);
    connect(m_pnlInfo, &HeaderPanel::closeClicked, this, &frmMain::mnuViewInfo_Click);

    setCentralWidget(centre);
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
    // The chart is filled by the tree-loading code; until then the tree only becomes the open
    // one and is chosen in the tree box.
    m_state.CurrentTree = name;
    m_cboTrees->setCurrentIndex(
        m_cboTrees->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
    return true;
}

void frmMain::CloseTree()
{
    if (m_state.CurrentTree.isEmpty())
        return;
    m_vtree->Clear();
    m_state.CurrentTree.clear();
    m_vtree->Refresh();
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
        modRegistry registry(m_state.UserSettingsFile, m_state.MachineSettingsFile);
        const WindowPlacement placement = CurrentPlacement();
        AppSettings::Save(registry, m_state, isMinimized() ? nullptr : &placement);
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
    const QString name = index >= 0 ? m_cboTrees->itemText(index) : QString();
    if (!name.isEmpty() && name != m_state.CurrentTree)
        LoadTree(name);
}

void frmMain::mnuFileNew_Click() {}
void frmMain::mnuFileOpen_Click() {}
void frmMain::mnuFileModify_Click() {}

void frmMain::mnuFileClose_Click()
{
    CloseTree();
    m_cboTrees->setCurrentIndex(-1);
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
    ApplyViewSettings();
}

void frmMain::mnuPersonNew_Click() {}
void frmMain::mnuPersonEdit_Click() {}
void frmMain::mnuPersonDelete_Click() {}

void frmMain::mnuToolsRefresh_Click()
{
    if (m_state.CurrentTree.isEmpty())
        return;
    m_vtree->Refresh();
}

void frmMain::mnuToolsDbComp_Click()
{
    m_db.CompressDatabase(this);
}

void frmMain::mnuHelpHelp_Click() {}
void frmMain::mnuHelpAbout_Click() {}
