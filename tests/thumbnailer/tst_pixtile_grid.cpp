// Grid geometry, visible range, offset rule, memory cell store, fitting and sorting.
#include "GridGeometry.h"
#include "RecordSorter.h"
#include "ThumbRenderer.h"
#include "cMemDCs.h"

#include <QtTest>

using namespace Pixtile;

class TestPixtileGrid : public QObject
{
    Q_OBJECT

private slots:
    void borderWidths();
    void derivedGeometry();
    void exactFitWithVerticalBar();
    void overhangAndBottomAlignment();
    void narrowControlScrollsByPixels();
    void everythingFits();
    void offsetRule();
    void cellStoreOneRow();
    void cellStoreSplitsWhenLargeBitmapFails();
    void cellStoreFailsBelowTwoRows();
    void addBlockForHundredCells();
    void fitting();
    void sortingAllKeys_data();
    void sortingAllKeys();
    void sortableDate();

private:
    static GridGeometry noLabels(int scrollBar = 16)
    {
        GridSettings s;
        s.hasLabel = false;
        return GridGeometry::compute(s, 13, scrollBar);
    }
};

void TestPixtileGrid::borderWidths()
{
    QCOMPARE(OuterBorderWidth(0), 1);
    QCOMPARE(OuterBorderWidth(3), 1);
    QCOMPARE(OuterBorderWidth(4), 2);
    QCOMPARE(OuterBorderWidth(99), 2);
    QCOMPARE(InnerBorderWidth(0), 0);
    QCOMPARE(InnerBorderWidth(1), 1);
    QCOMPARE(InnerBorderWidth(4), 1);
    QCOMPARE(InnerBorderWidth(5), 2);
    QCOMPARE(InnerBorderWidth(8), 2);
    QCOMPARE(InnerBorderWidth(9), 0);
    QCOMPARE(LabelBorderWidth(3), 1);
    QCOMPARE(LabelBorderWidth(5), 2);
}

void TestPixtileGrid::derivedGeometry()
{
    GridSettings s; // defaults: 60 x 60, space 10, labels with thin sunken border
    const GridGeometry g = GridGeometry::compute(s, 13, 0);
    QCOMPARE(g.labelHeight, 2 * 1 + 13 + 1);
    QCOMPARE(g.columnPitch, 70);
    QCOMPARE(g.rowPitch, 60 + 16 + 10 + 1);
    QCOMPARE(g.scrollBarSize, 16);
    s.labelBorderStyle = 5;
    QCOMPARE(GridGeometry::compute(s, 13, 17).labelHeight, 2 * 2 + 13 + 1);
    QCOMPARE(noLabels().rowPitch, 70);
}

void TestPixtileGrid::exactFitWithVerticalBar()
{
    // 25 items, a surface of exactly 4 columns and 3 rows.
    const GridGeometry g = noLabels();
    const GridLayout l = GridLayout::compute(g, 316, 220, 25);
    QVERIFY(l.verticalBar);
    QVERIFY(!l.horizontalBar);
    QCOMPARE(l.columns, 4);
    QCOMPARE(l.rows, 7);
    QCOMPARE(l.surfaceWidth, 300);
    QCOMPARE(l.verticalMax, 4);
    QCOMPARE(l.verticalLargeChange, 3);
    QCOMPARE(l.visibleAreaWidth, 300);
    const VisibleRange r = VisibleRange::compute(g, l.surfaceWidth, l.surfaceHeight, 25, l.rows,
                                                 true, 0, l.verticalMax, false);
    QCOMPARE(r.visibleRows, 3);
    QCOMPARE(r.visibleItems, 12);
    QCOMPARE(r.visibleFirst, 1);
    QCOMPARE(r.visibleLast, 12);
    QCOMPARE(r.overhang, 0);
    QCOMPARE(r.visiblePartItems, 0);
    const VisibleRange end = VisibleRange::compute(g, 300, 220, 25, 7, true, 4, 4, false);
    QCOMPARE(end.visibleFirst, 17);
    QCOMPARE(end.visibleLast, 25);
    QCOMPARE(end.paintShift, 0);
}

