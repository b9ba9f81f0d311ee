#include "DescendantChartWindow.h"

#include "ChartCommands.h"
#include "DescendantChartData.h"
#include "DescendantChartView.h"
#include "DescendantSource.h"
#include "FindPersonDialog.h"
#include "WaitCursor.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>

namespace {

QString titleFor(const cPeople &people, const QString &rootKey, bool ancestors)
{
    if (rootKey.isEmpty())
        return QStringLiteral("Descendants of every root person");
    const cPersonPtr root = people.Item(rootKey);
    const QString name =
        root ? (root->Fname() + QLatin1Char(' ') + root->Sname()).trimmed() : QString();
    return (ancestors ? QStringLiteral("Ancestors of %1") : QStringLiteral("Descendants of %1"))
        .arg(name.isEmpty() ? rootKey : name);
}

} // namespace

DescendantChartWindow::DescendantChartWindow(const cPeople &people, const ChildrenOf &childrenOf,
                                             const QString &rootKey, const ChartSettings &settings,
                                             const QFont &font, YearsText years, QWidget *parent)
    : QMainWindow(parent), m_people(people), m_childrenOf(childrenOf), m_rootKey(rootKey),
      m_settings(settings), m_font(font), m_years(std::move(years))
{
    setUp(rootKey);
}

DescendantChartWindow::DescendantChartWindow(const cPeople &people, KinshipChartKind kind,
                                             LinksMaker links, const QString &rootKey,
                                             const ChartSettings &settings, const QFont &font,
                                             YearsText years, QWidget *parent)
    : QMainWindow(parent), m_people(people), m_kind(kind), m_linksMaker(std::move(links)),
      m_rootKey(rootKey), m_settings(settings), m_font(font), m_years(std::move(years))
{
    if (kind == KinshipChartKind::Ancestors)
        m_openGenerations = kAncestorGenerations;
    setUp(rootKey);
}

DescendantChartWindow::DescendantChartWindow(const cPeople &people, LinksMaker links,
                                             const QString &rootKey, const QSet<QString> &only,
                                             const QString &title, const ChartSettings &settings,
                                             const QFont &font, YearsText years, QWidget *parent)
    : QMainWindow(parent), m_people(people), m_kind(KinshipChartKind::Descendants),
      m_linksMaker(std::move(links)), m_only(only), m_rootKey(rootKey), m_settings(settings),
      m_font(font), m_years(std::move(years)), m_title(title)
{
    setUp(rootKey);
}

