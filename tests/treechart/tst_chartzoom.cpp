// The main chart's zoom: Ctrl+wheel about the mouse, the keys about the middle, clicks and
// scrolling into view in chart coordinates whatever the zoom, the visible part, and the boxes
// drawn where the zoom puts them (also on a high-density screen).
#include "TreeChart.h"
#include "support_chart.h"

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace {

// A root with 30 children: a row far wider than the view.
struct WideChart
{
    TreeChart chart;
    cNodePtr root;
    std::vector<cNodePtr> children;

    WideChart()
    {
        ApplyMainWindowDesign(chart);
        chart.resize(420, 320);
        root = chart.Levels().AddNew()->Add(MakeNode(QStringLiteral("r")));
        auto row = chart.Levels().AddNew();
        for (int i = 0; i < 30; ++i)
            children.push_back(row->Add(MakeNode(QStringLiteral("c%1").arg(i), root)));
        chart.show();
        chart.Refresh();
    }
    QWidget *canvas() { return chart.findChild<QWidget *>(QStringLiteral("picBase")); }
    // Where a chart point is on the canvas.
    QPointF onCanvas(QPointF chartPoint)
    {
        return chartPoint * chart.Zoom() - QPointF(chart.ScrollOffset());
    }
    void ctrlWheel(QPointF canvasPoint, int notches)
    {
        const QPointF at = canvasPoint + QPointF(canvas()->pos());
        QWheelEvent event(at, chart.mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&chart, &event);
    }
};

QPointF centre(const cNode &n)
{
    return QPointF(n.Center(), (n.Top() + n.Bottom()) / 2.0);
}

} // namespace

class tst_chartzoom : public QObject
{
    Q_OBJECT

private slots:
    void ctrlWheelZoomsAboutTheMouse()
    {
        WideChart w;
        QSignalSpy zoomed(&w.chart, &TreeChart::ZoomChanged);
        const QPointF mouse(200, 60);
        const QPointF before = (mouse + QPointF(w.chart.ScrollOffset())) / w.chart.Zoom();
        w.ctrlWheel(mouse, 2);
        QCOMPARE(w.chart.Zoom(), TreeChart::kZoomStep * TreeChart::kZoomStep);
        QCOMPARE(zoomed.count(), 1);
        const QPointF after = (mouse + QPointF(w.chart.ScrollOffset())) / w.chart.Zoom();
        // Across, where the chart has room to scroll, the point stays under the mouse; the two
        // rows still fit the view's height, so nothing scrolls down.
        QVERIFY2(std::abs(after.x() - before.x()) < 1, qPrintable(QString::number(after.x())));
        QCOMPARE(w.chart.ScrollOffset().y(), 0);
        w.ctrlWheel(mouse, -2);
        QCOMPARE(w.chart.Zoom(), 1.0); // back exactly to the chart's own size
        // A plain wheel still scrolls.
        const int value = w.chart.findChild<QScrollBar *>(QStringLiteral("VScroll"))->value();
        QCOMPARE(value, w.chart.ScrollOffset().y());
    }

    void keysZoomAndStopAtTheLimits()
    {
        WideChart w;
        w.chart.setFocus();
        QTest::keyClick(&w.chart, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(w.chart.Zoom(), TreeChart::kZoomStep);
        QTest::keyClick(&w.chart, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(w.chart.Zoom(), TreeChart::kZoomStep * TreeChart::kZoomStep);
        QTest::keyClick(&w.chart, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(w.chart.Zoom(), 1.0);
        for (int i = 0; i < 40; ++i)
            QTest::keyClick(&w.chart, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(w.chart.Zoom(), TreeChart::kMinZoom);
        // Zoomed out that far the bars scroll the chart at a tenth of its size.
        const int room =
            int(std::ceil(w.chart.ChartSize().width() * TreeChart::kMinZoom)) - w.chart.ViewWidth();
        QCOMPARE(w.chart.findChild<QScrollBar *>(QStringLiteral("HScroll"))->maximum(),
                 std::max(0, room));
        QCOMPARE(w.chart.VisibleChartRect().height(), w.chart.ChartSize().height());
        for (int i = 0; i < 40; ++i)
            w.chart.ZoomIn();
        QCOMPARE(w.chart.Zoom(), TreeChart::kMaxZoom);
    }

    void clicksAndScrollingFollowTheZoom()
    {
        WideChart w;
        w.chart.setZoom(2.0);
        const cNodePtr target = w.children[1];
        w.chart.ScrollIntoView(*target);
        const QPointF at = w.onCanvas(centre(*target));
        QVERIFY(w.canvas()->rect().contains(at.toPoint()));
        QSignalSpy clicks(&w.chart, &TreeChart::NodeClick);
        SendMouse(w.canvas(), QEvent::MouseButtonPress, at);
        SendMouse(w.canvas(), QEvent::MouseButtonRelease, at);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(w.chart.SelectedNode(), target);
        // The last box, far right, scrolled into view at half size.
        w.chart.setZoom(0.5);
        const cNodePtr last = w.children.back();
        w.chart.ScrollIntoView(*last);
        const QPointF right = w.onCanvas(QPointF(last->Right(), last->Bottom()));
        QVERIFY(right.x() <= w.canvas()->width() && right.x() > 0);
        QVERIFY(w.chart.VisibleChartRect().contains(QRect(last->Left(), last->Top(),
                                                          last->Right() - last->Left(),
                                                          last->Bottom() - last->Top())));
    }

    void boxesDrawnWhereTheZoomPutsThem_data()
    {
        QTest::addColumn<qreal>("density");
        QTest::newRow("normal screen") << qreal(1);
        QTest::newRow("high density") << qreal(2);
    }

    void boxesDrawnWhereTheZoomPutsThem()
    {
        QFETCH(qreal, density);
        WideChart w;
        w.chart.setZoom(2.0, QPointF(0, 0));
        QImage image(w.canvas()->size() * density, QImage::Format_ARGB32);
        image.setDevicePixelRatio(density);
        image.fill(Qt::transparent);
        w.canvas()->render(&image);
        const cNode &box = *w.children[0];
        // Inside the box (away from its caption), and in the gap between two rows.
        const QPointF inside = w.onCanvas(QPointF(box.Left() + 3, box.Top() + 3));
        const QPointF gap = w.onCanvas(QPointF(box.Left() + 3, box.Top() - 8));
        const QColor fill = image.pixelColor((inside * density).toPoint());
        const QColor background = image.pixelColor((gap * density).toPoint());
        QVERIFY2(fill != background,
                 qPrintable(fill.name() + QLatin1Char(' ') + background.name()));
        // At zoom 1 that point of the canvas shows the gap's colour or another box: the boxes
        // moved with the zoom.
        QCOMPARE(background, image.pixelColor(QPoint(1, 1) * density));
    }
};

QTEST_MAIN(tst_chartzoom)
#include "tst_chartzoom.moc"
