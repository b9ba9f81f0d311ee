#pragma once

#include <QImage>
#include <QWidget>

class Thumbnailer;

// The drawing surface "picBase": keeps what was painted last as an image (so a repaint only
// shows it again) and hands its mouse, key and drop input to the control.
class ThumbSurface : public QWidget
{
    Q_OBJECT

public:
    explicit ThumbSurface(Thumbnailer *owner);

    // What is shown; the control paints into it.
    QImage &canvas() { return m_canvas; }
    const QImage &canvas() const { return m_canvas; }
    // Resizes the widget and its canvas, clearing the canvas to `background`.
    void resizeSurface(int width, int height, const QColor &background);

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
    Thumbnailer *m_owner;
    QImage m_canvas;
};