void DescendantChartWindow::setUp(const QString &rootKey)
{
    const bool ancestors = m_kind == KinshipChartKind::Ancestors;
    setObjectName(ancestors          ? QStringLiteral("frmAncestors")
                  : m_only.isEmpty() ? QStringLiteral("frmDescendants")
                                     : QStringLiteral("frmRelationship"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (m_title.isEmpty())
        m_title = titleFor(m_people, rootKey, ancestors);
    setWindowTitle(m_title + QStringLiteral(" - Velkin Tree"));

    m_view = new DescendantChartView(this);
    setCentralWidget(m_view);
    {
        WaitCursor busy;
        if (m_linksMaker)
            m_links = m_linksMaker();
        m_view->setChart(makeChart());
    }
    connect(m_view, &DescendantChartView::PersonClicked, this,
            &DescendantChartWindow::PersonClicked);
    connect(m_view, &DescendantChartView::ZoomChanged, this, &DescendantChartWindow::showStatus);

    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblCount"));
    m_zoom = new QLabel(this);
    m_zoom->setObjectName(QStringLiteral("lblZoom"));
    statusBar()->addWidget(m_count, 1);
    statusBar()->addPermanentWidget(m_zoom);
    buildMenus();
    showStatus();

    // Most of the screen, and the top person in the middle of the top edge.
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1280, 800);
    resize(screen.size() * 3 / 4);
    const DescendantChartData &chart = *m_view->Chart();
    if (!rootKey.isEmpty())
        m_view->SelectKey(rootKey);
    if (chart.Tree().Count() > 0) {
        const QRect first = chart.Geometry().BoxRect(0);
        m_view->horizontalScrollBar()->setValue(first.center().x() - width() / 2);
        m_view->verticalScrollBar()->setValue(0);
    }
}

DescendantChartWindow::~DescendantChartWindow() = default;

std::unique_ptr<DescendantChartData> DescendantChartWindow::makeChart() const
{
    if (!m_kind || !m_links)
        return std::make_unique<DescendantChartData>(m_people, m_childrenOf, m_rootKey, m_settings,
                                                     m_font);
    KinshipTreeRequest request;
    request.kind = *m_kind;
    request.rootKey = m_rootKey;
    request.openGenerations = m_allOpen ? INT_MAX : m_openGenerations;
    request.opened = m_opened;
    request.only = m_only;
    auto chart = std::make_unique<DescendantChartData>(
        m_people, BuildKinshipTree(m_people, *m_links, request), m_rootKey, m_settings, m_font);
    chart->Painter().setYearsShown(*m_kind == KinshipChartKind::Ancestors);
    return chart;
}

void DescendantChartWindow::Rebuild()
{
    {
        WaitCursor busy;
        if (m_linksMaker)
            m_links = m_linksMaker();
    }
    rebuildKeepingView();
}

void DescendantChartWindow::rebuildKeepingView()
{
    const QString selected = m_view->SelectedKey();
    const int x = m_view->horizontalScrollBar()->value();
    const int y = m_view->verticalScrollBar()->value();
    {
        WaitCursor busy;
        m_view->setChart(makeChart());
    }
    m_finder.reset();
    if (m_only.isEmpty())
        m_title = titleFor(m_people, m_rootKey, m_kind == KinshipChartKind::Ancestors);
    setWindowTitle(m_title + QStringLiteral(" - Velkin Tree"));
    if (!selected.isEmpty())
        m_view->SelectKey(selected);
    m_view->horizontalScrollBar()->setValue(x);
    m_view->verticalScrollBar()->setValue(y);
    showStatus();
}

bool DescendantChartWindow::OpenBranch()
{
    const DescendantTree &tree = m_view->Chart()->Tree();
    const int selected = tree.Find(m_view->SelectedKey());
    if (selected < 0 || m_allOpen)
        return false;
    // Anything closed below the selected person?
    bool closed = false;
    std::vector<int> stack{selected};
    while (!stack.empty() && !closed) {
        const DescendantTree::Person &person = tree.At(stack.back());
        stack.pop_back();
        closed = person.closed;
        for (int c = person.firstChild; c < person.firstChild + person.childCount; ++c)
            stack.push_back(c);
    }
    if (!closed)
        return false;
    m_opened.insert(tree.At(selected).key);
    rebuildKeepingView();
    return true;
}

void DescendantChartWindow::OpenAllBranches()
{
    if (m_allOpen)
        return;
    m_allOpen = true;
    rebuildKeepingView();
}

void DescendantChartWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    QAction *exportChart =
        file->addAction(tr("&Export Chart..."), this, &DescendantChartWindow::ExportChart);
    exportChart->setObjectName(QStringLiteral("mnuFileExport"));
    exportChart->setShortcut(QKeySequence(tr("Ctrl+Shift+X")));
    QAction *print = file->addAction(tr("&Print..."), this, &DescendantChartWindow::PrintChart);
    print->setObjectName(QStringLiteral("mnuFilePrint"));
    print->setShortcut(QKeySequence::Print);
    QAction *preview =
        file->addAction(tr("Print Pre&view..."), this, &DescendantChartWindow::PrintPreviewChart);
    preview->setObjectName(QStringLiteral("mnuFilePrintPreview"));
    file->addSeparator();
    QAction *close = file->addAction(tr("&Close"), this, &QWidget::close);
    close->setObjectName(QStringLiteral("mnuFileClose"));
    close->setShortcut(QKeySequence(tr("Ctrl+W")));

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    QAction *find =
        edit->addAction(tr("&Find Person..."), this, &DescendantChartWindow::FindPerson);
    find->setObjectName(QStringLiteral("mnuEditFind"));
    find->setShortcut(QKeySequence(tr("Ctrl+F")));

    QMenu *view = menuBar()->addMenu(tr("&View"));
    QAction *zoomIn = view->addAction(tr("Zoom &In"), m_view, &DescendantChartView::ZoomIn);
    zoomIn->setObjectName(QStringLiteral("mnuViewZoomIn"));
    zoomIn->setShortcuts({QKeySequence(tr("Ctrl++")), QKeySequence(tr("Ctrl+="))});
    QAction *zoomOut = view->addAction(tr("Zoom &Out"), m_view, &DescendantChartView::ZoomOut);
    zoomOut->setObjectName(QStringLiteral("mnuViewZoomOut"));
    zoomOut->setShortcut(QKeySequence(tr("Ctrl+-")));
    QAction *actual = view->addAction(tr("&Actual Size"), m_view, &DescendantChartView::ResetZoom);
    actual->setObjectName(QStringLiteral("mnuViewActualSize"));
    actual->setShortcut(QKeySequence(tr("Ctrl+0")));
    if (m_kind == KinshipChartKind::Ancestors) {
        view->addSeparator();
        QAction *branch = view->addAction(tr("Open &Branch"), this, [this] { OpenBranch(); });
        branch->setObjectName(QStringLiteral("mnuViewOpenBranch"));
        branch->setShortcut(QKeySequence(tr("Ctrl+E")));
        QAction *all = view->addAction(tr("Open A&ll Branches"), this,
                                       &DescendantChartWindow::OpenAllBranches);
        all->setObjectName(QStringLiteral("mnuViewOpenAll"));
        all->setShortcut(QKeySequence(tr("Ctrl+Shift+E")));
    }
}

