#include "ThumbBand.h"
#include "ThumbSelection.h"
#include "Thumbs.h"

#include <QTest>

using namespace Pixtile;

// The selection model (flags, SelThumbs order, current item) and the band arithmetic,
// without a widget.
class tst_selection : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void pressOnSelectedItemKeepsSelectionOnlyWithDragDrop();
    void pressMakesOnlySelection();
    void ctrlClickTogglesAndKeepsCurrent();
    void bandClearsOnlyWithoutCtrl();
    void bandSelectKeepsOrderAndToggles();
    void keyMoveAndSelectAll();
    void setSelectedItem();
    void renameAndRemoveFollow();
    void vanishedItemYieldsNoObject();

    void bandItemsIncludeScrolledRows();
    void bandBoxIsOnePixelLarger();
    void bandWithoutLabels();
    void autoScrollEdgesAndIntervals();
    void bandFrameDrawnTwiceRestores();

private:
    void fill(int count);
    QStringList flagged() const;

    std::unique_ptr<Thumbs> m_thumbs;
    std::unique_ptr<ThumbSelection> m_sel;
};

void tst_selection::init()
{
    m_thumbs = std::make_unique<Thumbs>();
    m_sel = std::make_unique<ThumbSelection>(*m_thumbs);
    fill(6);
}

void tst_selection::fill(int count)
{
    for (int i = 1; i <= count; ++i) {
        Thumb t;
        t.setPath(QStringLiteral("/pics/"));
        t.setName(QStringLiteral("p%1.bmp").arg(i));
        m_thumbs->Add(t, t.Name());
    }
}

// Names of the items whose Selected flag is set, in Thumbs order.
QStringList tst_selection::flagged() const
{
    QStringList names;
    for (int i = 1; i <= m_thumbs->Count(); ++i)
        if (m_thumbs->Item(i)->Selected())
            names << m_thumbs->Item(i)->Name();
    return names;
}

void tst_selection::pressOnSelectedItemKeepsSelectionOnlyWithDragDrop()
{
    m_sel->select(QStringLiteral("p1.bmp"));
    m_sel->select(QStringLiteral("p3.bmp"));
    m_sel->setCurrentOnly(QStringLiteral("p1.bmp"));

    // With dragging allowed, pressing a selected item keeps the others (a drag may follow).
    QVERIFY(m_sel->pressOnItem(QStringLiteral("p3.bmp"), false, true));
    QCOMPARE(m_sel->SelThumbs(), QStringList({"p1.bmp", "p3.bmp"}));
    QCOMPARE(m_sel->SelectedItem()->Name(), QStringLiteral("p3.bmp"));
    // Pressing the current one again changes nothing.
    QVERIFY(!m_sel->pressOnItem(QStringLiteral("p3.bmp"), false, true));

    // Without dragging, the pressed item becomes the only selection.
    QVERIFY(!m_sel->pressOnItem(QStringLiteral("P3.BMP"), false, false));
    QCOMPARE(m_sel->SelThumbs(), QStringList({"p3.bmp"}));
    QCOMPARE(flagged(), QStringList({"p3.bmp"}));
}

void tst_selection::pressMakesOnlySelection()
{
    m_sel->setCurrentOnly(QStringLiteral("p1.bmp"));
    m_sel->select(QStringLiteral("p2.bmp"));
    m_sel->select(QStringLiteral("p4.bmp"));
    QVERIFY(m_sel->pressOnItem(QStringLiteral("p5.bmp"), false, true));
    QCOMPARE(m_sel->SelThumbs(), QStringList({"p5.bmp"}));
    QCOMPARE(flagged(), QStringList({"p5.bmp"}));
    // Ctrl alone waits for the release.
    QVERIFY(!m_sel->pressOnItem(QStringLiteral("p1.bmp"), true, false));
    QCOMPARE(flagged(), QStringList({"p5.bmp"}));
    QCOMPARE(m_sel->SelectedItem()->Name(), QStringLiteral("p5.bmp"));
}

