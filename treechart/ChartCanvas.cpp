#include "ChartCanvas.h"

#include "TreeChart.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace Chart {

ChartCanvas::ChartCanvas(TreeChart *chart) : QWidget(chart), m_chart(chart)
{
    setObjectName(QStringLiteral("picBase"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

short ChartCanvas::buttonMask(Qt::MouseButtons buttons)
{
    short mask = 0;
    if (buttons & Qt::LeftButton)
        mask |= 1;
    if (buttons & Qt::RightButton)
        mask |= 2;
    if (buttons & Qt::MiddleButton)
        mask |= 4;
    return mask;
}

short ChartCanvas::shiftMask(Qt::KeyboardModifiers modifiers)
{
    short mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= 1;
    if (modifiers & Qt::ControlModifier)
        mask |= 2;
    if (modifiers & Qt::AltModifier)
        mask |= 4;
    return mask;
}

QPointF ChartCanvas::chartPoint(const QMouseEvent *event) const
{
    return (event->position() + QPointF(m_chart->ScrollOffset())) / m_chart->Zoom();
}

void ChartCanvas::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QPoint offset = m_chart->ScrollOffset();
    painter.translate(-offset);
    const double zoom = m_chart->Zoom();
    if (zoom == 1.0) {
        m_chart->paintRect(painter, event->rect().translated(offset));
    } else {
        // Zoomed: the picture is painted scaled (vector steps, sharp at any density), the part
        // the event asks for in chart coordinates with a pixel to spare at each edge.
        painter.scale(zoom, zoom);
        const QRectF area(QPointF(event->rect().translated(offset).topLeft()) / zoom,
                          QSizeF(event->rect().size()) / zoom);
        m_chart->paintRect(painter, area.toAlignedRect().adjusted(-1, -1, 1, 1));
    }
    if (m_chart->hasFocus())
        paintFocusFrame(painter);
}

void ChartCanvas::paintFocusFrame(QPainter &painter)
{
    const cNodePtr node = m_chart->SelectedNode();
    if (!node)
        return;
    // Three pixels clear of the box and its shadow; drawn in logical pixels, so the frame keeps
    // its look on a high-density screen. A dotted line over a plain one shows on any colour.
    const QRectF frame =
        QRectF(QPointF(node->Left(), node->Top()), QPointF(node->Right(), node->Bottom()))
            .adjusted(-3.5, -3.5, 3.5, 3.5);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(palette().color(QPalette::Base), 1));
    painter.drawRect(frame);
    painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
    painter.drawRect(frame);
    painter.restore();
}

// Positions travel as single-precision values, as the chart's mouse signals carry them.

void ChartCanvas::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF p = chartPoint(event);
    emit mouseMoved(buttonMask(event->buttons()), shiftMask(event->modifiers()), float(p.x()),
                    float(p.y()));
}

void ChartCanvas::mousePressEvent(QMouseEvent *event)
{
    const QPointF p = chartPoint(event);
    emit mousePressed(buttonMask(event->button()), shiftMask(event->modifiers()), float(p.x()),
                      float(p.y()));
}

void ChartCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF p = chartPoint(event);
    emit mouseReleased(buttonMask(event->button()), shiftMask(event->modifiers()), float(p.x()),
                       float(p.y()));
}

void ChartCanvas::mouseDoubleClickEvent(QMouseEvent *)
{
    // The second press of a double-click is reported only as the double-click, which carries
    // no position: the chart uses the point of the last release.
    emit doubleClicked();
}

} // namespace Chart
