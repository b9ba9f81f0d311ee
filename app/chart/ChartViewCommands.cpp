#include "ChartViewCommands.h"

#include "AncestorChain.h"
#include "ChartCommands.h"
#include "ChartRenderSource.h"
#include "DescendantChartWindow.h"
#include "FanChartWindow.h"
#include "FindPersonDialog.h"
#include "FinderBuilder.h"
#include "HourglassWindow.h"
#include "LifeSpan.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "ModelStore.h"
#include "OpenTree.h"
#include "PersonFinder.h"
#include "PersonNode.h"
#include "PrivacyFilter.h"
#include "TreeChart.h"
#include "WaitCursor.h"

#include <QAction>
#include <QKeySequence>
#include <QRegularExpression>
#include <QWidget>

namespace {

QAction *command(QObject *owner, const QString &key, const QString &caption,
                 const char *shortcut = nullptr)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(key);
    if (shortcut)
        action->setShortcut(QKeySequence(QLatin1String(shortcut)));
    return action;
}

} // namespace

ChartViewCommands::ChartViewCommands(OpenTree &tree, TreeChart &chart, QWidget *window)
    : QObject(window), m_tree(tree), m_chart(chart), m_window(window),
      m_find(command(this, FindKey(), QStringLiteral("Find Person..."), "Ctrl+F")),
      m_descendants(
          command(this, DescendantsKey(), QStringLiteral("Descendant Chart"), "Ctrl+Shift+D")),
      m_ancestors(command(this, AncestorsKey(), QStringLiteral("Ancestor Chart"), "Ctrl+Shift+A")),
      m_fan(command(this, FanKey(), QStringLiteral("Fan Chart"))),
      m_hourglass(command(this, HourglassKey(), QStringLiteral("Hourglass Chart"))),
      m_relationship(
          command(this, RelationshipKey(), QStringLiteral("Relationship..."), "Ctrl+Shift+R")),
      m_export(command(this, ExportKey(), QStringLiteral("Export Chart..."), "Ctrl+Shift+X")),
      m_print(command(this, PrintKey(), QStringLiteral("Print..."), "Ctrl+P")),
      m_printPreview(command(this, PrintPreviewKey(), QStringLiteral("Print Preview..."))),
      m_zoomIn(command(this, QStringLiteral("mnuViewZoomIn"), QStringLiteral("Zoom In"), "Ctrl++")),
      m_zoomOut(
          command(this, QStringLiteral("mnuViewZoomOut"), QStringLiteral("Zoom Out"), "Ctrl+-")),
      m_zoomReset(command(this, QStringLiteral("mnuViewZoomReset"), QStringLiteral("Actual Size"),
                          "Ctrl+0")),
      m_kinship(tree)
{
    connect(m_find, &QAction::triggered, this, &ChartViewCommands::FindPerson);
    connect(m_descendants, &QAction::triggered, this, &ChartViewCommands::ShowDescendants);
    connect(m_ancestors, &QAction::triggered, this, &ChartViewCommands::ShowAncestors);
    connect(m_fan, &QAction::triggered, this, &ChartViewCommands::ShowFan);
    connect(m_hourglass, &QAction::triggered, this, &ChartViewCommands::ShowHourglass);
    connect(m_relationship, &QAction::triggered, this, [this] { ShowRelationship(); });
    connect(m_export, &QAction::triggered, this, &ChartViewCommands::ExportChart);
    connect(m_print, &QAction::triggered, this, &ChartViewCommands::PrintChart);
    connect(m_printPreview, &QAction::triggered, this, &ChartViewCommands::PrintPreviewChart);
    m_zoomIn->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl++")), QKeySequence(QStringLiteral("Ctrl+="))});
    connect(m_zoomIn, &QAction::triggered, &m_chart, &TreeChart::ZoomIn);
    connect(m_zoomOut, &QAction::triggered, &m_chart, &TreeChart::ZoomOut);
    connect(m_zoomReset, &QAction::triggered, &m_chart, &TreeChart::ResetZoom);

    connect(&m_tree, &OpenTree::PeopleReplaced, this, [this] {
        closeDescendantWindows();
        m_toldBreaks.clear();
        forgetIndex();
    });
    for (auto signal : {&OpenTree::PersonAdded, &OpenTree::PersonChanged}) {
        connect(&m_tree, signal, this, [this] {
            forgetIndex();
            redrawDescendantWindows();
        });
    }
    connect(&m_tree, &OpenTree::PersonRemoved, this, [this](const cPersonPtr &person) {
        forgetIndex();
        redrawDescendantWindows(person->Key());
    });
    // Families changed by another user: the links through them are read again.
    connect(&m_tree, &OpenTree::RecordsChanged, this, [this] {
        forgetIndex();
        redrawDescendantWindows();
    });
    updateEnabled();
}

