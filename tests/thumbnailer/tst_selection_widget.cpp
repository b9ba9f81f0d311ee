// Selection on the real control, driven by synthetic mouse and key events: clicks, Ctrl+clicks,
// the band (with Ctrl, with automatic scrolling, cancelled by Escape), hit testing, keys,
// SelectedItem, EnsureVisible and tooltips.
#include "ThumbSurface.h"
#include "Thumbnailer.h"
#include "ThumbnailerTestAccess.h"
#include "cToolTip.h"
#include "support_input.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Pixtile;

class tst_selection_widget : public QObject
{
    Q_OBJECT

private slots:
    void layoutAssumed();
    void clickSelectsOnlyItem();
    void ctrlClickToggles();
    void pressOnSelectedItemWithDragDrop();
    void clickOnSpace();
    void doubleClick();
    void bandClearsAtFirstMoveAndSelects();
    void bandWithCtrlToggles();
    void bandAutoScrollIncludesScrolledRows();
    void escapeEndsBand();
    void hitTestParts();
    void keysMoveAndStopAtEdges();
    void ctrlASelectsAllWithoutEvents();
    void selectedItemAndEnsureVisible();
    void tooltipsFollowHoverAndSwitch();

private:
    static QStringList names(std::initializer_list<int> indexes)
    {
        QStringList list;
        for (int i : indexes)
            list << InputRig::nameOf(i);
        return list;
    }
};

void tst_selection_widget::layoutAssumed()
{
    // The other cases rely on this grid: 20 items, 4 columns, 5 rows, a vertical bar.
    InputRig rig(20);
    Thumbnailer &c = rig.control();
    QCOMPARE(c.Items(), 20);
    QCOMPARE(c.Columns(), 4);
    QCOMPARE(c.Rows(), 5);
    QVERIFY(c.findChild<QScrollBar *>("VScroll")->isVisible());
    QVERIFY(c.VisibleLast() < 20);
    // After listing the first item is current without being selected.
    QCOMPARE(rig.current(), QStringLiteral("p01.bmp"));
    QVERIFY(rig.flagged().isEmpty());
}

void tst_selection_widget::clickSelectsOnlyItem()
{
    InputRig rig(20);
    Thumbnailer &c = rig.control();
    rig.click(rig.picturePoint("p02.bmp"));
    QCOMPARE(rig.takeEvents(), QStringList({"MouseDown p02.bmp 1 0", "SelChanged p02.bmp",
                                            "MouseUp p02.bmp 1 0", "Click p02.bmp"}));
    QCOMPARE(c.SelThumbs(), names({2}));
    rig.click(rig.labelPoint("p07.bmp"));
    QCOMPARE(c.SelThumbs(), names({7}));
    QCOMPARE(rig.flagged(), names({7}));
    QCOMPARE(rig.current(), QStringLiteral("p07.bmp"));
    // Clicking the current item again raises no SelChanged.
    rig.takeEvents();
    rig.click(rig.picturePoint("p07.bmp"));
    QCOMPARE(rig.takeEvents(),
             QStringList({"MouseDown p07.bmp 1 0", "MouseUp p07.bmp 1 0", "Click p07.bmp"}));
}

void tst_selection_widget::ctrlClickToggles()
{
    InputRig rig(20);
    Thumbnailer &c = rig.control();
    rig.click(rig.picturePoint("p02.bmp"));
    rig.takeEvents();
    rig.click(rig.picturePoint("p03.bmp"), Qt::ControlModifier);
    QCOMPARE(rig.takeEvents(), QStringList({"MouseDown p03.bmp 1 2", "SelChanged p03.bmp",
                                            "MouseUp p03.bmp 1 2", "Click p03.bmp"}));
    QCOMPARE(c.SelThumbs(), names({2, 3}));
    rig.click(rig.picturePoint("p02.bmp"), Qt::ControlModifier);
    QCOMPARE(c.SelThumbs(), names({3}));
    QCOMPARE(rig.current(), QStringLiteral("p02.bmp"));
    // Ctrl+click on the only selected item deselects it; it stays current.
    rig.click(rig.picturePoint("p03.bmp"));
    rig.takeEvents();
    rig.click(rig.picturePoint("p03.bmp"), Qt::ControlModifier);
    QVERIFY(c.SelThumbs().isEmpty());
    QVERIFY(rig.flagged().isEmpty());
    QCOMPARE(rig.current(), QStringLiteral("p03.bmp"));
    QVERIFY(!rig.takeEvents().join(' ').contains("SelChanged"));
}

