#include "ThumbSurface.h"

#include <QKeyEvent>
#include <QPainter>

namespace Pixtile {

ThumbSurface::ThumbSurface(ThumbSurfaceInput &input, QWidget *parent)
    : QWidget(parent), m_input(&input)
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
    if (m_input)
        m_input->surfaceMousePress(event);
}

void ThumbSurface::mouseMoveEvent(QMouseEvent *event)
{
    if (m_input)
        m_input->surfaceMouseMove(event);
}

void ThumbSurface::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_input)
        m_input->surfaceMouseRelease(event);
}

void ThumbSurface::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_input)
        m_input->surfaceDoubleClick(event);
}

void ThumbSurface::keyPressEvent(QKeyEvent *event)
{
    if (m_input)
        m_input->surfaceKeyPress(event);
}

void ThumbSurface::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_input)
        m_input->surfaceDragEnter(event);
}

void ThumbSurface::dragMoveEvent(QDragMoveEvent *event)
{
    if (m_input)
        m_input->surfaceDragMove(event);
}

void ThumbSurface::dragLeaveEvent(QDragLeaveEvent *event)
{
    if (m_input)
        m_input->surfaceDragLeave(event);
}

void ThumbSurface::dropEvent(QDropEvent *event)
{
    if (m_input)
        m_input->surfaceDrop(event);
}

bool ThumbSurface::focusNextPrevChild(bool next)
{
    // Arrow keys move between items, Tab leaves the control.
    return QWidget::focusNextPrevChild(next);
}

} // namespace Pixtile
