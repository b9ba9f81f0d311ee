#include "FanChartWindow.h"

#include "ChartCommands.h"
#include "WaitCursor.h"

#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolBar>

namespace {

// Paints the window's fan chart at its own size.
class FanCanvas : public QWidget
{
public:
    FanCanvas(const FanChartWindow &window, QWidget *parent) : QWidget(parent), m_window(window)
    {
        setObjectName(QStringLiteral("picFan"));
    }
    QSize sizeHint() const override { return m_window.Chart().Size(); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        m_window.Chart().Paint(painter, event->rect());
    }

private:
    const FanChartWindow &m_window;
};

} // namespace

FanChartWindow::FanChartWindow(const cPeople &people, LinksMaker links, const QString &rootKey,
                               const QFont &font, QWidget *parent)
    : QMainWindow(parent), m_people(people), m_linksMaker(std::move(links)), m_rootKey(rootKey),
      m_font(font)
{
    setObjectName(QStringLiteral("frmFan"));
    setAttribute(Qt::WA_DeleteOnClose);

    QToolBar *bar = addToolBar(tr("Fan"));
    bar->addWidget(new QLabel(tr("Generations "), bar));
    m_generations = new QSpinBox(bar);
    m_generations->setObjectName(QStringLiteral("spnGenerations"));
    m_generations->setRange(FanChart::kMinGenerations, FanChart::kMaxGenerations);
    m_generations->setValue(5);
    bar->addWidget(m_generations);
    m_span = new QComboBox(bar);
    m_span->setObjectName(QStringLiteral("cboSpan"));
    m_span->addItems({tr("Half circle"), tr("Three-quarter circle"), tr("Full circle")});
    bar->addWidget(m_span);
    m_colours = new QComboBox(bar);
    m_colours->setObjectName(QStringLiteral("cboColours"));
    m_colours->addItems({tr("Colour by generation"), tr("Colour by branch")});
    bar->addWidget(m_colours);

    {
        WaitCursor busy;
        m_links = m_linksMaker();
        m_chart = std::make_unique<FanChart>(*m_links, m_rootKey, 5, FanChart::Span::Half,
                                             FanChart::Colours::ByGeneration, m_font, ChartTitle());
    }
    auto *scroll = new QScrollArea(this);
    m_canvas = new FanCanvas(*this, scroll);
    m_canvas->resize(m_chart->Size());
    scroll->setWidget(m_canvas);
    setCentralWidget(scroll);
    setWindowTitle(ChartTitle() + QStringLiteral(" - Velkin Tree"));
    resize(m_chart->Size().boundedTo(QSize(1200, 800)) + QSize(40, 80));

    connect(m_generations, &QSpinBox::valueChanged, this, [this] { remake(); });
    connect(m_span, &QComboBox::currentIndexChanged, this, [this] { remake(); });
    connect(m_colours, &QComboBox::currentIndexChanged, this, [this] { remake(); });

    QMenu *file = menuBar()->addMenu(tr("&File"));
    QAction *exportChart =
        file->addAction(tr("&Export Chart..."), this, &FanChartWindow::ExportChart);
    exportChart->setObjectName(QStringLiteral("mnuFileExport"));
    exportChart->setShortcut(QKeySequence(tr("Ctrl+Shift+X")));
    QAction *print = file->addAction(tr("&Print..."), this, &FanChartWindow::PrintChart);
    print->setObjectName(QStringLiteral("mnuFilePrint"));
    print->setShortcut(QKeySequence::Print);
    QAction *preview =
        file->addAction(tr("Print Pre&view..."), this, &FanChartWindow::PrintPreviewChart);
    preview->setObjectName(QStringLiteral("mnuFilePrintPreview"));
    file->addSeparator();
    QAction *close = file->addAction(tr("&Close"), this, &QWidget::close);
    close->setObjectName(QStringLiteral("mnuFileClose"));
    close->setShortcut(QKeySequence(tr("Ctrl+W")));
}

FanChartWindow::~FanChartWindow() = default;

QString FanChartWindow::titleOf(const cPeople &people, const QString &rootKey)
{
    const cPersonPtr root = people.Item(rootKey);
    const QString name =
        root ? (root->Fname() + QLatin1Char(' ') + root->Sname()).trimmed() : QString();
    return tr("Fan chart of %1").arg(name.isEmpty() ? rootKey : name);
}

QString FanChartWindow::ChartTitle() const
{
    return titleOf(m_people, m_rootKey);
}

void FanChartWindow::SetGenerations(int generations)
{
    m_generations->setValue(generations);
}

void FanChartWindow::SetSpan(FanChart::Span span)
{
    m_span->setCurrentIndex(int(span));
}

void FanChartWindow::SetColours(FanChart::Colours colours)
{
    m_colours->setCurrentIndex(int(colours));
}

void FanChartWindow::Rebuild()
{
    {
        WaitCursor busy;
        m_links = m_linksMaker();
    }
    remake();
}

void FanChartWindow::remake()
{
    WaitCursor busy;
    m_chart = std::make_unique<FanChart>(
        *m_links, m_rootKey, m_generations->value(), FanChart::Span(m_span->currentIndex()),
        FanChart::Colours(m_colours->currentIndex()), m_font, ChartTitle());
    m_canvas->resize(m_chart->Size());
    m_canvas->update();
    setWindowTitle(ChartTitle() + QStringLiteral(" - Velkin Tree"));
}

KinshipExportSource FanChartWindow::exportSource() const
{
    const QString rootKey = m_rootKey;
    const int generations = m_generations->value();
    const auto span = FanChart::Span(m_span->currentIndex());
    const auto colours = FanChart::Colours(m_colours->currentIndex());
    const QFont font = m_font;
    return KinshipExportSource(*m_chart, m_privacy,
                               [=](const cPeople &people, const KinshipLinks &links,
                                   QString *why) -> std::unique_ptr<ChartRenderSource> {
                                   if (!people.Item(rootKey)) {
                                       *why = PrivateChartRefusal();
                                       return nullptr;
                                   }
                                   return std::make_unique<FanChart>(links, rootKey, generations,
                                                                     span, colours, font,
                                                                     titleOf(people, rootKey));
                               });
}

void FanChartWindow::ExportChart()
{
    ChartCommands::Export(this, exportSource(), ChartTitle() + QStringLiteral(".pdf"));
}

void FanChartWindow::PrintChart()
{
    ChartCommands::Print(this, exportSource());
}

void FanChartWindow::PrintPreviewChart()
{
    ChartCommands::PrintPreview(this, exportSource());
}