ChartViewCommands::~ChartViewCommands() = default;

bool ChartViewCommands::hasPersons() const
{
    return m_tree.IsOpen() && m_tree.People().Count() > 0;
}

void ChartViewCommands::updateEnabled()
{
    const bool enabled = hasPersons();
    for (QAction *action : {m_find, m_descendants, m_ancestors, m_fan, m_hourglass, m_relationship,
                            m_export, m_print, m_printPreview, m_zoomIn, m_zoomOut, m_zoomReset})
        action->setEnabled(enabled);
}

void ChartViewCommands::forgetIndex()
{
    m_finder.reset();
    // A build under way is of persons that changed: its index is let go when it arrives.
    if (m_builder && m_builder->Running()) {
        m_builder->disconnect(this);
        m_builder.release()->deleteLater();
    }
    m_kinship.Forget();
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
    const QString key = askPerson(QString());
    if (!key.isEmpty())
        OpenPerson(key);
}

QString ChartViewCommands::askPerson(const QString &title)
{
    if (!m_finder && m_tree.People().Count() < m_workerIndexFrom) {
        WaitCursor busy;
        m_finder = std::make_unique<PersonFinder>();
        m_finder->Build(m_tree.People());
    }
    if (m_finder)
        return FindPersonDialog::Ask(m_window, m_tree.People(), *m_finder, &YearsOf, title);
    // A large tree: the index is built on a worker while the dialog says so; typing goes on.
    FindPersonDialog dialog(m_tree.People(), &YearsOf, m_window);
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
    if (!m_builder) {
        m_builder = std::make_unique<FinderBuilder>();
        connect(m_builder.get(), &FinderBuilder::Built, this, [this] {
            m_finder = m_builder->Take();
            updateEnabled();
        });
    }
    const auto hand = [this, &dialog] {
        if (m_finder)
            dialog.SetFinder(*m_finder);
    };
    const QMetaObject::Connection handOver =
        connect(m_builder.get(), &FinderBuilder::Built, &dialog, hand);
    m_builder->Start(m_tree.People());
    const int result = ModalSeam::exec(dialog);
    disconnect(handOver);
    return result == QDialog::Accepted ? dialog.ChosenKey() : QString();
}

