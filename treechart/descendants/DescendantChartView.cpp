#include "DescendantChartView.h"

#include "DescendantChartData.h"

#include <QFontInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// Captions whose font is smaller than this many pixels (its em, as font sizes are given) are
// not drawn.
constexpr double kSmallestCaption = 5.0;

} // namespace

DescendantChartView::DescendantChartView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("DescendantChart"));
    viewport()->setObjectName(QStringLiteral("picBase"));
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

DescendantChartView::~DescendantChartView() = default;

QSize DescendantChartView::sizeHint() const
{
    return QSize(800, 600);
}

void DescendantChartView::setChart(std::unique_ptr<DescendantChartData> chart)
{
    m_chart = std::move(chart);
    if (m_chart)
        m_chart->Painter().setCaptionCache(true);
    updateScrollBars();
    viewport()->update();
}

QPointF DescendantChartView::ChartPoint(QPointF viewportPoint) const
{
    return (viewportPoint + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value())) /
           m_zoom;
}

QRectF DescendantChartView::VisibleChartRect() const
{
    return QRectF(ChartPoint(QPointF(0, 0)), QSizeF(viewport()->size()) / m_zoom);
}

void DescendantChartView::updateScrollBars()
{
    const QSize chart = m_chart ? m_chart->Geometry().ChartSize() : QSize();
    const QSize view = viewport()->size();
    const int width = int(std::ceil(chart.width() * m_zoom));
    const int height = int(std::ceil(chart.height() * m_zoom));
    horizontalScrollBar()->setRange(0, std::max(0, width - view.width()));
    horizontalScrollBar()->setPageStep(std::max(1, view.width()));
    horizontalScrollBar()->setSingleStep(std::max(1, view.width() / 10));
    verticalScrollBar()->setRange(0, std::max(0, height - view.height()));
    verticalScrollBar()->setPageStep(std::max(1, view.height()));
    verticalScrollBar()->setSingleStep(std::max(1, view.height() / 10));
}

void DescendantChartView::setZoom(double zoom, QPointF anchor)
{
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == m_zoom)
        return;
    if (anchor.x() < 0 || anchor.y() < 0)
        anchor = QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0);
    const QPointF fixed = ChartPoint(anchor);
    m_zoom = zoom;
    updateScrollBars();
    horizontalScrollBar()->setValue(int(std::lround(fixed.x() * m_zoom - anchor.x())));
    verticalScrollBar()->setValue(int(std::lround(fixed.y() * m_zoom - anchor.y())));
    viewport()->update();
    emit ZoomChanged(m_zoom);
}

void DescendantChartView::ZoomIn()
{
    setZoom(m_zoom * kZoomStep);
}

void DescendantChartView::ZoomOut()
{
    setZoom(m_zoom / kZoomStep);
}

void DescendantChartView::ResetZoom()
{
    setZoom(1.0);
}

void DescendantChartView::CentreOn(QPointF chartPoint)
{
    horizontalScrollBar()->setValue(
        int(std::lround(chartPoint.x() * m_zoom - viewport()->width() / 2.0)));
    verticalScrollBar()->setValue(
        int(std::lround(chartPoint.y() * m_zoom - viewport()->height() / 2.0)));
}

void DescendantChartView::select(int person)
{
    if (!m_chart)
        return;
    m_chart->Painter().setSelected(person);
    viewport()->update();
}

bool DescendantChartView::SelectKey(const QString &key)
{
    if (!m_chart)
        return false;
    const int person = m_chart->Tree().Find(key);
    if (person < 0)
        return false;
    select(person);
    const QRect box = m_chart->Geometry().BoxRect(person);
    CentreOn(QRectF(box).center());
    return true;
}

QString DescendantChartView::SelectedKey() const
{
    if (!m_chart || m_chart->Painter().Selected() < 0)
        return QString();
    return m_chart->Tree().At(m_chart->Painter().Selected()).key;
}

void DescendantChartView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    if (!m_chart) {
        painter.fillRect(area, palette().color(QPalette::Base));
        return;
    }
    DescendantPainter &chartPainter = m_chart->Painter();
    // The chart's painter fills the background of what it paints: the area is filled once.
    const QPointF scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    painter.translate(-scroll);
    painter.scale(m_zoom, m_zoom);
    const QRect chartRect =
        QRectF((QPointF(area.topLeft()) + scroll) / m_zoom, QSizeF(area.size()) / m_zoom)
            .toAlignedRect()
            .adjusted(-1, -1, 1, 1);
    chartPainter.setCaptionsShown(QFontInfo(chartPainter.Font()).pixelSize() * m_zoom >=
                                  kSmallestCaption);
    m_lastDrawn = chartPainter.Paint(painter, chartRect);
}

void DescendantChartView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void DescendantChartView::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy);
}

void DescendantChartView::wheelEvent(QWheelEvent *event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // One notch of the wheel is one zoom step; fine-grained wheels zoom by parts of a step.
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0)
        setZoom(m_zoom * std::pow(kZoomStep, steps), event->position());
    event->accept();
}

void DescendantChartView::mouseReleaseEvent(QMouseEvent *event)
{
    QAbstractScrollArea::mouseReleaseEvent(event);
    if (!m_chart)
        return;
    const QPointF at = ChartPoint(event->position());
    const int person = m_chart->Geometry().HitTest(at);
    if (person < 0) {
        // A red arrow naming a person drawn elsewhere leads there.
        if (const int linked = m_chart->Painter().RepeatLinkAt(at); linked >= 0)
            SelectKey(m_chart->Tree().At(linked).key);
        return;
    }
    select(person);
    emit PersonClicked(m_chart->Tree().At(person).key);
}

void DescendantChartView::moveTo(int person)
{
    select(person);
    const QRectF box = m_chart->Geometry().BoxRect(person);
    if (!VisibleChartRect().contains(box))
        CentreOn(box.center());
}

void DescendantChartView::keyPressEvent(QKeyEvent *event)
{
    if (!m_chart || m_chart->Tree().Count() == 0 ||
        (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const DescendantTree &tree = m_chart->Tree();
    const int selected = m_chart->Painter().Selected();
    const bool flipped = m_chart->Geometry().Flipped();
    int next = -1;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selected >= 0)
            emit PersonClicked(tree.At(selected).key);
        event->accept();
        return;
    case Qt::Key_Home:
        next = 0;
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (selected < 0) {
            next = 0;
            break;
        }
        const DescendantTree::Person &person = tree.At(selected);
        const bool towardsParent = (event->key() == Qt::Key_Up) != flipped;
        if (event->key() == Qt::Key_Left)
            next = selected > tree.GenerationBegin(person.generation) ? selected - 1 : -1;
        else if (event->key() == Qt::Key_Right)
            next = selected + 1 < tree.GenerationEnd(person.generation) ? selected + 1 : -1;
        else if (towardsParent)
            next = person.parent;
        else
            next = person.childCount > 0 ? person.firstChild : -1;
        break;
    }
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (next >= 0)
        moveTo(next);
    event->accept();
}
