#include "ChildRowOpener.h"
#include "DescendantChartData.h"
#include "DescendantChartView.h"
#include "DescendantChartWindow.h"
#include "FindPersonDialog.h"
#include "ModalSeam.h"
#include "support_chart.h"
#include "support_people.h"
#include "support_trees.h"

#include <QFontInfo>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

// The descendant chart on screen: drawn as the main chart draws, only what is in view, zoom,
// clicks and finding a person in the window.
class tst_descendantview : public QObject
{
    Q_OBJECT

private slots:
    void looksLikeTheMainChart();
    void drawsOnlyWhatIsInView();
    void zoomKeepsThePointUnderTheWheel();
    void smallCaptionsAreLeftOut();
    void partnerNamesStayInsideTheChart();
    void connectorsStayWhenZoomedOut_data();
    void connectorsStayWhenZoomedOut();
    void clickSelectsAndSignals();
    void windowFindsAndCentres();

private:
    static QImage render(const DescendantChartData &chart, const QRect &rect)
    {
        QImage image(rect.size(), QImage::Format_RGB32);
        QPainter painter(&image);
        painter.translate(-rect.topLeft());
        chart.Painter().Paint(painter, rect);
        return image;
    }
};

void tst_descendantview::looksLikeTheMainChart()
{
    // A line of descent stands in the same places in both charts: the pictures must agree
    // pixel for pixel, thick path and selected colours included.
    cPeople people;
    AddPersons(people, {"a|ROOT|Ann|Ash|Al|Ash", "b|a|Bo|Birch", "c|b|Cy|Cedar|Di|Dale"});
    TreeChart main;
    ApplyMainWindowDesign(main);
    ChildRowOpener opener(main, people, IndexChildren(people));
    opener.ShowRoots();
    for (const char *key : {"a", "b", "c"})
        main.ClickNode(main.Levels().Item(main.Levels().Count())->Item(key));
    main.Refresh();

    DescendantChartData chart(people, IndexChildren(people), "a", main.Settings(), main.Font());
    chart.Painter().setSelected(2);
    QCOMPARE(chart.Geometry().ChartSize(), main.ChartSize());
    const QRect all(QPoint(0, 0), main.ChartSize());
    QCOMPARE(render(chart, all), main.renderRect(all));
    // Also with the captions kept laid out between paints, as the view keeps them.
    chart.Painter().setCaptionCache(true);
    for (int pass = 0; pass < 2; ++pass)
        QCOMPARE(render(chart, all), main.renderRect(all));
    // Any part of it as well.
    const QRect part(60, 40, 70, 150);
    QCOMPARE(render(chart, part), main.renderRect(part));
    // And at any zoom, where the view copies its boxes and draws its captions in runs of many.
    for (const double zoom : {0.45, 0.64, 0.8, 1.6}) {
        const auto zoomed = [&](const std::function<void(QPainter &)> &paint) {
            QImage image((QSizeF(all.size()) * zoom).toSize(), QImage::Format_RGB32);
            QPainter painter(&image);
            painter.scale(zoom, zoom);
            paint(painter);
            return image;
        };
        for (int pass = 0; pass < 2; ++pass)
            QCOMPARE(zoomed([&](QPainter &p) { chart.Painter().Paint(p, all); }),
                     zoomed([&](QPainter &p) { main.paintRect(p, all); }));
    }
}

void tst_descendantview::drawsOnlyWhatIsInView()
{
    const cPeople people = GeneratedPeople(30001, TreeShapes::Star);
    DescendantChartView view;
    view.resize(800, 300);
    view.setChart(std::make_unique<DescendantChartData>(
        people, IndexChildren(people), "p0", ChartSettings::MainWindow(), MainWindowChartFont()));
    view.viewport()->grab();
    const int atStart = view.LastBoxesDrawn();
    QVERIFY2(atStart <= 12, qPrintable(QString::number(atStart)));
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
    const QImage middle = view.viewport()->grab().toImage();
    QVERIFY(view.LastBoxesDrawn() <= 12);
    // The root stands in the middle, over its 30,000 children.
    const QRectF shown = view.VisibleChartRect();
    const QRect root = view.Chart()->Geometry().BoxRect(0);
    QVERIFY(shown.intersects(root));
    const QPoint inRoot = (QPointF(root.left() + 100, root.top() + 5) - shown.topLeft()).toPoint();
    QCOMPARE(middle.pixelColor(inRoot), TranslateColor(0x00DCF0FF));
}

