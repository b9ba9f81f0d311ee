#include "support_chart.h"

#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <qtestspontaneevent.h>

// Mouse, hit testing, selection, scrolling and when the chart draws.
class tst_chartinteraction : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void hitEdgesAndShadowStrip_data();
    void hitEdgesAndShadowStrip();
    void overlappingBoxesEarlierWins();
    void clickAndDoubleClickOrder();
    void doubleClickUsesLastRelease();
    void everyButtonSelectsAndMovesSelection();
    void clickOnEmptyCanvasKeepsSelection();
    void selectedNodeSetterKeepsOldFlag();
    void handlerMayCutRowsOfClickedNode();
    void handlerMayKeepTheNode();
    void disabledChartIgnoresMouse();
    void longRowScrollsToEveryBox();
    void shorterRefreshEndsAtFarEnd();
    void emptyChartScrollBars();
    void tinyControlHasNoNegativeView();
    void settersRedrawWhenRunning();
    void designModeStoresWithoutDrawing();
    void clearBlanksWithoutTouchingBars();
    void wheelScrollsTheChart();

private:
    QWidget *canvas() const { return m_chart->findChild<QWidget *>(QStringLiteral("picBase")); }
    // Presses and releases at a chart point (the chart's scroll offset taken off).
    void click(QPointF chartPoint, Qt::MouseButton button = Qt::LeftButton);
    QStringList m_log;
    TreeChart *m_chart = nullptr;
    ExampleChart m_e;
};

void tst_chartinteraction::init()
{
    m_chart = new TreeChart;
    m_chart->setObjectName(QStringLiteral("VTree"));
    ApplyMainWindowDesign(*m_chart);
    m_chart->resize(700, 320);
    m_e = BuildExample(m_chart->Levels());
    m_chart->Refresh();
    m_log.clear();
    connect(m_chart, &TreeChart::MouseDown, this, [this](short b, short, float x, float y) {
        m_log << QStringLiteral("down %1 %2,%3").arg(b).arg(x).arg(y);
    });
    connect(m_chart, &TreeChart::MouseUp, this, [this](short b, short, float x, float y) {
        m_log << QStringLiteral("up %1 %2,%3").arg(b).arg(x).arg(y);
    });
    connect(m_chart, &TreeChart::NodeClick, this, [this](const cNodePtr &n, bool partA) {
        m_log << QStringLiteral("click %1 %2").arg(n->Key()).arg(partA);
    });
    connect(m_chart, &TreeChart::NodeDblClick, this, [this](const cNodePtr &n, bool partA) {
        m_log << QStringLiteral("dbl %1 %2").arg(n->Key()).arg(partA);
    });
}

void tst_chartinteraction::cleanup()
{
    delete m_chart;
    m_chart = nullptr;
}

void tst_chartinteraction::click(QPointF chartPoint, Qt::MouseButton button)
{
    const QPointF pos = chartPoint - QPointF(m_chart->ScrollOffset());
    SendMouse(canvas(), QEvent::MouseButtonPress, pos, button);
    SendMouse(canvas(), QEvent::MouseButtonRelease, pos, button);
}

void tst_chartinteraction::hitEdgesAndShadowStrip_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QString>("expected");
    // The root box spans 10..150 x 10..50; its shadow reaches 152 x 52.
    QTest::newRow("left-top corner") << QPointF(10, 10) << "click r 1";
    QTest::newRow("right edge") << QPointF(150, 20) << "click r 1";
    QTest::newRow("bottom edge") << QPointF(100, 50) << "click r 0";
    QTest::newRow("shadow right") << QPointF(151, 20) << "";
    QTest::newRow("shadow bottom") << QPointF(100, 51) << "";
    QTest::newRow("left of box") << QPointF(9.5, 20) << "";
    QTest::newRow("just above divider") << QPointF(100, 29.75) << "click r 1";
    QTest::newRow("on divider") << QPointF(100, 30) << "click r 0";
    QTest::newRow("third child") << QPointF(400, 100) << "click c3 1";
    QTest::newRow("gap between rows") << QPointF(100, 70) << "";
}

void tst_chartinteraction::hitEdgesAndShadowStrip()
{
    QFETCH(QPointF, point);
    QFETCH(QString, expected);
    click(point);
    QCOMPARE(m_log.size(), expected.isEmpty() ? 2 : 3);
    if (!expected.isEmpty())
        QCOMPARE(m_log.last(), expected);
}

