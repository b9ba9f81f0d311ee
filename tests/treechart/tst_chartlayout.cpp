#include "ChartLayout.h"
#include "support_chart.h"

#include <QTest>

using namespace Chart;

// Placement of boxes and canvas size, without a window.
class tst_chartlayout : public QObject
{
    Q_OBJECT

private slots:
    void workedExample();
    void roundHalfEven_data();
    void roundHalfEven();
    void oddWidthCentre();
    void expandZeroIgnoresParents();
    void expandOneWithoutParent();
    void expandOtherKeepsHorizontalPlaces();
    void emptyLevelsAndEmptyRows();
    void rightMarginNeverCutsABox();
    void visitorSeesNodesInLayoutOrder();
};

static void checkBox(const cNodePtr &n, int left, int right, int center, int top, int bottom)
{
    QCOMPARE(n->Left(), left);
    QCOMPARE(n->Right(), right);
    QCOMPARE(n->Center(), center);
    QCOMPARE(n->Top(), top);
    QCOMPARE(n->Bottom(), bottom);
}

void tst_chartlayout::workedExample()
{
    cLevels levels;
    const ExampleChart e = BuildExample(levels);
    const QSize canvas = ChartLayout::Arrange(levels, ChartSettings::MainWindow(), 300, 100);
    checkBox(e.root, 10, 152, 80, 10, 52);
    checkBox(e.c1, 10, 152, 80, 90, 132);
    checkBox(e.c2, 170, 312, 240, 90, 132);
    checkBox(e.c3, 330, 472, 400, 90, 132);
    checkBox(e.g1, 170, 312, 240, 170, 212);
    checkBox(e.g2, 490, 632, 560, 170, 212);
    QCOMPARE(canvas, QSize(642, 220));
    // A larger visible area wins.
    QCOMPARE(ChartLayout::Arrange(levels, ChartSettings::MainWindow(), 800, 500), QSize(800, 500));
}

void tst_chartlayout::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("77.5") << 77.5 << 78;
    QTest::newRow("78.5") << 78.5 << 78;
    QTest::newRow("2.4") << 2.4 << 2;
    QTest::newRow("2.6") << 2.6 << 3;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("-1.5") << -1.5 << -2;
    QTest::newRow("-2.5") << -2.5 << -2;
}

void tst_chartlayout::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(ChartLayout::RoundHalfEven(value), expected);
}

void tst_chartlayout::oddWidthCentre()
{
    ChartSettings s;
    s.NodeWidth = 135;
    s.OffsetX = 10;
    cLevels levels;
    auto node = levels.AddNew()->Add(MakeNode("a"));
    ChartLayout::Arrange(levels, s, 0, 0);
    QCOMPARE(node->Center(), 78);
    s.OffsetX = 11;
    ChartLayout::Arrange(levels, s, 0, 0);
    QCOMPARE(node->Center(), 78);
    QCOMPARE(node->Right(), 11 + 135 + 2);
}

void tst_chartlayout::expandZeroIgnoresParents()
{
    cLevels levels;
    const ExampleChart e = BuildExample(levels);
    ChartSettings s = ChartSettings::MainWindow();
    s.Expand = 0;
    ChartLayout::Arrange(levels, s, 0, 0);
    checkBox(e.g1, 10, 152, 80, 170, 212);
    checkBox(e.g2, 170, 312, 240, 170, 212);
    QCOMPARE(e.c3->Left(), 330);
}

void tst_chartlayout::expandOneWithoutParent()
{
    cLevels levels;
    const ExampleChart e = BuildExample(levels);
    auto orphan = levels.Item(3)->Add(MakeNode("orphan"));
    ChartLayout::Arrange(levels, ChartSettings::MainWindow(), 0, 0);
    checkBox(orphan, 330, 472, 400, 170, 212);
}

void tst_chartlayout::expandOtherKeepsHorizontalPlaces()
{
    cLevels levels;
    const ExampleChart e = BuildExample(levels);
    ChartSettings s = ChartSettings::MainWindow();
    ChartLayout::Arrange(levels, s, 0, 0);
    s.Expand = 2;
    s.NodeSpaceV = 60;
    auto added = levels.Item(3)->Add(MakeNode("new"));
    const QSize canvas = ChartLayout::Arrange(levels, s, 0, 0);
    checkBox(e.g2, 490, 632, 560, 210, 252);
    checkBox(added, 0, 0, 0, 210, 252);
    QCOMPARE(canvas.width(), 642); // from the kept places
    QCOMPARE(canvas.height(), 3 * 100 + 20 - 60);
}

void tst_chartlayout::emptyLevelsAndEmptyRows()
{
    cLevels levels;
    QCOMPARE(ChartLayout::Arrange(levels, ChartSettings(), 320, 240), QSize(320, 240));
    // One row with one box and default margins: H + 2 x OY high.
    auto node = levels.AddNew()->Add(MakeNode("a"));
    QCOMPARE(ChartLayout::Arrange(levels, ChartSettings(), 10, 10), QSize(100 + 132 + 100, 235));
    // Empty rows still take their height.
    levels.AddNew();
    levels.AddNew();
    auto low = levels.Item(3)->Add(MakeNode("b"));
    const QSize canvas = ChartLayout::Arrange(levels, ChartSettings(), 10, 10);
    QCOMPARE(canvas.height(), 3 * (35 + 150) + 200 - 150);
    QCOMPARE(low->Top(), 100 + 2 * 185);
    QCOMPARE(node->Top(), 100);
}

void tst_chartlayout::rightMarginNeverCutsABox()
{
    // Rows shifted by their parents: the rightmost boxes' Right grows by less than OffsetX.
    ChartSettings s = ChartSettings::MainWindow();
    s.NodeSpaceH = -135; // boxes 5 pixels apart
    cLevels levels;
    auto row = levels.AddNew();
    cNodePtr last;
    for (int i = 0; i < 3; ++i)
        last = row->Add(MakeNode(QStringLiteral("n%1").arg(i)));
    const QSize canvas = ChartLayout::Arrange(levels, s, 0, 0);
    QVERIFY(canvas.width() >= last->Right());
    QVERIFY(canvas.width() - last->Right() < s.OffsetX);
    // maxX: 162 after the first box; Right 157 and 162 do not widen it: no right margin left.
    QCOMPARE(last->Right(), 162);
    QCOMPARE(canvas.width(), 162);
}

void tst_chartlayout::visitorSeesNodesInLayoutOrder()
{
    cLevels levels;
    BuildExample(levels);
    QStringList order;
    ChartLayout::Arrange(levels, ChartSettings::MainWindow(), 0, 0, [&](cNode &n) {
        // The parent is already placed when its child is visited.
        if (n.ParentNode())
            QVERIFY(n.ParentNode()->Bottom() != 0);
        order << n.Key();
    });
    QCOMPARE(order, QStringList({"r", "c1", "c2", "c3", "g1", "g2"}));
}

QTEST_MAIN(tst_chartlayout)
#include "tst_chartlayout.moc"
