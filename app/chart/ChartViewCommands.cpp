#include "ChartViewCommands.h"

#include "AncestorChain.h"
#include "ChartCommands.h"
#include "ChartPath.h"
#include "ChartRenderSource.h"
#include "DescendantChartWindow.h"
#include "FindPersonDialog.h"
#include "LifeSpan.h"
#include "MenuBar.h"
#include "MessageService.h"
#include "OpenTree.h"
#include "PersonFinder.h"
#include "TreeChart.h"
#include "WaitCursor.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QWidget>

namespace {

// Adds an item (or a separator, with an empty caption) to a menu just before another item.
QAction *insertBefore(MenuBar &menus, const QString &menu, const QString &before,
                      const QString &key, const QString &caption, const QString &shortcut = {})
{
    QAction *action = caption.isEmpty() ? menus.AddSeparator(menu, key)
                                        : menus.AddItem(menu, key, caption, shortcut);
    QMenu *parent = menus.Menu(menu);
    QAction *next = menus.Item(before);
    if (action && parent && next && parent->actions().contains(next)) {
        parent->removeAction(action);
        parent->insertAction(next, action);
    }
    return action;
}

} // namespace

ChartViewCommands::ChartViewCommands(OpenTree &tree, TreeChart &chart, MenuBar &menus,
                                     QWidget *window)
    : QObject(window), m_tree(tree), m_chart(chart), m_menus(menus), m_window(window)
{
    addMenuItems();
    connect(&m_menus, &MenuBar::Click, this, &ChartViewCommands::menuClick);

    connect(&m_tree, &OpenTree::PeopleReplaced, this, [this] {
        closeDescendantWindows();
        m_toldBreaks.clear();
        forgetIndex();
    });
    for (auto signal : {&OpenTree::PersonAdded, &OpenTree::PersonChanged, &OpenTree::PersonRemoved})
        connect(&m_tree, signal, this, [this] { forgetIndex(); });
    updateEnabled();
}

ChartViewCommands::~ChartViewCommands() = default;

void ChartViewCommands::addMenuItems()
{
    const QString exitKey = QStringLiteral("mnuFileExit");
    const QString file = QStringLiteral("mnuFile");
    insertBefore(m_menus, file, exitKey, ExportKey(), QStringLiteral("Export Chart..."),
                 QStringLiteral("Ctrl+Shift+X"));
    insertBefore(m_menus, file, exitKey, PrintKey(), QStringLiteral("Print..."),
                 QStringLiteral("Ctrl+P"));
    insertBefore(m_menus, file, exitKey, PrintPreviewKey(), QStringLiteral("Print Preview..."));
    insertBefore(m_menus, file, exitKey, QStringLiteral("mnuFileChartSep"), QString());

    m_menus.AddSeparator(QStringLiteral("mnuView"), QStringLiteral("mnuViewChartSep"));
    m_menus.AddItem(QStringLiteral("mnuView"), DescendantsKey(), QStringLiteral("Descendant Chart"),
                    QStringLiteral("Ctrl+Shift+D"));

    m_menus.AddSeparator(QStringLiteral("mnuPerson"), QStringLiteral("mnuPersonFindSep"));
    m_menus.AddItem(QStringLiteral("mnuPerson"), FindKey(), QStringLiteral("Find Person..."),
                    QStringLiteral("Ctrl+F"));
}

void ChartViewCommands::menuClick(const QString &key)
{
    using Command = void (ChartViewCommands::*)();
    static const QHash<QString, Command> commands = {
        {FindKey().toLower(), &ChartViewCommands::FindPerson},
        {DescendantsKey().toLower(), &ChartViewCommands::ShowDescendants},
        {ExportKey().toLower(), &ChartViewCommands::ExportChart},
        {PrintKey().toLower(), &ChartViewCommands::PrintChart},
        {PrintPreviewKey().toLower(), &ChartViewCommands::PrintPreviewChart}};
    if (const Command command = commands.value(key.toLower()))
        (this->*command)();
}

bool ChartViewCommands::hasPersons() const
{
    return m_tree.IsOpen() && m_tree.People().Count() > 0;
}

void ChartViewCommands::updateEnabled()
{
    const bool enabled = hasPersons();
    for (const QString &key :
         {FindKey(), DescendantsKey(), ExportKey(), PrintKey(), PrintPreviewKey()})
        m_menus.SetEnabled(key, enabled);
}

