#include "HourglassWindow.h"

#include "ChartCommands.h"
#include "WaitCursor.h"

#include <QLabel>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolBar>

namespace {

// Paints the window's chart at its own size.
class HourglassCanvas : public QWidget
{
public:
    HourglassCanvas(const HourglassWindow &window, QWidget *parent)
        : QWidget(parent), m_window(window)
    {
        setObjectName(QStringLiteral("picHourglass"));
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        m_window.Chart().Paint(painter, event->rect());
    }

private:
    const HourglassWindow &m_window;
};

} // namespace

HourglassWindow::HourglassWindow(const cPeople &people, LinksMaker links, const QString &rootKey,
                                 const ChartSettings &settings, const QFont &font, QWidget *parent)
    : QMainWindow(parent), m_people(people), m_linksMaker(std::move(links)), m_rootKey(rootKey),
      m_settings(settings), m_font(font)
{
    setObjectName(QStringLiteral("frmHourglass"));
    setAttribute(Qt::WA_DeleteOnClose);
    QToolBar *bar = addToolBar(tr("Hourglass"));
    bar->addWidget(new QLabel(tr("Generations each way "), bar));
    m_generations = new QSpinBox(bar);
    m_generations->setObjectName(QStringLiteral("spnGenerations"));
    m_generations->setRange(1, 99);
    m_generations->setValue(kGenerations);
    bar->addWidget(m_generations);

    auto *scroll = new QScrollArea(this);
    m_canvas = new HourglassCanvas(*this, scroll);
    {
        WaitCursor busy;
        m_links = m_linksMaker();
    }
    remake();
    scroll->setWidget(m_canvas);
    setCentralWidget(scroll);
    resize(m_chart->Size().boundedTo(QSize(1200, 800)) + QSize(40, 80));
    connect(m_generations, &QSpinBox::valueChanged, this, [this] { remake(); });

    QMenu *file = menuBar()->addMenu(tr("&File"));
    QAction *exportChart =
        file->addAction(tr("&Export Chart..."), this, &HourglassWindow::ExportChart);
    exportChart->setObjectName(QStringLiteral("mnuFileExport"));
    exportChart->setShortcut(QKeySequence(tr("Ctrl+Shift+X")));
    QAction *print = file->addAction(tr("&Print..."), this, &HourglassWindow::PrintChart);
    print->setObjectName(QStringLiteral("mnuFilePrint"));
    print->setShortcut(QKeySequence::Print);
    QAction *preview =
        file->addAction(tr("Print Pre&view..."), this, &HourglassWindow::PrintPreviewChart);
    preview->setObjectName(QStringLiteral("mnuFilePrintPreview"));
    file->addSeparator();
    QAction *close = file->addAction(tr("&Close"), this, &QWidget::close);
    close->setObjectName(QStringLiteral("mnuFileClose"));
    close->setShortcut(QKeySequence(tr("Ctrl+W")));
}

HourglassWindow::~HourglassWindow() = default;

QString HourglassWindow::titleOf(const cPeople &people, const QString &rootKey)
{
    const cPersonPtr root = people.Item(rootKey);
    const QString name =
        root ? (root->Fname() + QLatin1Char(' ') + root->Sname()).trimmed() : QString();
    return tr("Hourglass of %1").arg(name.isEmpty() ? rootKey : name);
}

QString HourglassWindow::ChartTitle() const
{
    return titleOf(m_people, m_rootKey);
}

void HourglassWindow::SetGenerations(int generations)
{
    m_generations->setValue(generations);
}

void HourglassWindow::Rebuild()
{
    {
        WaitCursor busy;
        m_links = m_linksMaker();
    }
    remake();
}

void HourglassWindow::remake()
{
    WaitCursor busy;
    m_chart = std::make_unique<HourglassSource>(m_people, *m_links, m_rootKey, m_settings, m_font,
                                                m_generations->value(), ChartTitle());
    m_canvas->resize(m_chart->Size());
    m_canvas->update();
    setWindowTitle(ChartTitle() + QStringLiteral(" - Velkin Tree"));
}

KinshipExportSource HourglassWindow::exportSource() const
{
    const QString rootKey = m_rootKey;
    const int generations = m_generations->value();
    const ChartSettings settings = m_settings;
    const QFont font = m_font;
    return KinshipExportSource(*m_chart, m_privacy,
                               [=](const cPeople &people, const KinshipLinks &links,
                                   QString *why) -> std::unique_ptr<ChartRenderSource> {
                                   if (!people.Item(rootKey)) {
                                       *why = PrivateChartRefusal();
                                       return nullptr;
                                   }
                                   return std::make_unique<HourglassSource>(
                                       people, links, rootKey, settings, font, generations,
                                       titleOf(people, rootKey));
                               });
}

void HourglassWindow::ExportChart()
{
    ChartCommands::Export(this, exportSource(), ChartTitle() + QStringLiteral(".pdf"));
}

void HourglassWindow::PrintChart()
{
    ChartCommands::Print(this, exportSource());
}

void HourglassWindow::PrintPreviewChart()
{
    ChartCommands::PrintPreview(this, exportSource());
}
