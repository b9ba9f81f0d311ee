// The main chart's zoom: the canvas paints the picture scaled; the layout stays in chart
// coordinates, the scroll bars count view pixels.
#include "TreeChart.h"

#include "ChartCanvas.h"

#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

QSize TreeChart::viewInChart() const
{
    if (m_zoom == 1.0)
        return QSize(m_viewWidth, m_viewHeight);
    return QSize(int(std::ceil(m_viewWidth / m_zoom)), int(std::ceil(m_viewHeight / m_zoom)));
}

QSize TreeChart::scaledCanvas() const
{
    if (m_zoom == 1.0)
        return m_canvasSize;
    // The chart alone decides the room to scroll; the view's own size only fills the canvas.
    const QSize chart(int(std::ceil(m_chartSize.width() * m_zoom)),
                      int(std::ceil(m_chartSize.height() * m_zoom)));
    return chart.expandedTo(QSize(m_viewWidth, m_viewHeight));
}

QRect TreeChart::VisibleChartRect() const
{
    const QPointF topLeft = QPointF(m_scrollOffset) / m_zoom;
    const QRectF view(topLeft, QSizeF(m_viewWidth / m_zoom, m_viewHeight / m_zoom));
    return view.toAlignedRect() & QRect(QPoint(0, 0), m_chartSize);
}

void TreeChart::setZoom(double zoom, QPointF anchor)
{
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (std::abs(zoom - 1.0) < 1e-3)
        zoom = 1.0; // steps back to the chart's own size land there exactly
    if (zoom == m_zoom)
        return;
    if (anchor.x() < 0 || anchor.y() < 0)
        anchor = QPointF(m_viewWidth / 2.0, m_viewHeight / 2.0);
    const QPointF chartPoint = (anchor + QPointF(m_scrollOffset)) / m_zoom;
    m_zoom = zoom;
    m_canvasSize = m_chartSize.expandedTo(viewInChart());
    m_picture.setCanvasSize(m_canvasSize);
    UpdateScrollBars();
    const QPointF target = chartPoint * m_zoom - anchor;
    m_hScroll->setValue(int(std::lround(std::max(0.0, target.x()))));
    m_vScroll->setValue(int(std::lround(std::max(0.0, target.y()))));
    HScrollChanged(m_hScroll->value());
    VScrollChanged(m_vScroll->value());
    m_canvas->update();
    emit ZoomChanged(m_zoom);
}

void TreeChart::ZoomIn()
{
    setZoom(m_zoom * kZoomStep);
}

void TreeChart::ZoomOut()
{
    setZoom(m_zoom / kZoomStep);
}

void TreeChart::ResetZoom()
{
    setZoom(1.0);
}

bool TreeChart::zoomKey(const QKeyEvent &event)
{
    const Qt::KeyboardModifiers mods =
        event.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (mods != Qt::ControlModifier)
        return false;
    switch (event.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        ZoomIn();
        return true;
    case Qt::Key_Minus:
        ZoomOut();
        return true;
    case Qt::Key_0:
        ResetZoom();
        return true;
    default:
        return false;
    }
}