void TestPixtileGrid::overhangAndBottomAlignment()
{
    const GridGeometry g = noLabels();
    const GridLayout l = GridLayout::compute(g, 316, 250, 25);
    QCOMPARE(l.verticalMax, 4);
    const VisibleRange top = VisibleRange::compute(g, 300, 250, 25, 7, true, 0, 4, false);
    QCOMPARE(top.visibleRows, 4);
    QCOMPARE(top.overhang, 4 * 70 + 10 - 250);
    QCOMPARE(top.visiblePartItems, 4);
    QCOMPARE(top.visibleItems, 16);
    const VisibleRange before = VisibleRange::compute(g, 300, 250, 25, 7, true, 3, 4, false);
    QCOMPARE(before.visiblePartItems, 1); // the last row holds one item
    // At the end the view is bottom-aligned: one row earlier, shifted up by the overhang.
    const VisibleRange end = VisibleRange::compute(g, 300, 250, 25, 7, true, 4, 4, false);
    QCOMPARE(end.visiblePartItems, 0);
    QCOMPARE(end.firstRow, 3);
    QCOMPARE(end.visibleFirst, 13);
    QCOMPARE(end.visibleLast, 25);
    QCOMPARE(end.paintShift, 40);
    // With the horizontal bar shown the overhang also clears the bar.
    const VisibleRange withBar = VisibleRange::compute(g, 300, 250, 25, 7, true, 0, 4, true);
    QCOMPARE(withBar.overhang, 40 + 16);
}

void TestPixtileGrid::narrowControlScrollsByPixels()
{
    const GridGeometry g = noLabels();
    const GridLayout l = GridLayout::compute(g, 50, 220, 25);
    QVERIFY(l.horizontalBar);
    QVERIFY(l.verticalBar);
    QCOMPARE(l.columns, 1);
    QCOMPARE(l.rows, 25);
    QCOMPARE(l.surfaceWidth, 80);
    QCOMPARE(l.horizontalMax, 80 + 16 - 50);
    // Few items: only the horizontal bar.
    const GridLayout few = GridLayout::compute(g, 50, 220, 2);
    QVERIFY(few.horizontalBar);
    QVERIFY(!few.verticalBar);
    QCOMPARE(few.horizontalMax, 30);
}

void TestPixtileGrid::everythingFits()
{
    const GridGeometry g = noLabels();
    const GridLayout l = GridLayout::compute(g, 400, 400, 10);
    QVERIFY(!l.verticalBar);
    QVERIFY(!l.horizontalBar);
    QCOMPARE(l.columns, 5);
    QCOMPARE(l.rows, 2);
    const VisibleRange r = VisibleRange::compute(g, 400, 400, 10, 2, false, 0, 0, false);
    QCOMPARE(r.visibleFirst, 1);
    QCOMPARE(r.visibleLast, 10);
    QCOMPARE(r.visibleItems, 10);
    QCOMPARE(VisibleRange::compute(g, 400, 400, 0, 0, false, 0, 0, false).visibleLast, 0);
    QCOMPARE(GridLayout::compute(g, 400, 400, 0).columns, 0);
}

void TestPixtileGrid::offsetRule()
{
    QCOMPARE(ApplyOffsetRule(20, 60, 10, 1, 0), 4);
    QCOMPARE(ApplyOffsetRule(60, 60, 10, 1, 0), 10);
    QCOMPARE(ApplyOffsetRule(60, 30, 10, 2, 2), 6);
    QCOMPARE(ApplyOffsetRule(40, 40, 5, 1, 2), 5);
}

void TestPixtileGrid::cellStoreOneRow()
{
    cMemDCs store;
    QVERIFY(store.Build(10, 60, 60, 1024, Qt::red));
    QCOMPARE(store.Count(), 1);
    QCOMPARE(store.Item(1)->image().size(), QSize(600, 60));
    QCOMPARE(store.Item(1)->First, 1);
    QCOMPARE(store.Item(1)->Last, 10);
    QCOMPARE(store.Item(1)->CellsPerRow, 10);
    QCOMPARE(store.Item(1)->image().pixelColor(5, 5), QColor(Qt::red));
    QVERIFY(store.Build(40, 60, 60, 1024, Qt::red));
    QCOMPARE(store.Item(1)->CellsPerRow, 17);
    QCOMPARE(store.Item(1)->image().size(), QSize(17 * 60, 3 * 60));
    QCOMPARE(store.Item(1)->Last, 40);
}

void TestPixtileGrid::cellStoreSplitsWhenLargeBitmapFails()
{
    cMemDC::setPixelLimit(120 * 180);
    cMemDCs store;
    const bool built = store.Build(10, 60, 60, 120, Qt::white);
    cMemDC::setPixelLimit(0);
    QVERIFY(built);
    QCOMPARE(store.Count(), 2);
    QCOMPARE(store.Item(1)->image().size(), QSize(120, 180));
    QCOMPARE(store.Item(1)->First, 1);
    QCOMPARE(store.Item(1)->Last, 6);
    QCOMPARE(store.Item(2)->image().size(), QSize(120, 120));
    QCOMPARE(store.Item(2)->First, 7);
    QCOMPARE(store.Item(2)->Last, 10);
    QCOMPARE(store.IndexFor(7), 2);
}

void TestPixtileGrid::cellStoreFailsBelowTwoRows()
{
    cMemDC::setPixelLimit(120 * 59);
    cMemDCs store;
    const bool built = store.Build(10, 60, 60, 120, Qt::white);
    cMemDC::setPixelLimit(0);
    QVERIFY(!built);
    QCOMPARE(store.Count(), 0);
}

