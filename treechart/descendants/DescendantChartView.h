#pragma once

#include <QAbstractScrollArea>

#include <memory>

class DescendantChartData;

// Shows a descendant chart: it scrolls, zooms (Ctrl+wheel here; the window adds the keys) and
// selects the box clicked. Only the boxes reaching into the part being painted are drawn, so a
// repaint costs what is on screen, not what the chart holds; zoomed far out, captions below five
// pixels are left out. The viewport is named picBase.
class DescendantChartView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit DescendantChartView(QWidget *parent = nullptr);
    ~DescendantChartView() override;

    // Shows the chart (the view keeps it).
    void setChart(std::unique_ptr<DescendantChartData> chart);
    const DescendantChartData *Chart() const { return m_chart.get(); }
    DescendantChartData *Chart() { return m_chart.get(); }

    // Zoom: 1 is the main chart's size.
    double Zoom() const { return m_zoom; }
    // Zooms keeping the chart point under `anchor` (viewport coordinates) in its place; without
    // an anchor, the middle of the view.
    void setZoom(double zoom, QPointF anchor = QPointF(-1, -1));
    void ZoomIn();
    void ZoomOut();
    void ResetZoom();
    static constexpr double kMinZoom = 0.02;
    static constexpr double kMaxZoom = 4.0;
    static constexpr double kZoomStep = 1.25;

    // Selects the person's box and scrolls it to the middle of the view. False when the person is
    // not in the chart.
    bool SelectKey(const QString &key);
    // The selected person's key, or empty.
    QString SelectedKey() const;
    // Scrolls so that the chart point is in the middle of the view.
    void CentreOn(QPointF chartPoint);
    // The chart point shown at a viewport point.
    QPointF ChartPoint(QPointF viewportPoint) const;
    // The part of the chart in view, in chart coordinates.
    QRectF VisibleChartRect() const;
    // Boxes drawn by the last repaint.
    int LastBoxesDrawn() const { return m_lastDrawn; }

    QSize sizeHint() const override;

signals:
    // A box was clicked (any button): its person's key.
    void PersonClicked(const QString &key);
    void ZoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // Arrows move the selection: Left and Right along a row, Up and Down to the box above or
    // below (the parent, the first child); Home to the top person; Return or Enter tells of the
    // selected box as a click does.
    void keyPressEvent(QKeyEvent *event) override;
    // Scrolling moves what is drawn and paints only the strip that comes into view.
    void scrollContentsBy(int dx, int dy) override;

private:
    void updateScrollBars();
    void select(int person);
    // Selects the person and scrolls its box into view when it is not.
    void moveTo(int person);

    std::unique_ptr<DescendantChartData> m_chart;
    double m_zoom = 1.0;
    int m_lastDrawn = 0;
};