void tst_descendantview::zoomKeepsThePointUnderTheWheel()
{
    const cPeople people = GeneratedPeople(2000, TreeShapes::Bushy(3));
    DescendantChartView view;
    view.resize(600, 400);
    view.setChart(std::make_unique<DescendantChartData>(
        people, IndexChildren(people), "p0", ChartSettings::MainWindow(), MainWindowChartFont()));
    view.horizontalScrollBar()->setValue(3000);
    const QPointF cursor(200, 150);
    const QPointF before = view.ChartPoint(cursor);
    QWheelEvent wheel(cursor, view.viewport()->mapToGlobal(cursor), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &wheel);
    QCOMPARE(view.Zoom(), DescendantChartView::kZoomStep);
    const QPointF after = view.ChartPoint(cursor);
    QVERIFY(std::abs(after.x() - before.x()) < 1 && std::abs(after.y() - before.y()) < 1);
    view.ZoomOut();
    view.ZoomOut();
    QCOMPARE(view.Zoom(), 1 / DescendantChartView::kZoomStep);
    view.ResetZoom();
    QCOMPARE(view.Zoom(), 1.0);
    for (int i = 0; i < 100; ++i)
        view.ZoomOut();
    QCOMPARE(view.Zoom(), DescendantChartView::kMinZoom);
    view.setZoom(100);
    QCOMPARE(view.Zoom(), DescendantChartView::kMaxZoom);
}

void tst_descendantview::smallCaptionsAreLeftOut()
{
    cPeople people;
    AddPersons(people, {"a|ROOT|Ann|Ash"});
    DescendantChartView view;
    view.resize(400, 300);
    view.setChart(std::make_unique<DescendantChartData>(
        people, IndexChildren(people), "a", ChartSettings::MainWindow(), MainWindowChartFont()));
    // The size of a font is its em: 5 pixels and more are drawn.
    const double fontSize = QFontInfo(MainWindowChartFont()).pixelSize();
    view.setZoom(5.05 / fontSize);
    view.viewport()->grab();
    QVERIFY(view.Chart()->Painter().CaptionsShown());
    view.setZoom(4.9 / fontSize);
    view.viewport()->grab();
    QVERIFY(!view.Chart()->Painter().CaptionsShown());
    // Left out, not just drawn small.
    view.Chart()->Painter().setCaptionsShown(true);
    const QImage withText = render(*view.Chart(), QRect(10, 10, 140, 40));
    view.Chart()->Painter().setCaptionsShown(false);
    QVERIFY(render(*view.Chart(), QRect(10, 10, 140, 40)) != withText);
}

// The other parent's name above the last child of the rightmost family is shortened before the
// chart's edge, where an exported picture ends, not cut there in the middle of a letter.
void tst_descendantview::partnerNamesStayInsideTheChart()
{
    cPeople people;
    AddPersons(people, {"a|ROOT|Ann|Ash", "b|a|Bo|Ash", "c|a|Cy|Ash",
                        "p||Bartholomew Wolfgang Amadeus|Montgomery-Fitzwilliam"});
    const cPerson *partner = people.Item("p").get();
    DescendantTree tree =
        DescendantTree::Build({people.Item("a").get()},
                              [&](const cPerson &person, std::vector<DescendantTree::Linked> &out) {
                                  if (person.Key() == QLatin1String("a")) {
                                      out.push_back({people.Item("b").get(), nullptr});
                                      out.push_back({people.Item("c").get(), partner});
                                  }
                              });
    const DescendantChartData chart(people, std::move(tree), "a", ChartSettings::MainWindow(),
                                    MainWindowChartFont());
    // The margin right of the last box stays empty: the name ends before it.
    const QSize size = chart.Geometry().ChartSize();
    const QImage image = render(chart, QRect(QPoint(0, 0), size));
    const QRgb background = image.pixel(image.width() - 1, 0);
    bool inked = false;
    for (int y = 0; y < image.height() && !inked; ++y)
        for (int x = size.width() - 4; x < image.width() && !inked; ++x)
            inked = image.pixel(x, y) != background;
    QVERIFY(!inked);
    // The name is there, shortened.
    QVERIFY(render(chart, QRect(QPoint(0, 0), size)) !=
            render(DescendantChartData(people,
                                       DescendantTree::Build(people, IndexChildren(people), "a"),
                                       "a", ChartSettings::MainWindow(), MainWindowChartFont()),
                   QRect(QPoint(0, 0), size)));
}

void tst_descendantview::connectorsStayWhenZoomedOut_data()
{
    QTest::addColumn<double>("zoom");
    QTest::newRow("64 %") << 0.64;
    QTest::newRow("30 %") << 0.3;
    QTest::newRow("11 %") << 0.11;
}

