#pragma once

#include <QWidget>

class QPainter;
class TreeChart;

namespace Chart {

// The chart's canvas (picBase): shows the visible part of the chart's picture and reports its
// mouse input in chart coordinates.
class ChartCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit ChartCanvas(TreeChart *chart);

    // Button and modifier masks as the chart's mouse signals carry them.
    static short buttonMask(Qt::MouseButtons buttons);
    static short shiftMask(Qt::KeyboardModifiers modifiers);

signals:
    // Button and Shift are masks as above; X and Y are chart coordinates.
    void mouseMoved(short Button, short Shift, float X, float Y);
    void mousePressed(short Button, short Shift, float X, float Y);
    void mouseReleased(short Button, short Shift, float X, float Y);
    // The second press of a double-click; it carries no position.
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    // The focus frame around the selected box while the chart has the focus.
    void paintFocusFrame(QPainter &painter);
    QPointF chartPoint(const QMouseEvent *event) const;

    TreeChart *m_chart;
};

} // namespace Chart