void tst_selection::ctrlClickTogglesAndKeepsCurrent()
{
    QVERIFY(m_sel->pressOnItem(QStringLiteral("p2.bmp"), false, false));
    // Ctrl+click on the only selected item deselects it but leaves it current.
    QVERIFY(!m_sel->ctrlClick(QStringLiteral("p2.bmp")));
    QVERIFY(m_sel->SelThumbs().isEmpty());
    QVERIFY(flagged().isEmpty());
    QCOMPARE(m_sel->SelectedItem()->Name(), QStringLiteral("p2.bmp"));
    // Ctrl+click on others appends them and moves the current item.
    QVERIFY(m_sel->ctrlClick(QStringLiteral("p4.bmp")));
    QVERIFY(m_sel->ctrlClick(QStringLiteral("p1.bmp")));
    QCOMPARE(m_sel->SelThumbs(), QStringList({"p4.bmp", "p1.bmp"}));
    QCOMPARE(m_sel->SelectedItem()->Name(), QStringLiteral("p1.bmp"));
    // A click on space with Ctrl keeps the selection, without drops it; current stays.
    m_sel->clickOnSpace(true);
    QCOMPARE(m_sel->SelThumbs().size(), 2);
    m_sel->clickOnSpace(false);
    QVERIFY(m_sel->SelThumbs().isEmpty());
    QVERIFY(flagged().isEmpty());
    QCOMPARE(m_sel->SelectedItem()->Name(), QStringLiteral("p1.bmp"));
}

void tst_selection::bandClearsOnlyWithoutCtrl()
{
    m_sel->select(QStringLiteral("p2.bmp"));
    QVERIFY(!m_sel->bandStarted(true));
    QCOMPARE(flagged(), QStringList({"p2.bmp"}));
    QVERIFY(m_sel->bandStarted(false));
    QVERIFY(flagged().isEmpty());
    QVERIFY(!m_sel->bandStarted(false)); // nothing left to clear
}

void tst_selection::bandSelectKeepsOrderAndToggles()
{
    m_sel->select(QStringLiteral("p5.bmp"));
    m_sel->select(QStringLiteral("p2.bmp"));
    m_sel->bandSelect({"p1.bmp", "p2.bmp", "p3.bmp"}, false);
    QCOMPARE(m_sel->SelThumbs(), QStringList({"p5.bmp", "p2.bmp", "p1.bmp", "p3.bmp"}));
    // With Ctrl each covered item flips; the rest keep their order.
    m_sel->bandSelect({"p2.bmp", "p3.bmp", "p4.bmp"}, true);
    QCOMPARE(m_sel->SelThumbs(), QStringList({"p5.bmp", "p1.bmp", "p4.bmp"}));
    QCOMPARE(flagged(), QStringList({"p1.bmp", "p4.bmp", "p5.bmp"}));
}

void tst_selection::keyMoveAndSelectAll()
{
    m_sel->bandSelect({"p1.bmp", "p2.bmp"}, false);
    QVERIFY(m_sel->moveTo(QStringLiteral("p3.bmp")));
    QCOMPARE(m_sel->SelThumbs(), QStringList({"p3.bmp"}));
    QCOMPARE(flagged(), QStringList({"p3.bmp"}));
    // Moving to the current item again re-selects it alone and still reports the change.
    QVERIFY(m_sel->moveTo(QStringLiteral("p3.bmp")));
    QVERIFY(!m_sel->moveTo(QStringLiteral("nothing.bmp")));

    m_sel->selectAll({"p1.bmp", "p2.bmp", "p3.bmp", "p4.bmp", "p5.bmp", "p6.bmp"});
    QCOMPARE(m_sel->SelThumbs(),
             QStringList({"p1.bmp", "p2.bmp", "p3.bmp", "p4.bmp", "p5.bmp", "p6.bmp"}));
    QCOMPARE(flagged().size(), 6);
    QCOMPARE(m_sel->SelectedItem()->Name(), QStringLiteral("p3.bmp"));
}

void tst_selection::setSelectedItem()
{
    m_sel->setCurrentOnly(QStringLiteral("p1.bmp"));
    QVERIFY(flagged().isEmpty()); // the first item after a listing is current, not selected
    m_sel->select(QStringLiteral("p4.bmp"));
    // Setting the current (unselected) item selects it and reports a change.
    QVERIFY(m_sel->setSelectedItem(QStringLiteral("p1.bmp")));
    QCOMPARE(m_sel->SelThumbs(), QStringList({"p4.bmp", "p1.bmp"}));
    QVERIFY(!m_sel->setSelectedItem(QStringLiteral("p1.bmp")));
    QVERIFY(m_sel->setSelectedItem(QStringLiteral("p4.bmp")));
    QCOMPARE(m_sel->SelThumbs(), QStringList({"p4.bmp", "p1.bmp"}));
    QVERIFY(!m_sel->setSelectedItem(QStringLiteral("missing.bmp")));
}