void tst_descendantview::connectorsStayWhenZoomedOut()
{
    // One-pixel lines must not fall between the pixels of a zoomed-out view: the bar over the
    // children runs unbroken, and a line reaches down into every child.
    QFETCH(double, zoom);
    cPeople people;
    AddPersons(people, {"a|ROOT|A", "b|a|B", "c|a|C", "d|a|D", "e|a|E"});
    DescendantChartView view;
    view.resize(500, 300);
    view.setChart(std::make_unique<DescendantChartData>(
        people, IndexChildren(people), "a", ChartSettings::MainWindow(), MainWindowChartFont()));
    view.setZoom(zoom);
    const QImage image = view.viewport()->grab().toImage();
    const QColor line = TranslateColor(ChartSettings::MainWindow().ConnectorColor);
    const DescendantGeometry &g = view.Chart()->Geometry();
    const auto lineIn = [&](int x, double top, double bottom) {
        for (int y = int(top * zoom); y <= int(bottom * zoom) + 1; ++y) {
            if (image.pixelColor(x, y) == line)
                return true;
        }
        return false;
    };
    const double parentBottom = g.Bottom(0);
    const double childTop = g.Top(1);
    for (int x = int(g.Center(1) * zoom) + 1; x < int(g.Center(4) * zoom); ++x)
        QVERIFY2(lineIn(x, parentBottom, childTop), qPrintable(QString::number(x)));
    for (int child = 1; child <= 4; ++child) {
        const int x = int(g.Center(child) * zoom);
        QVERIFY(lineIn(x, childTop - 3, childTop) || lineIn(x + 1, childTop - 3, childTop));
    }
}

void tst_descendantview::clickSelectsAndSignals()
{
    cPeople people;
    AddPersons(people, {"a|ROOT|Ann", "b|a|Bo", "c|a|Cy"});
    DescendantChartView view;
    view.resize(500, 300);
    view.setChart(std::make_unique<DescendantChartData>(people, IndexChildren(people), QString(),
                                                        ChartSettings::MainWindow(),
                                                        MainWindowChartFont()));
    QStringList clicked;
    connect(&view, &DescendantChartView::PersonClicked, [&](const QString &k) { clicked << k; });
    view.setZoom(2, QPointF(0, 0));
    // c is the second child: chart 170..310 x 90..130, at zoom 2 from (340, 180).
    const QPointF onC = QPointF(345, 185) - QPointF(view.horizontalScrollBar()->value(),
                                                    view.verticalScrollBar()->value());
    SendMouse(view.viewport(), QEvent::MouseButtonRelease, onC, Qt::RightButton);
    SendMouse(view.viewport(), QEvent::MouseButtonRelease, QPointF(2, 2));
    QCOMPARE(clicked, QStringList{"c"});
    QCOMPARE(view.SelectedKey(), QStringLiteral("c"));
}

void tst_descendantview::windowFindsAndCentres()
{
    const cPeople people = GeneratedPeople(5000, TreeShapes::Bushy(9));
    DescendantChartWindow window(people, IndexChildren(people), "p0", ChartSettings::MainWindow(),
                                 MainWindowChartFont(), {});
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    QCOMPARE(window.objectName(), QStringLiteral("frmDescendants"));
    QCOMPARE(window.View()->SelectedKey(), QStringLiteral("p0"));
    QCOMPARE(window.findChild<QAction *>("mnuEditFind")->shortcut(), QKeySequence("Ctrl+F"));
    QCOMPARE(window.findChild<QAction *>("mnuViewZoomIn")->shortcuts(),
             QList<QKeySequence>({QKeySequence("Ctrl++"), QKeySequence("Ctrl+=")}));
    int listed = 0;
    ScopedModalDriver driver([&](QDialog &dialog) -> int {
        auto &find = static_cast<FindPersonDialog &>(dialog);
        listed = find.MatchCount();
        QTest::keyClicks(dialog.findChild<QLineEdit *>("txtFind"), "last4321");
        QTest::keyClick(dialog.findChild<QLineEdit *>("txtFind"), Qt::Key_Return);
        return dialog.result();
    });
    window.FindPerson();
    QCOMPARE(listed, 5000); // the persons of this chart
    QCOMPARE(window.View()->SelectedKey(), QStringLiteral("p4321"));
    const QRect box =
        window.View()->Chart()->Geometry().BoxRect(window.View()->Chart()->Tree().Find("p4321"));
    const QRectF shown = window.View()->VisibleChartRect();
    QVERIFY(std::abs(shown.center().x() - QRectF(box).center().x()) < 2 ||
            !window.View()->horizontalScrollBar()->maximum());
    QVERIFY(shown.contains(QRectF(box).center()));
}

QTEST_MAIN(tst_descendantview)
#include "tst_descendantview.moc"