void DescendantChartWindow::showStatus()
{
    const DescendantTree &tree = m_view->Chart()->Tree();
    QString text = tree.Count() == 1 ? tr("1 person") : tr("%L1 persons").arg(tree.Count());
    text += tree.Generations() == 1 ? tr(" in 1 generation")
                                    : tr(" in %L1 generations").arg(tree.Generations());
    if (!tree.Cuts().empty())
        text += m_kind ? tr("; %L1 reached again, drawn once (marked)").arg(tree.Cuts().size())
                       : tr("; %L1 shown once only (their line of ancestors runs in a circle)")
                             .arg(tree.Cuts().size());
    m_count->setText(text);
    m_zoom->setText(tr("%1 %").arg(int(std::lround(m_view->Zoom() * 100))));
}

void DescendantChartWindow::FindPerson()
{
    if (!m_finder) {
        WaitCursor busy;
        m_finder = std::make_unique<PersonFinder>();
        m_finder->Build(m_people, m_view->Chart()->Tree().Keys());
    }
    const QString key =
        FindPersonDialog::Ask(this, m_people, *m_finder, m_years, tr("Find in This Chart"));
    if (!key.isEmpty())
        m_view->SelectKey(key);
}

KinshipExportSource DescendantChartWindow::exportSource(const ChartRenderSource &shown) const
{
    if (!m_kind || !m_links)
        return KinshipExportSource(shown, {}, {});
    KinshipTreeRequest request;
    request.kind = *m_kind;
    request.rootKey = m_rootKey;
    request.openGenerations = m_allOpen ? INT_MAX : m_openGenerations;
    request.opened = m_opened;
    request.only = m_only;
    const bool ancestors = *m_kind == KinshipChartKind::Ancestors;
    // A relationship's title names both persons: as the choice shows the tree, it names none.
    const QString fixedTitle = m_only.isEmpty() ? QString() : tr("Relationship");
    const ChartSettings settings = m_settings;
    const QFont font = m_font;
    return KinshipExportSource(
        shown, m_privacy,
        [=](const cPeople &people, const KinshipLinks &links,
            QString *why) -> std::unique_ptr<ChartRenderSource> {
            if (!request.rootKey.isEmpty() && !people.Item(request.rootKey)) {
                *why = PrivateChartRefusal();
                return nullptr;
            }
            auto chart = std::make_shared<DescendantChartData>(
                people, BuildKinshipTree(people, links, request), request.rootKey, settings, font);
            chart->Painter().setYearsShown(ancestors);
            auto source = std::make_unique<DescendantSource>(
                *chart,
                fixedTitle.isEmpty() ? titleFor(people, request.rootKey, ancestors) : fixedTitle);
            return std::make_unique<HeldChartSource>(std::move(chart), std::move(source));
        });
}

void DescendantChartWindow::ExportChart()
{
    const DescendantSource source(*m_view->Chart(), m_title);
    ChartCommands::Export(this, exportSource(source), m_title + QStringLiteral(".pdf"));
}

void DescendantChartWindow::PrintChart()
{
    const DescendantSource source(*m_view->Chart(), m_title);
    ChartCommands::Print(this, exportSource(source));
}

void DescendantChartWindow::PrintPreviewChart()
{
    const DescendantSource source(*m_view->Chart(), m_title);
    ChartCommands::PrintPreview(this, exportSource(source));
}