void tst_selection_widget::pressOnSelectedItemWithDragDrop()
{
    InputRig rig(20);
    Thumbnailer &c = rig.control();
    c.setDragDrop(true);
    rig.click(rig.picturePoint("p01.bmp"));
    rig.click(rig.picturePoint("p02.bmp"), Qt::ControlModifier);
    rig.takeEvents();
    // A drag may follow: the selection stays, the pressed item becomes current.
    rig.click(rig.picturePoint("p01.bmp"));
    QCOMPARE(c.SelThumbs(), names({1, 2}));
    QCOMPARE(rig.current(), QStringLiteral("p01.bmp"));
    QCOMPARE(rig.takeEvents(), QStringList({"MouseDown p01.bmp 1 0", "SelChanged p01.bmp",
                                            "MouseUp p01.bmp 1 0", "Click p01.bmp"}));
    // Without DragDrop the same click selects only that item.
    c.setDragDrop(false);
    rig.click(rig.picturePoint("p02.bmp"), Qt::ControlModifier); // p02 off
    rig.click(rig.picturePoint("p02.bmp"), Qt::ControlModifier); // p02 on again
    rig.click(rig.picturePoint("p01.bmp"));
    QCOMPARE(c.SelThumbs(), names({1}));
    QCOMPARE(rig.flagged(), names({1}));
}

void tst_selection_widget::clickOnSpace()
{
    InputRig rig(20);
    Thumbnailer &c = rig.control();
    rig.click(rig.picturePoint("p02.bmp"));
    rig.takeEvents();
    rig.click(rig.spacePoint(), Qt::ControlModifier);
    QCOMPARE(c.SelThumbs(), names({2}));
    QCOMPARE(rig.takeEvents(), QStringList({"MouseDown - 1 2", "MouseUp - 1 2", "Click -"}));
    rig.click(rig.spacePoint());
    QVERIFY(c.SelThumbs().isEmpty());
    QVERIFY(rig.flagged().isEmpty());
    QCOMPARE(rig.current(), QStringLiteral("p02.bmp")); // the current item is kept
    // The right button selects too.
    rig.click(rig.picturePoint("p04.bmp"), Qt::NoModifier, Qt::RightButton);
    QCOMPARE(c.SelThumbs(), names({4}));
}

void tst_selection_widget::doubleClick()
{
    InputRig rig(20);
    rig.doubleClick(rig.picturePoint("p05.bmp"));
    QCOMPARE(rig.takeEvents(),
             QStringList({"MouseDown p05.bmp 1 0", "SelChanged p05.bmp", "MouseUp p05.bmp 1 0",
                          "Click p05.bmp", "DblClick p05.bmp"}));
    // The release after the double click only clears; the next click is an ordinary one.
    rig.click(rig.picturePoint("p06.bmp"));
    QCOMPARE(rig.takeEvents().last(), QStringLiteral("Click p06.bmp"));
}

void tst_selection_widget::bandClearsAtFirstMoveAndSelects()
{
    InputRig rig(20);
    Thumbnailer &c = rig.control();
    rig.click(rig.picturePoint("p08.bmp"));
    rig.press(rig.spacePoint());
    QCOMPARE(c.SelThumbs(), names({8})); // not at the press
    const QPoint corner = rig.picturePoint("p06.bmp");
    rig.move(QPoint(30, 30));
    QVERIFY(c.SelThumbs().isEmpty()); // at the first move
    QVERIFY(rig.flagged().isEmpty());
    rig.move(corner);
    rig.takeEvents();
    rig.release(corner);
    QCOMPARE(c.SelThumbs(), names({1, 2, 5, 6}));
    QCOMPARE(rig.flagged(), names({1, 2, 5, 6}));
    QCOMPARE(rig.takeEvents(), QStringList({"MouseUp - 1 0", "Click -"}));
    QCOMPARE(rig.current(), QStringLiteral("p08.bmp"));
}