void tst_selection::renameAndRemoveFollow()
{
    m_sel->bandSelect({"p1.bmp", "p2.bmp", "p3.bmp"}, false);
    m_sel->setCurrentOnly(QStringLiteral("p2.bmp"));
    QVERIFY(m_thumbs->Rekey(QStringLiteral("p2.bmp"), QStringLiteral("two.bmp")));
    m_thumbs->Item(QStringLiteral("two.bmp"))->setName(QStringLiteral("two.bmp"));
    m_sel->renamed(QStringLiteral("p2.bmp"), QStringLiteral("two.bmp"));
    QCOMPARE(m_sel->SelThumbs(), QStringList({"p1.bmp", "two.bmp", "p3.bmp"}));
    QCOMPARE(m_sel->SelectedItem()->Name(), QStringLiteral("two.bmp"));

    m_sel->removed(QStringLiteral("TWO.BMP"));
    m_thumbs->Remove(QStringLiteral("two.bmp"));
    QCOMPARE(m_sel->SelThumbs(), QStringList({"p1.bmp", "p3.bmp"}));
    QCOMPARE(m_sel->SelectedItem(), nullptr);
}

void tst_selection::vanishedItemYieldsNoObject()
{
    m_sel->setSelectedItem(QStringLiteral("p6.bmp"));
    m_thumbs->Remove(QStringLiteral("p6.bmp"));
    QCOMPARE(m_sel->SelectedItem(), nullptr);
    QVERIFY(!m_sel->isCurrent(QStringLiteral("p6.bmp")));
    m_sel->clearSelection(); // names of gone items are dropped without harm
    QVERIFY(m_sel->SelThumbs().isEmpty());
}

namespace {
// 4 columns of 60x60 cells, space 10, labels 17 high: column pitch 70, row pitch 88.
ThumbBandGrid grid4(int items, int firstRow, int yShift = 0)
{
    ThumbBandGrid g;
    g.items = items;
    g.columns = 4;
    g.thumbWidth = 60;
    g.thumbHeight = 60;
    g.thumbSpace = 10;
    g.columnPitch = 70;
    g.rowPitch = 88;
    g.labelHeight = 17;
    g.firstRow = firstRow;
    g.yShift = yShift;
    return g;
}
} // namespace

void tst_selection::bandItemsIncludeScrolledRows()
{
    // Shown from row 2 (items 9-12 at the top). The band's anchor was carried up by the
    // auto-scroll, so it starts above the surface and covers rows 1 and 2 in columns 2 and 3.
    const ThumbBandGrid g = grid4(25, 2);
    QCOMPARE(ThumbBand::itemsInBand(g, 90, -70, 200, 50), QList<int>({6, 7, 10, 11}));
    // Scrolled the other way: the band reaches rows below the surface.
    QCOMPARE(ThumbBand::itemsInBand(g, 0, 150, 20, 400), QList<int>({13, 17, 21, 25}));
    // At the bar's end the rows are shifted up by the overhang.
    const ThumbBandGrid shifted = grid4(25, 4, 30);
    const QRect box = ThumbBand::itemBox(shifted, 17);
    QCOMPARE(box.y(), 10 - 30);
    // Past the last item nothing is hit.
    QCOMPARE(ThumbBand::itemsInBand(grid4(25, 0), 90, 540, 300, 1000), QList<int>());
}