void tst_chartinteraction::overlappingBoxesEarlierWins()
{
    m_chart->Clear();
    auto row1 = m_chart->Levels().AddNew();
    row1->Add(MakeNode("a"));
    row1->Add(MakeNode("b"));
    auto row2 = m_chart->Levels().AddNew();
    row2->Add(MakeNode("c"));
    m_chart->setNodeSpaceH(-70); // b starts at 80, inside a
    m_chart->setNodeSpaceV(-20); // row 2 starts at 30, inside row 1
    m_chart->Refresh();
    click(QPointF(100, 20));
    QCOMPARE(m_log.last(), QStringLiteral("click a 1"));
    click(QPointF(40, 40));
    QCOMPARE(m_log.last(), QStringLiteral("click a 0"));
    click(QPointF(160, 20));
    QCOMPARE(m_log.last(), QStringLiteral("click b 1"));
    click(QPointF(40, 60));
    QCOMPARE(m_log.last(), QStringLiteral("click c 0"));
}

void tst_chartinteraction::clickAndDoubleClickOrder()
{
    const QPointF pos(170 + 20, 90 + 5); // upper half of c2
    SendMouse(canvas(), QEvent::MouseButtonPress, pos);
    SendMouse(canvas(), QEvent::MouseButtonRelease, pos);
    SendMouse(canvas(), QEvent::MouseButtonDblClick, pos);
    SendMouse(canvas(), QEvent::MouseButtonRelease, pos);
    QCOMPARE(m_log, QStringList({"down 1 190,95", "up 1 190,95", "click c2 1", "dbl c2 1",
                                 "up 1 190,95", "click c2 1"}));
    QVERIFY(m_e.c2->Selected());
    QCOMPARE(m_chart->SelectedNode(), m_e.c2);
}

void tst_chartinteraction::doubleClickUsesLastRelease()
{
    click(QPointF(20.5, 45.5)); // lower half of the root, rounds to 20, 46
    QCOMPARE(m_chart->LastX(), 20);
    QCOMPARE(m_chart->LastY(), 46);
    click(QPointF(13.5, 10.5));
    QCOMPARE(m_chart->LastX(), 14);
    QCOMPARE(m_chart->LastY(), 10);
    m_log.clear();
    // The double-click itself carries no position.
    SendMouse(canvas(), QEvent::MouseButtonDblClick, QPointF(400, 300));
    QCOMPARE(m_log, QStringList({"dbl r 1"}));
    // No box at the last release point: nothing.
    click(QPointF(5, 5));
    m_log.clear();
    SendMouse(canvas(), QEvent::MouseButtonDblClick, QPointF(20, 20));
    QVERIFY(m_log.isEmpty());
}

void tst_chartinteraction::everyButtonSelectsAndMovesSelection()
{
    click(QPointF(20, 100), Qt::RightButton);
    QCOMPARE(m_log, QStringList({"down 2 20,100", "up 2 20,100", "click c1 1"}));
    QVERIFY(m_e.c1->Selected());
    click(QPointF(200, 120), Qt::MiddleButton);
    QCOMPARE(m_log.last(), QStringLiteral("click c2 0"));
    QVERIFY(!m_e.c1->Selected());
    QVERIFY(m_e.c2->Selected());
    QCOMPARE(m_chart->SelectedNode(), m_e.c2);
    // Clicking the selected box again leaves it selected.
    click(QPointF(200, 120));
    QVERIFY(m_e.c2->Selected());
}

void tst_chartinteraction::clickOnEmptyCanvasKeepsSelection()
{
    click(QPointF(20, 100));
    const int draws = m_chart->DrawCount();
    click(QPointF(600, 20));
    QCOMPARE(m_log.size(), 5);
    QCOMPARE(m_chart->SelectedNode(), m_e.c1);
    QVERIFY(m_e.c1->Selected());
    QCOMPARE(m_chart->DrawCount(), draws); // clicks never draw
}