void tst_selection_widget::bandWithCtrlToggles()
{
    InputRig rig(20);
    Thumbnailer &c = rig.control();
    rig.click(rig.picturePoint("p01.bmp"));
    rig.click(rig.picturePoint("p02.bmp"), Qt::ControlModifier);
    rig.click(rig.picturePoint("p08.bmp"), Qt::ControlModifier);
    const QPoint corner = rig.picturePoint("p06.bmp");
    rig.press(rig.spacePoint(), Qt::LeftButton, Qt::ControlModifier);
    rig.move(QPoint(30, 30), Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(c.SelThumbs(), names({1, 2, 8})); // Ctrl keeps the selection
    rig.move(corner, Qt::LeftButton, Qt::ControlModifier);
    rig.release(corner, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(c.SelThumbs(), names({8, 5, 6}));
    QCOMPARE(rig.flagged(), names({5, 6, 8}));
}

void tst_selection_widget::bandAutoScrollIncludesScrolledRows()
{
    InputRig rig(20);
    Thumbnailer &c = rig.control();
    auto *bar = c.findChild<QScrollBar *>("VScroll");
    auto *timer = c.findChild<QTimer *>("tmrAutoScroll");
    QVERIFY(bar && timer);
    const int bottom = c.findChild<QWidget *>("viewport")->height();
    const QPoint below(rig.picturePoint("p02.bmp").x(), bottom + 40);
    rig.press(rig.spacePoint());
    rig.move(QPoint(30, 30));
    QVERIFY(!timer->isActive());
    rig.move(below);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 50); // far below the edge: the fastest pace
    QSignalSpy ticks(timer, &QTimer::timeout);
    while (bar->value() < bar->maximum())
        QVERIFY(ticks.wait(2000));
    // At the end of the bar the timer stops by itself.
    QTRY_VERIFY(!timer->isActive());
    QCOMPARE(c.VisibleLast(), 20);
    rig.release(below);
    // Rows that scrolled out above are part of the band: columns 1 and 2, every row.
    QCOMPARE(c.SelThumbs(), names({1, 2, 5, 6, 9, 10, 13, 14, 17, 18}));

    // Coming back inside stops the timer at once.
    bar->setValue(0);
    rig.press(rig.spacePoint());
    rig.move(below);
    QVERIFY(timer->isActive());
    rig.move(QPoint(100, 60));
    QVERIFY(!timer->isActive());
    rig.release(QPoint(100, 60));
}

void tst_selection_widget::escapeEndsBand()
{
    InputRig rig(20);
    Thumbnailer &c = rig.control();
    auto *surface = c.findChild<ThumbSurface *>("picBase");
    const QImage before = surface->canvas().copy();
    rig.press(rig.spacePoint());
    rig.move(rig.picturePoint("p06.bmp"));
    QVERIFY(surface->canvas() != before); // the band is drawn
    rig.key(Qt::Key_Escape);
    QCOMPARE(surface->canvas(), before); // and gone again
    QVERIFY(!c.findChild<QTimer *>("tmrAutoScroll")->isActive());
    rig.release(rig.picturePoint("p06.bmp"));
    QVERIFY(c.SelThumbs().isEmpty());
}

void tst_selection_widget::hitTestParts()
{
    InputRig rig(20);
    Thumbnailer &c = rig.control();
    const Thumbnail *t = c.Thumbnails().Item("p06.bmp");
    QVERIFY(t);
    const float x = float(t->ThumbLeft() + 5);
    int where = 0;
    QCOMPARE(c.HitTest(x, float(t->ThumbTop()), where)->Name(), QStringLiteral("p06.bmp"));
    QCOMPARE(where, int(Thumbnailer::THT_ONICON));
    // The pixel row between cell and label.
    QCOMPARE(c.HitTest(x, float(t->ThumbBottom()), where)->Name(), QStringLiteral("p06.bmp"));
    QCOMPARE(where, int(Thumbnailer::THT_ONSPACE));
    c.HitTest(x, float(t->LabelTop() + 1), where);
    QCOMPARE(where, int(Thumbnailer::THT_ONLABEL));
    QCOMPARE(c.HitTest(float(t->ThumbRight()), float(t->LabelBottom()), where)->Name(),
             QStringLiteral("p06.bmp"));
    QCOMPARE(c.HitTest(float(t->ThumbRight() + 1), float(t->ThumbTop()), where), nullptr);
    QCOMPARE(c.HitTest(2, 2, where), nullptr);
}

void tst_selection_widget::keysMoveAndStopAtEdges()
{
    InputRig rig(20);
    Thumbnailer &c = rig.control();
    auto *bar = c.findChild<QScrollBar *>("VScroll");
    rig.key(Qt::Key_Right);
    QCOMPARE(rig.takeEvents(), QStringList({"SelChanged p02.bmp"}));
    QCOMPARE(c.SelThumbs(), names({2}));
    rig.key(Qt::Key_Down);
    QCOMPARE(c.SelThumbs(), names({6}));
    rig.key(Qt::Key_End);
    QCOMPARE(c.SelThumbs(), names({20}));
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(c.Thumbnails().Item("p20.bmp"));
    rig.takeEvents();
    rig.key(Qt::Key_Right);
    rig.key(Qt::Key_Down);
    rig.key(Qt::Key_PageDown);
    rig.key(Qt::Key_End);
    QVERIFY(rig.takeEvents().isEmpty());
    QCOMPARE(c.SelThumbs(), names({20}));
    rig.key(Qt::Key_Up);
    QCOMPARE(c.SelThumbs(), names({16}));
    rig.key(Qt::Key_Home);
    QCOMPARE(c.SelThumbs(), names({1}));
    QCOMPARE(bar->value(), 0);
    rig.key(Qt::Key_Left);
    rig.key(Qt::Key_Up);
    rig.key(Qt::Key_PageUp);
    QCOMPARE(c.SelThumbs(), names({1}));
    // A key move drops a multiple selection.
    rig.click(rig.picturePoint("p03.bmp"), Qt::ControlModifier);
    rig.key(Qt::Key_Right);
    QCOMPARE(c.SelThumbs(), names({4}));
    QCOMPARE(rig.flagged(), names({4}));
}

void tst_selection_widget::ctrlASelectsAllWithoutEvents()
{
    InputRig rig(20);
    Thumbnailer &c = rig.control();
    rig.click(rig.picturePoint("p03.bmp"));
    rig.takeEvents();
    rig.key(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(c.SelThumbs().size(), 20);
    QCOMPARE(c.SelThumbs().first(), QStringLiteral("p01.bmp"));
    QCOMPARE(rig.flagged().size(), 20);
    QVERIFY(rig.takeEvents().isEmpty());
}

void tst_selection_widget::selectedItemAndEnsureVisible()
{
    InputRig rig(20);
    Thumbnailer &c = rig.control();
    auto *bar = c.findChild<QScrollBar *>("VScroll");
    c.setSelectedItem(c.Thumbs().Item("p18.bmp"));
    QCOMPARE(rig.takeEvents(), QStringList({"SelChanged p18.bmp"}));
    QCOMPARE(c.SelThumbs(), names({18}));
    QVERIFY(c.VisibleFirst() <= 18 && c.VisibleLast() >= 18);
    const Thumbnail *t = c.Thumbnails().Item("p18.bmp");
    QVERIFY(t && t->LabelBottom() <= c.findChild<QWidget *>("viewport")->height());
    // Again: nothing happens. Other selected items stay.
    c.setSelectedItem(c.Thumbs().Item("p18.bmp"));
    QVERIFY(rig.takeEvents().isEmpty());
    c.setSelectedItem(c.Thumbs().Item("p02.bmp"));
    QCOMPARE(c.SelThumbs(), names({18, 2}));
    QCOMPARE(bar->value(), 0);

    c.EnsureVisible(17);
    QVERIFY(c.VisibleLast() >= 17);
    c.EnsureVisible(QStringLiteral("P01.BMP"));
    QCOMPARE(bar->value(), 0);
    const int value = bar->value();
    c.EnsureVisible(QStringLiteral("nothing.bmp"));
    c.EnsureVisible(99);
    QCOMPARE(bar->value(), value);
}

void tst_selection_widget::tooltipsFollowHoverAndSwitch()
{
    InputRig rig(20);
    Thumbnailer &c = rig.control();
    QWidget *surface = rig.surface();
    QVERIFY(ThumbnailerTestAccess(c).toolTip());
    rig.move(rig.picturePoint("p03.bmp"), Qt::NoButton);
    QCOMPARE(surface->toolTip(), QStringLiteral("p03.bmp"));
    rig.move(rig.spacePoint(), Qt::NoButton);
    QCOMPARE(surface->toolTip(), QString());
    c.setTooltips(false);
    QCOMPARE(ThumbnailerTestAccess(c).toolTip(), nullptr);
    rig.move(rig.picturePoint("p04.bmp"), Qt::NoButton);
    QCOMPARE(surface->toolTip(), QString());
    c.setTooltips(true);
    QVERIFY(ThumbnailerTestAccess(c).toolTip());
    rig.move(rig.picturePoint("p05.bmp"), Qt::NoButton);
    QCOMPARE(surface->toolTip(), QStringLiteral("p05.bmp"));
}

QTEST_MAIN(tst_selection_widget)
#include "tst_selection_widget.moc"