void ChartViewCommands::forgetIndex()
{
    m_finder.reset();
    updateEnabled();
}

QString ChartViewCommands::YearsOf(const cPerson &person)
{
    return LifeSpan::YearsText(person.Bdate(), person.Ddate());
}

void ChartViewCommands::FindPerson()
{
    if (!hasPersons())
        return;
    if (!m_finder) {
        WaitCursor busy;
        m_finder = std::make_unique<PersonFinder>();
        m_finder->Build(m_tree.People());
    }
    const QString key = FindPersonDialog::Ask(m_window, m_tree.People(), *m_finder, &YearsOf);
    if (!key.isEmpty())
        OpenPerson(key);
}

cNodePtr ChartViewCommands::OpenPerson(const QString &key, bool tellEveryTime)
{
    const cPeople &people = m_tree.People();
    const AncestorChain chain = AncestorChain::Of(people, key);
    if (chain.keys.isEmpty() || m_chart.Levels().Count() == 0)
        return nullptr;
    cNodePtr node;
    {
        WaitCursor busy;
        node = OpenChainInChart(m_chart, people, chain);
    }
    m_chart.setFocus(Qt::OtherFocusReason);
    if (!chain.reachesRoot()) {
        const QString text = chain.BreakText(people);
        const QString told = chain.topmost() + QLatin1Char('\n') + chain.brokenParentKey;
        if (tellEveryTime || !m_toldBreaks.contains(told)) {
            m_toldBreaks.insert(told);
            ShowMessage(text, FindTitle(), MsgIcon::Information, MsgButtons::OkOnly, m_window);
        }
    }
    return node;
}

void ChartViewCommands::ShowDescendants()
{
    if (!hasPersons())
        return;
    const cPersonPtr selected =
        m_tree.SelectedKey().isEmpty() ? nullptr : m_tree.People().Item(m_tree.SelectedKey());
    const ChildrenOf children =
        [this](const QString &parentKey) -> const std::vector<cPersonPtr> & {
        return m_tree.Children(parentKey);
    };
    auto *window =
        new DescendantChartWindow(m_tree.People(), children, selected ? selected->Key() : QString(),
                                  m_chart.Settings(), m_chart.Font(), &YearsOf, m_window);
    // A box clicked there opens the person here, as finding it does; a break in its line is
    // told once, not at every click.
    connect(window, &DescendantChartWindow::PersonClicked, this,
            [this](const QString &key) { OpenPerson(key, false); });
    m_windows.removeAll(nullptr);
    m_windows.append(window);
    window->show();
    window->raise();
    window->activateWindow();
}

QList<DescendantChartWindow *> ChartViewCommands::DescendantWindows() const
{
    QList<DescendantChartWindow *> open;
    for (const QPointer<DescendantChartWindow> &window : m_windows) {
        if (window && window->isVisible())
            open.append(window);
    }
    return open;
}

void ChartViewCommands::closeDescendantWindows()
{
    // The windows read the persons of the tree that is going: they close at once.
    const QList<QPointer<DescendantChartWindow>> windows = std::exchange(m_windows, {});
    for (const QPointer<DescendantChartWindow> &window : windows) {
        if (window)
            window->close(); // and deletes itself
    }
}

QString ChartViewCommands::chartTitle() const
{
    QString title = m_tree.CurrentTree();
    if (const cPersonPtr person = m_tree.People().Item(m_tree.SelectedKey()))
        title += QStringLiteral(" - ") + LifeSpan::NameText(person->Fname(), person->Sname());
    return title.trimmed();
}

QString ChartViewCommands::suggestedFileName() const
{
    QString name = m_tree.CurrentTree();
    // Characters that no file name may hold on the common systems.
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("_"));
    return (name.trimmed().isEmpty() ? QStringLiteral("Chart") : name.trimmed()) +
           QStringLiteral(".pdf");
}

void ChartViewCommands::ExportChart()
{
    if (!hasPersons())
        return;
    ChartCommands::Export(m_window, TreeChartSource(m_chart, chartTitle()), suggestedFileName());
}

void ChartViewCommands::PrintChart()
{
    if (!hasPersons())
        return;
    ChartCommands::Print(m_window, TreeChartSource(m_chart, chartTitle()));
}

void ChartViewCommands::PrintPreviewChart()
{
    if (!hasPersons())
        return;
    ChartCommands::PrintPreview(m_window, TreeChartSource(m_chart, chartTitle()));
}