void tst_chartinteraction::selectedNodeSetterKeepsOldFlag()
{
    m_chart->setSelectedNode(m_e.c1);
    const int draws = m_chart->DrawCount();
    m_chart->setSelectedNode(m_e.c3);
    QVERIFY(m_e.c1->Selected());
    QVERIFY(m_e.c3->Selected());
    QCOMPARE(m_chart->SelectedNode(), m_e.c3);
    QCOMPARE(m_chart->DrawCount(), draws);
    m_chart->setSelectedNode(nullptr);
    QVERIFY(!m_chart->SelectedNode());
}

void tst_chartinteraction::handlerMayCutRowsOfClickedNode()
{
    // The host's handler removes every row and refreshes; the node stays valid for the signal.
    connect(m_chart, &TreeChart::NodeClick, this, [this](const cNodePtr &node, bool) {
        m_chart->Levels().Truncate(0);
        m_chart->Refresh();
        m_log << node->Key();
    });
    std::weak_ptr<cNode> watch = m_e.g2;
    m_e = ExampleChart();
    click(QPointF(500, 180));
    QCOMPARE(m_log.last(), QStringLiteral("g2"));
    QVERIFY(!watch.expired()); // kept by the selection
    m_chart->Clear();
    QVERIFY(watch.expired());
}

void tst_chartinteraction::handlerMayKeepTheNode()
{
    cNodePtr kept;
    connect(m_chart, &TreeChart::NodeDblClick, this,
            [&kept](const cNodePtr &node, bool) { kept = node; });
    click(QPointF(500, 180));
    SendMouse(canvas(), QEvent::MouseButtonDblClick, QPointF(500, 180));
    m_e = ExampleChart();
    delete m_chart;
    m_chart = nullptr;
    QVERIFY(kept);
    QCOMPARE(kept->Key(), QStringLiteral("g2"));
    QCOMPARE(kept->ParentNode()->Key(), QStringLiteral("c3"));
}

void tst_chartinteraction::disabledChartIgnoresMouse()
{
    m_chart->setEnabled(false);
    QVERIFY(!m_chart->Enabled());
    click(QPointF(20, 20));
    QVERIFY(m_log.isEmpty());
    QVERIFY(!m_e.root->Selected());
    m_chart->setEnabled(true);
    click(QPointF(20, 20));
    QCOMPARE(m_log.last(), QStringLiteral("click r 1"));
}

void tst_chartinteraction::longRowScrollsToEveryBox()
{
    auto row = m_chart->Levels().Item(3);
    for (int i = 0; i < 1000; ++i)
        row->Add(MakeNode(QStringLiteral("n%1").arg(i), m_e.c3));
    m_chart->Refresh();
    auto *bar = m_chart->findChild<QScrollBar *>(QStringLiteral("HScroll"));
    const int canvasWidth = m_chart->CanvasSize().width();
    const cNodePtr last = row->Item(row->Count());
    QCOMPARE(canvasWidth, last->Right() + 10);
    QVERIFY(canvasWidth > 100000);
    QCOMPARE(bar->maximum(), canvasWidth - m_chart->ViewWidth());
    QCOMPARE(bar->singleStep(), 160);
    QCOMPARE(bar->pageStep(), m_chart->ViewWidth());

    // A click at one screen position hits a different box after scrolling.
    const QPointF screen(500, 180);
    SendMouse(canvas(), QEvent::MouseButtonRelease, screen);
    QCOMPARE(m_log.last(), QStringLiteral("click g2 1"));
    bar->setValue(bar->maximum());
    QCOMPARE(m_chart->ScrollOffset().x(), bar->maximum());
    const QPointF onLast(last->Left() + 5 - m_chart->ScrollOffset().x(), 180);
    SendMouse(canvas(), QEvent::MouseButtonRelease, onLast);
    QCOMPARE(m_log.last(), QStringLiteral("click n999 1"));
    // The thumb being dragged moves the canvas too.
    emit bar->sliderMoved(160);
    QCOMPARE(m_chart->ScrollOffset().x(), 160);
    // Layout is unchanged by clicks and scrolling: no redraw happened.
    QCOMPARE(last->Left(), 490 + 1000 * 160);
}

