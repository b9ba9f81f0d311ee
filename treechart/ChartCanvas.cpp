#include "ChartCanvas.h"

#include "TreeChart.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

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
    return event->position() + QPointF(m_chart->ScrollOffset());
}

void ChartCanvas::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QPoint offset = m_chart->ScrollOffset();
    painter.translate(-offset);
    m_chart->paintRect(painter, event->rect().translated(offset));
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