cNodePtr ChartViewCommands::OpenPerson(const QString &key, bool tellEveryTime)
{
    const cPeople &people = m_tree.People();
    // A person outside the line is selected and shown by the panel, the status bar and the
    // title; the chart has no box for it and nothing to tell about its ancestors.
    if (const cPersonPtr person = people.Item(key); person && OpenTree::IsOutsideLine(*person)) {
        m_tree.Select(key, true);
        return nullptr;
    }
    const AncestorChain chain = AncestorChain::Of(people, key);
    if (chain.keys.isEmpty() || m_chart.Levels().Count() == 0)
        return nullptr;
    cNodePtr node;
    {
        WaitCursor busy;
        m_tree.Select(key, true);
        node = m_chart.SelectedNode();
        if (node && node->Key() != chain.keys.constLast())
            node = nullptr;
    }
    if (node)
        m_chart.ScrollIntoView(*node);
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

void ChartViewCommands::SetKinshipReaders(TreeKinshipCache::FamilyReader families,
                                          TreeKinshipCache::SexReader sexes)
{
    m_kinship.SetReaders(std::move(families), std::move(sexes));
}

void ChartViewCommands::ShowDescendants()
{
    showKinshipChart(KinshipChartKind::Descendants);
}

void ChartViewCommands::ShowAncestors()
{
    showKinshipChart(KinshipChartKind::Ancestors);
}

void ChartViewCommands::showKinshipChart(KinshipChartKind kind)
{
    if (!hasPersons())
        return;
    const cPersonPtr selected =
        m_tree.SelectedKey().isEmpty() ? nullptr : m_tree.People().Item(m_tree.SelectedKey());
    if (kind == KinshipChartKind::Ancestors && !selected) {
        ShowMessage(QStringLiteral("Select the person whose ancestors the chart shows."),
                    QStringLiteral("Ancestor Chart"), MsgIcon::Information, MsgButtons::OkOnly,
                    m_window);
        return;
    }
    adopt(new DescendantChartWindow(
        m_tree.People(), kind, [this] { return m_kinship.Links(m_window); },
        selected ? selected->Key() : QString(), m_chart.Settings(), m_chart.Font(), &YearsOf,
        m_window));
}

void ChartViewCommands::ShowFan()
{
    if (!hasPersons())
        return;
    const cPersonPtr selected = m_tree.People().Item(m_tree.SelectedKey());
    if (!selected) {
        ShowMessage(QStringLiteral("Select the person whose ancestors the chart shows."),
                    QStringLiteral("Fan Chart"), MsgIcon::Information, MsgButtons::OkOnly,
                    m_window);
        return;
    }
    auto *window = new FanChartWindow(
        m_tree.People(), [this] { return m_kinship.Links(m_window); }, selected->Key(),
        m_chart.Font(), m_window);
    window->SetPrivacyReader(privacyReader());
    m_fanWindows.removeAll(nullptr);
    m_fanWindows.append(window);
    window->show();
    window->raise();
    window->activateWindow();
}

void ChartViewCommands::ShowHourglass()
{
    if (!hasPersons())
        return;
    const cPersonPtr selected = m_tree.People().Item(m_tree.SelectedKey());
    if (!selected) {
        ShowMessage(QStringLiteral("Select the person at the middle of the chart."),
                    QStringLiteral("Hourglass Chart"), MsgIcon::Information, MsgButtons::OkOnly,
                    m_window);
        return;
    }
    auto *window = new HourglassWindow(
        m_tree.People(), [this] { return m_kinship.Links(m_window); }, selected->Key(),
        m_chart.Settings(), m_chart.Font(), m_window);
    window->SetPrivacyReader(privacyReader());
    m_hourglassWindows.removeAll(nullptr);
    m_hourglassWindows.append(window);
    window->show();
    window->raise();
    window->activateWindow();
}

QList<HourglassWindow *> ChartViewCommands::HourglassWindows() const
{
    QList<HourglassWindow *> open;
    for (const QPointer<HourglassWindow> &window : m_hourglassWindows) {
        if (window && window->isVisible())
            open.append(window);
    }
    return open;
}

QList<FanChartWindow *> ChartViewCommands::FanWindows() const
{
    QList<FanChartWindow *> open;
    for (const QPointer<FanChartWindow> &window : m_fanWindows) {
        if (window && window->isVisible())
            open.append(window);
    }
    return open;
}

PrivateTreeReader ChartViewCommands::privacyReader() const
{
    const TreeKinshipCache &kinship = m_kinship;
    return
        [&kinship](const Genealogy::PrivacyOptions &options) { return kinship.Private(options); };
}

void ChartViewCommands::adopt(DescendantChartWindow *window)
{
    window->SetPrivacyReader(privacyReader());
    // A box clicked there opens the person here, as finding it does; a break in its line is
    // told once, not at every click. A person outside the line of descent (a partner who is
    // nobody's child in it: no parent key) has no line to break: it is selected quietly.
    connect(window, &DescendantChartWindow::PersonClicked, this, [this](const QString &key) {
        const cPersonPtr person = m_tree.People().Item(key);
        if (person && person->PrntKey().isEmpty())
            m_tree.Select(person->Key(), true);
        else
            OpenPerson(key, false);
    });
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

void ChartViewCommands::redrawDescendantWindows(const QString &removedKey)
{
    m_hourglassWindows.removeAll(nullptr);
    for (const QPointer<HourglassWindow> &hourglass :
         QList<QPointer<HourglassWindow>>(m_hourglassWindows)) {
        if (!hourglass)
            continue;
        if (!removedKey.isEmpty() && hourglass->RootKey() == removedKey)
            hourglass->close(); // and deletes itself
        else
            hourglass->Rebuild();
    }
    m_fanWindows.removeAll(nullptr);
    for (const QPointer<FanChartWindow> &fan : QList<QPointer<FanChartWindow>>(m_fanWindows)) {
        if (!fan)
            continue;
        if (!removedKey.isEmpty() && fan->RootKey() == removedKey)
            fan->close(); // and deletes itself
        else
            fan->Rebuild();
    }
    m_windows.removeAll(nullptr);
    const QList<QPointer<DescendantChartWindow>> windows = m_windows;
    for (const QPointer<DescendantChartWindow> &window : windows) {
        if (!window)
            continue;
        if (!removedKey.isEmpty() && window->RootKey() == removedKey)
            window->close(); // and deletes itself
        else
            window->Rebuild();
    }
}

void ChartViewCommands::closeDescendantWindows()
{
    // The windows read the persons of the tree that is going: they close at once.
    for (const QPointer<HourglassWindow> &hourglass : std::exchange(m_hourglassWindows, {})) {
        if (hourglass)
            hourglass->close(); // and deletes itself
    }
    for (const QPointer<FanChartWindow> &fan : std::exchange(m_fanWindows, {})) {
        if (fan)
            fan->close(); // and deletes itself
    }
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

// The main chart's export source, which can also draw the chart as the privacy choice shows the
// tree: the tree's rows and side records are read when asked.
std::unique_ptr<TreeChartSource> ChartViewCommands::exportSource() const
{
    auto source = std::make_unique<TreeChartSource>(m_chart, chartTitle());
    OpenTree &tree = m_tree;
    source->SetPrivacyReader([&tree](const Genealogy::PrivacyOptions &options)
                                 -> std::optional<ChartPrivacy> {
        WaitCursor busy;
        Result<Genealogy::ModelSlice> read = ModelStore::readTree(tree.Store(), tree.CurrentTree());
        if (!read)
            return std::nullopt;
        const Genealogy::PrivacyView view =
            Genealogy::applyPrivacy(read->rows, read->model, options);
        ChartPrivacy privacy;
        size_t shown = 0;
        for (size_t i = 0; i < read->rows.size(); ++i) {
            const Genealogy::PersonRow &row = read->rows[i];
            if (view.persons[i] == Genealogy::PersonShown::LeftOut) {
                privacy.leftOut.insert(row.ID);
                continue;
            }
            const Genealogy::PersonRow &seen = view.slice.rows[shown++];
            if (seen.Fname != row.Fname || seen.Sname != row.Sname ||
                seen.PrtFname != row.PrtFname || seen.PrtSname != row.PrtSname) {
                const cPerson person(seen);
                privacy.captions.insert(row.ID, {PersonCaptionA(person), PersonCaptionB(person)});
            }
        }
        // A title naming a hidden person names the tree alone: so does one naming a person
        // whose box goes with a private person's above it.
        const QString selected = tree.SelectedKey();
        bool hidden = privacy.captions.contains(selected);
        for (const QString &key : AncestorChain::Of(tree.People(), selected).keys)
            hidden = hidden || privacy.leftOut.contains(key);
        if (hidden)
            privacy.title = tree.CurrentTree();
        return privacy;
    });
    return source;
}

void ChartViewCommands::ExportChart()
{
    if (!hasPersons())
        return;
    ChartCommands::Export(m_window, *exportSource(), suggestedFileName());
}

void ChartViewCommands::PrintChart()
{
    if (!hasPersons())
        return;
    ChartCommands::Print(m_window, *exportSource());
}

void ChartViewCommands::PrintPreviewChart()
{
    if (!hasPersons())
        return;
    ChartCommands::PrintPreview(m_window, *exportSource());
}