void tst_chartinteraction::shorterRefreshEndsAtFarEnd()
{
    auto row = m_chart->Levels().Item(3);
    for (int i = 0; i < 50; ++i)
        row->Add(MakeNode(QStringLiteral("n%1").arg(i), m_e.c3));
    m_chart->setNodeSpaceV(400); // tall enough to scroll down as well
    auto *hbar = m_chart->findChild<QScrollBar *>(QStringLiteral("HScroll"));
    auto *vbar = m_chart->findChild<QScrollBar *>(QStringLiteral("VScroll"));
    hbar->setValue(hbar->maximum());
    vbar->setValue(vbar->maximum());
    const int oldMax = hbar->maximum();
    for (int i = 0; i < 45; ++i)
        row->Remove(row->Count());
    m_chart->setNodeSpaceV(200);
    QVERIFY(hbar->maximum() < oldMax);
    QCOMPARE(hbar->value(), hbar->maximum());
    QCOMPARE(vbar->value(), vbar->maximum());
    QCOMPARE(m_chart->ScrollOffset(),
             QPoint(m_chart->CanvasSize().width() - m_chart->ViewWidth(),
                    m_chart->CanvasSize().height() - m_chart->ViewHeight()));
}

void tst_chartinteraction::emptyChartScrollBars()
{
    m_chart->Clear();
    m_chart->Refresh();
    for (const char *name : {"HScroll", "VScroll"}) {
        auto *bar = m_chart->findChild<QScrollBar *>(QString::fromLatin1(name));
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 0);
        QCOMPARE(bar->singleStep(), 1);
        QCOMPARE(bar->pageStep(), 1);
    }
    QCOMPARE(m_chart->CanvasSize(), QSize(m_chart->ViewWidth(), m_chart->ViewHeight()));
    QCOMPARE(m_chart->ViewWidth(), 700 - 2 - m_chart->BarThickness());
}

void tst_chartinteraction::tinyControlHasNoNegativeView()
{
    m_chart->resize(8, 300);
    m_chart->Refresh();
    QCOMPARE(m_chart->ViewWidth(), 0);
    QVERIFY(m_chart->ViewHeight() > 0);
    QVERIFY(m_chart->CanvasSize().width() >= 632);
}

void tst_chartinteraction::settersRedrawWhenRunning()
{
    QSignalSpy changed(m_chart, &TreeChart::PropertyChanged);
    int draws = m_chart->DrawCount();
    m_chart->setNodeWidth(100);
    QCOMPARE(m_chart->DrawCount(), ++draws);
    QCOMPARE(m_e.c2->Left(), 10 + 120);
    QCOMPARE(changed.last().at(0).toString(), QStringLiteral("NodeWidth"));

    // The horizontal gap waits for the next Refresh.
    m_chart->setNodeSpaceH(50);
    QCOMPARE(m_chart->DrawCount(), draws);
    QCOMPARE(m_e.c2->Left(), 130);
    QCOMPARE(changed.last().at(0).toString(), QStringLiteral("NodeSpaceH"));
    m_chart->Refresh();
    QCOMPARE(m_e.c2->Left(), 160);
    draws = m_chart->DrawCount();

    m_chart->setProperty("OffsetX", 30); // property pages write by name
    QCOMPARE(m_chart->DrawCount(), ++draws);
    QCOMPARE(m_e.root->Left(), 30);
    m_chart->setBackColor(0x00FFFFFF);
    m_chart->setConnectorColor(0);
    m_chart->setExpand(0);
    m_chart->setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QCOMPARE(m_chart->DrawCount(), draws + 4);
    QCOMPARE(m_e.g2->Left(), 30 + 150);
    m_chart->setEnabled(false);
    QCOMPARE(m_chart->DrawCount(), draws + 4);
}

void tst_chartinteraction::designModeStoresWithoutDrawing()
{
    QSignalSpy changed(m_chart, &TreeChart::PropertyChanged);
    m_chart->setUserMode(false);
    const int draws = m_chart->DrawCount();
    m_chart->setNodeWidth(90);
    m_chart->setNodeBgColorA(0x0000FF);
    QCOMPARE(m_chart->DrawCount(), draws);
    QCOMPARE(m_chart->NodeWidth(), 90);
    QCOMPARE(m_chart->property("NodeBgColorA").toUInt(), 0x0000FFu);
    QCOMPARE(changed.size(), 2);
    QCOMPARE(m_e.root->Right(), 152);
    m_chart->setUserMode(true);
}