void TestPixtileGrid::addBlockForHundredCells()
{
    cMemDCs store;
    QVERIFY(store.Build(3, 60, 60, 1024, Qt::white));
    cMemDC *block = store.AddBlock(100, 60, 60, 1024, Qt::white);
    QVERIFY(block);
    QCOMPARE(store.Count(), 2);
    QCOMPARE(block->CellsPerRow, 17);
    QCOMPARE(block->image().size(), QSize(17 * 60, 6 * 60));
    QCOMPARE(block->First, 4);
    QCOMPARE(block->Last, 103);
}

void TestPixtileGrid::fitting()
{
    ThumbRenderer::CellSpec cell; // 60 x 60, thin border, offset 10: inner box 38 x 38
    QCOMPARE(ThumbRenderer::FitSize(QSize(30, 20), cell), QSize(30, 20));
    QCOMPARE(ThumbRenderer::FitSize(QSize(38, 38), cell), QSize(38, 38));
    QCOMPARE(ThumbRenderer::FitSize(QSize(76, 38), cell), QSize(38, 19));
    QCOMPARE(ThumbRenderer::FitSize(QSize(1000, 10), cell), QSize(38, 1));
    QCOMPARE(ThumbRenderer::FitSize(QSize(4000, 3000), cell), QSize(38, 29));
    QCOMPARE(ThumbRenderer::FitSize(QSize(3000, 4000), cell), QSize(29, 38));
    // Scales that round up to 0.0001 still fit (found by fuzzing: a metafile 21 x 589,865).
    QCOMPARE(ThumbRenderer::FitSize(QSize(21, 589865), cell), QSize(1, 38));
    QCOMPARE(ThumbRenderer::FitSize(QSize(500000, 3), cell), QSize(38, 1));
    cell.innerBorder = 2;
    QCOMPARE(ThumbRenderer::FitSize(QSize(100, 100), cell), QSize(34, 34));
}

void TestPixtileGrid::sortingAllKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QString>("order");
    QTest::newRow("name asc") << 0 << false << "a b C d";
    QTest::newRow("name desc") << 0 << true << "d C b a";
    QTest::newRow("type asc, ties by name") << 1 << false << "b d a C";
    QTest::newRow("type desc") << 1 << true << "C a d b";
    QTest::newRow("size asc") << 2 << false << "C b d a";
    QTest::newRow("size desc") << 2 << true << "a d b C";
    QTest::newRow("date asc") << 3 << false << "d a C b";
    QTest::newRow("date desc") << 3 << true << "b C a d";
    QTest::newRow("dims asc") << 4 << false << "a C b d";
    QTest::newRow("dims desc") << 4 << true << "d b C a";
    QTest::newRow("ext asc, ties by name") << 5 << false << "C b a d";
    QTest::newRow("ext desc") << 5 << true << "d a b C";
}

void TestPixtileGrid::sortingAllKeys()
{
    QFETCH(int, key);
    QFETCH(bool, descending);
    QFETCH(QString, order);
    auto make = [](const char *name, const char *type, qint64 size, const char *date, int w, int h,
                   const char *ext) {
        FileRecord r;
        r.Name = QString::fromLatin1(name);
        r.FileType = QString::fromLatin1(type);
        r.Size = size;
        r.DateMdf = QString::fromLatin1(date);
        r.Width = w;
        r.Height = h;
        r.Extension = QString::fromLatin1(ext);
        return r;
    };
    // Dates compare as dates, not as text: 9/1/2020 is before 10/1/2020, and 2/1/2021 after both.
    FileRecords records = {
        make("d", "jpeg image", 20, "1/1/2020 0:0:0", 30, 30, "PNG"),
        make("a", "PNG image", 30, "9/1/2020 10:5:3", 10, 10, "png"),
        make("C", "png image", 5, "10/1/2020 9:0:0", 10, 20, "BMP"),
        make("b", "JPEG image", 20, "2/1/2021 0:0:0", 20, 20, "jpg"),
    };
    RecordSorter::Sort(records, key, descending);
    QStringList names;
    for (const FileRecord &r : records)
        names << r.Name;
    QCOMPARE(names.join(QLatin1Char(' ')), order);
}

void TestPixtileGrid::sortableDate()
{
    QCOMPARE(RecordSorter::SortableDate(QStringLiteral("9/1/2020 10:5:3")),
             QStringLiteral("2020 01 09 10:05:03"));
    QCOMPARE(RecordSorter::SortableDate(QStringLiteral("garbage")), QString());
}

QTEST_MAIN(TestPixtileGrid)
#include "tst_pixtile_grid.moc"
