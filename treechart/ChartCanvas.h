#pragma once

#include <QWidget>

class TreeChart;

// The chart's canvas (picBase): shows the visible part of the chart's picture and passes its
// mouse input, in chart coordinates, to the chart.
class ChartCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit ChartCanvas(TreeChart *chart);

    // Button and modifier masks as the chart's mouse signals carry them.
    static short buttonMask(Qt::MouseButtons buttons);
    static short shiftMask(Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QPointF chartPoint(const QMouseEvent *event) const;

    TreeChart *m_chart;
};
