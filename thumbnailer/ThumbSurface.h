#pragma once

#include <QImage>
#include <QWidget>

namespace Pixtile {

// Where the drawing surface hands its input: the control's interactions.
class ThumbSurfaceInput
{
public:
    virtual void surfaceMousePress(QMouseEvent *event) = 0;
    virtual void surfaceMouseMove(QMouseEvent *event) = 0;
    virtual void surfaceMouseRelease(QMouseEvent *event) = 0;
    virtual void surfaceDoubleClick(QMouseEvent *event) = 0;
    virtual void surfaceKeyPress(QKeyEvent *event) = 0;
    virtual void surfaceDragEnter(QDragEnterEvent *event) = 0;
    virtual void surfaceDragMove(QDragMoveEvent *event) = 0;
    virtual void surfaceDragLeave(QDragLeaveEvent *event) = 0;
    virtual void surfaceDrop(QDropEvent *event) = 0;

protected:
    ~ThumbSurfaceInput() = default;
};

// The drawing surface "picBase": keeps what was painted last as an image (so a repaint only
// shows it again) and hands its mouse, key and drop input on.
class ThumbSurface : public QWidget
{
    Q_OBJECT

public:
    ThumbSurface(ThumbSurfaceInput &input, QWidget *parent);

    // What is shown; the control paints into it.
    QImage &canvas() { return m_canvas; }
    const QImage &canvas() const { return m_canvas; }
    // Resizes the widget and its canvas, clearing the canvas to `background`.
    void resizeSurface(int width, int height, const QColor &background);
    // The control is going: input is dropped from now on.
    void detachInput() { m_input = nullptr; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    ThumbSurfaceInput *m_input;
    QImage m_canvas;
};

} // namespace Pixtile