void tst_selection::bandBoxIsOnePixelLarger()
{
    const ThumbBandGrid g = grid4(8, 0);
    // Item 1: cell 10..70 across, label bottom 10+60+1+17 = 88; the box reaches 71 and 89.
    QCOMPARE(ThumbBand::itemBox(g, 1), QRect(10, 10, 61, 79));
    QCOMPARE(ThumbBand::itemsInBand(g, 70, 88, 75, 95), QList<int>({1}));
    QCOMPARE(ThumbBand::itemsInBand(g, 71, 89, 79, 97), QList<int>());
    // A band without area hits nothing.
    QCOMPARE(ThumbBand::itemsInBand(g, 20, 20, 20, 60), QList<int>());
    const QRect r = ThumbBand::normalised(QPoint(50, 90), QPoint(10, 5));
    QCOMPARE(r.left(), 10);
    QCOMPARE(r.top(), 5);
    QCOMPARE(r.right(), 50);
    QCOMPARE(r.bottom(), 90);
}

void tst_selection::bandWithoutLabels()
{
    ThumbBandGrid g = grid4(8, 0);
    g.labelHeight = 0;
    g.rowPitch = 70;
    QCOMPARE(ThumbBand::itemBox(g, 5), QRect(10, 80, 61, 61));
    // The gap between rows (y 71..79) hits nothing.
    QCOMPARE(ThumbBand::itemsInBand(g, 0, 72, 300, 79), QList<int>());
}

void tst_selection::autoScrollEdgesAndIntervals()
{
    const QRect visible(0, 0, 300, 200);
    QCOMPARE(ThumbBand::touchedEdges(QPoint(150, 100), visible), int(ScrollNone));
    QCOMPARE(ThumbBand::touchedEdges(QPoint(2, 100), visible), int(ScrollLeft));
    QCOMPARE(ThumbBand::touchedEdges(QPoint(299, 250), visible), ScrollRight | ScrollDown);
    QCOMPARE(ThumbBand::touchedEdges(QPoint(150, -40), visible), int(ScrollUp));
    // Horizontally shifted surface: the visible area starts at the bar value.
    QCOMPARE(ThumbBand::touchedEdges(QPoint(41, 100), QRect(40, 0, 300, 200)), int(ScrollLeft));

    QCOMPARE(ThumbBand::scrollInterval(100, 0, 200), std::optional<int>());
    QCOMPARE(ThumbBand::scrollInterval(2, 0, 200), std::optional<int>(350));
    QCOMPARE(ThumbBand::scrollInterval(-5, 0, 200), std::optional<int>(350));
    QCOMPARE(ThumbBand::scrollInterval(-6, 0, 200), std::optional<int>(250));
    QCOMPARE(ThumbBand::scrollInterval(-13, 0, 200), std::optional<int>(250));
    QCOMPARE(ThumbBand::scrollInterval(-14, 0, 200), std::optional<int>(150));
    QCOMPARE(ThumbBand::scrollInterval(-30, 0, 200), std::optional<int>(100));
    QCOMPARE(ThumbBand::scrollInterval(-31, 0, 200), std::optional<int>(50));
    QCOMPARE(ThumbBand::scrollInterval(198, 0, 200), std::optional<int>(350));
    QCOMPARE(ThumbBand::scrollInterval(222, 0, 200), std::optional<int>(100));
    QCOMPARE(ThumbBand::scrollInterval(240, 0, 200), std::optional<int>(50));
}

void tst_selection::bandFrameDrawnTwiceRestores()
{
    QImage image(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 6, y * 8, 100));
    const QImage original = image.copy();
    const QRect band(QPoint(4, 6), QPoint(50, 20)); // reaches past the clip on the right
    const QRect clip(0, 0, 31, 30);
    ThumbBand::DrawFrame(image, band, clip);
    QVERIFY(image != original);
    // Every second pixel of the top edge is the inverse of the picture under it.
    QCOMPARE(image.pixel(4, 6) & 0xFFFFFF, ~original.pixel(4, 6) & 0xFFFFFF);
    QCOMPARE(image.pixel(5, 6), original.pixel(5, 6));
    // Inside the band and beyond the clip nothing changes.
    QCOMPARE(image.pixel(10, 10), original.pixel(10, 10));
    QCOMPARE(image.pixel(32, 6), original.pixel(32, 6));
    ThumbBand::DrawFrame(image, band, clip);
    QCOMPARE(image, original);

    // A band one pixel high is still drawn.
    ThumbBand::DrawFrame(image, QRect(QPoint(2, 2), QPoint(20, 2)), image.rect());
    QVERIFY(image != original);
}

QTEST_GUILESS_MAIN(tst_selection)
#include "tst_selection.moc"