void tst_chartinteraction::clearBlanksWithoutTouchingBars()
{
    auto row = m_chart->Levels().Item(3);
    for (int i = 0; i < 20; ++i)
        row->Add(MakeNode(QStringLiteral("n%1").arg(i), m_e.c3));
    m_chart->Refresh();
    auto *hbar = m_chart->findChild<QScrollBar *>(QStringLiteral("HScroll"));
    hbar->setValue(100);
    const int max = hbar->maximum();
    const int draws = m_chart->DrawCount();
    m_chart->Clear();
    QCOMPARE(m_chart->DrawCount(), draws);
    QCOMPARE(hbar->maximum(), max);
    QCOMPARE(hbar->value(), 100);
    QCOMPARE(m_chart->Levels().Count(), 0);
    const QImage blank = m_chart->renderRect(QRect(0, 0, 300, 200));
    QCOMPARE(blank.pixelColor(30, 30), TranslateColor(0x00F0FFFF));
    QCOMPARE(blank.pixelColor(160, 71), TranslateColor(0x00F0FFFF));
    // A click on an empty chart gives only MouseUp.
    m_log.clear();
    click(QPointF(20, 20));
    QCOMPARE(m_log.size(), 2);
}

// The wheel over the boxes: vertically a row of boxes a notch, with Shift a box across; a fine
// wheel adds up, a touchpad moves by its pixels; Ctrl+wheel zooms; at the end the event
// goes on.
void tst_chartinteraction::wheelScrollsTheChart()
{
    m_chart->resize(300, 150);
    m_chart->Refresh();
    auto *down = m_chart->findChild<QScrollBar *>(QStringLiteral("VScroll"));
    auto *across = m_chart->findChild<QScrollBar *>(QStringLiteral("HScroll"));
    QCOMPARE(down->singleStep(), 80);    // NodeHeight + NodeSpaceV
    QCOMPARE(across->singleStep(), 160); // NodeWidth + NodeSpaceH
    const int downMax = down->maximum();
    const int acrossMax = across->maximum();
    QVERIFY(downMax > 80 && acrossMax > 160);
    // As the window system sends it: over the boxes, passed on to the parents that ignore it.
    const auto turn = [this](QPoint angle, Qt::KeyboardModifiers modifiers = {},
                             QPoint pixels = {}) {
        const QPointF at(20, 20);
        QWheelEvent event(at, canvas()->mapToGlobal(at), pixels, angle, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        // Delivered as from the window system: Qt passes only such wheel events on to the
        // parents (sendEvent would mark it as the program's own).
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(canvas(), &event);
        return event.isAccepted();
    };

    QVERIFY(turn(QPoint(0, -120)));
    QCOMPARE(down->value(), 80);
    QCOMPARE(m_chart->ScrollOffset(), QPoint(0, 80));
    while (down->value() < downMax)
        QVERIFY(turn(QPoint(0, -120)));
    QVERIFY(!turn(QPoint(0, -120))); // at the end: not the chart's
    QVERIFY(turn(QPoint(0, 120)));
    QCOMPARE(down->value(), downMax - 80);

    QVERIFY(turn(QPoint(0, -120), Qt::ShiftModifier));
    QCOMPARE(across->value(), 160);
    QCOMPARE(down->value(), downMax - 80);
    QVERIFY(turn(QPoint(120, 0))); // a sideways wheel
    QCOMPARE(across->value(), 0);
    // Ctrl+wheel zooms (tst_chartzoom), taken by the chart whatever else is held.
    QVERIFY(turn(QPoint(0, -120), Qt::ShiftModifier | Qt::ControlModifier));
    QCOMPARE(m_chart->Zoom(), 1 / TreeChart::kZoomStep);
    m_chart->ResetZoom();
    across->setValue(0);

    // A fine wheel's thirds of a notch move a third of the step each, adding up to the step.
    down->setValue(0);
    QVERIFY(turn(QPoint(0, -40)));
    QCOMPARE(down->value(), 26);
    QVERIFY(turn(QPoint(0, -40)));
    QCOMPARE(down->value(), 53);
    QVERIFY(turn(QPoint(0, -40)));
    QCOMPARE(down->value(), 80);
    // A touchpad moves the chart by its pixels, both ways at once.
    QVERIFY(turn(QPoint(0, 0), {}, QPoint(-7, 25)));
    QCOMPARE(m_chart->ScrollOffset(), QPoint(7, 55));
}

QTEST_MAIN(tst_chartinteraction)
#include "tst_chartinteraction.moc"
