#include "ThumbSurface.h"

#include "Thumbnailer.h"

#include <QKeyEvent>
#include <QPainter>

ThumbSurface::ThumbSurface(Thumbnailer *owner) : QWidget(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("picBase"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void ThumbSurface::resizeSurface(int width, int height, const QColor &background)
{
    width = std::max(1, width);
    height = std::max(1, height);
    if (m_canvas.size() != QSize(width, height))
        m_canvas = QImage(width, height, QImage::Format_RGB32);
    m_canvas.fill(background);
    resize(width, height);
}

void ThumbSurface::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(area, m_canvas, area);
}

void ThumbSurface::mousePressEvent(QMouseEvent *event)
{
    m_owner->picBase_MouseDown(event);
}

void ThumbSurface::mouseMoveEvent(QMouseEvent *event)
{
    m_owner->picBase_MouseMove(event);
}

void ThumbSurface::mouseReleaseEvent(QMouseEvent *event)
{
    m_owner->picBase_MouseUp(event);
}

void ThumbSurface::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_owner->picBase_DblClick(event);
}

void ThumbSurface::keyPressEvent(QKeyEvent *event)
{
    m_owner->picBase_KeyDown(event);
}

void ThumbSurface::dragEnterEvent(QDragEnterEvent *event)
{
    m_owner->picBase_DragEnter(event);
}

void ThumbSurface::dragMoveEvent(QDragMoveEvent *event)
{
    m_owner->picBase_DragMove(event);
}

void ThumbSurface::dragLeaveEvent(QDragLeaveEvent *event)
{
    m_owner->picBase_DragLeave(event);
}

void ThumbSurface::dropEvent(QDropEvent *event)
{
    m_owner->picBase_Drop(event);
}

bool ThumbSurface::focusNextPrevChild(bool next)
{
    // Arrow keys move between items, Tab leaves the control.
    return QWidget::focusNextPrevChild(next);
}
