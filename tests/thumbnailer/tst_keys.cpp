#include "ThumbKeys.h"

#include <QTest>

using namespace Pixtile;

// The keyboard table: where each navigation key leads from a given item, and what the other
// keys ask for.
class tst_keys : public QObject
{
    Q_OBJECT

private slots:
    void navigation_data();
    void navigation();
    void commands();
};

void tst_keys::navigation_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("visibleRows");
    QTest::addColumn<int>("overhang");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("expected");

    // 25 items in 4 columns: rows 1-4, 5-8, ... 21-24, 25.
    QTest::newRow("no current: Left goes to the first")
        << 25 << 4 << 3 << 0 << int(Qt::Key_Left) << 0 << 1;
    QTest::newRow("no current: Page Down goes to the first")
        << 25 << 4 << 3 << 0 << int(Qt::Key_PageDown) << 0 << 1;
    QTest::newRow("no current: End goes to the last")
        << 25 << 4 << 3 << 0 << int(Qt::Key_End) << 0 << 25;
    QTest::newRow("no items: nothing") << 0 << 4 << 3 << 0 << int(Qt::Key_Right) << 0 << 0;
    QTest::newRow("Left on the first does nothing")
        << 25 << 4 << 3 << 0 << int(Qt::Key_Left) << 1 << 0;
    QTest::newRow("Left") << 25 << 4 << 3 << 0 << int(Qt::Key_Left) << 5 << 4;
    QTest::newRow("Right on the last does nothing")
        << 25 << 4 << 3 << 0 << int(Qt::Key_Right) << 25 << 0;
    QTest::newRow("Right wraps to the next row")
        << 25 << 4 << 3 << 0 << int(Qt::Key_Right) << 4 << 5;
    QTest::newRow("Up in the first row does nothing")
        << 25 << 4 << 3 << 0 << int(Qt::Key_Up) << 4 << 0;
    QTest::newRow("Up") << 25 << 4 << 3 << 0 << int(Qt::Key_Up) << 5 << 1;
    QTest::newRow("Down into the partial last row")
        << 25 << 4 << 3 << 0 << int(Qt::Key_Down) << 21 << 25;
    QTest::newRow("Down with nothing below does nothing")
        << 25 << 4 << 3 << 0 << int(Qt::Key_Down) << 22 << 0;
    QTest::newRow("Down in the last row does nothing")
        << 25 << 4 << 3 << 0 << int(Qt::Key_Down) << 25 << 0;
    QTest::newRow("Page Down by three rows")
        << 25 << 4 << 3 << 0 << int(Qt::Key_PageDown) << 2 << 14;
    QTest::newRow("Page Down near the end keeps the column")
        << 25 << 4 << 3 << 0 << int(Qt::Key_PageDown) << 16 << 24;
    QTest::newRow("Page Down in the last full row")
        << 25 << 4 << 3 << 0 << int(Qt::Key_PageDown) << 21 << 25;
    QTest::newRow("Page Down from the last row does nothing")
        << 25 << 4 << 3 << 0 << int(Qt::Key_PageDown) << 22 << 0;
    QTest::newRow("Page Down with overhang pages one row less")
        << 25 << 4 << 3 << 12 << int(Qt::Key_PageDown) << 2 << 10;
    QTest::newRow("Page Up by three rows") << 25 << 4 << 3 << 0 << int(Qt::Key_PageUp) << 18 << 6;
    QTest::newRow("Page Up near the start keeps the column")
        << 25 << 4 << 3 << 0 << int(Qt::Key_PageUp) << 7 << 3;
    QTest::newRow("Page Up in the first row does nothing")
        << 25 << 4 << 3 << 0 << int(Qt::Key_PageUp) << 3 << 0;
    QTest::newRow("Page Up with overhang") << 25 << 4 << 3 << 12 << int(Qt::Key_PageUp) << 18 << 10;
    QTest::newRow("Page keys with one partly shown row stay")
        << 25 << 4 << 1 << 12 << int(Qt::Key_PageDown) << 6 << 6;
    QTest::newRow("Home on the first does nothing")
        << 25 << 4 << 3 << 0 << int(Qt::Key_Home) << 1 << 0;
    QTest::newRow("Home") << 25 << 4 << 3 << 0 << int(Qt::Key_Home) << 9 << 1;
    QTest::newRow("End on the last does nothing")
        << 25 << 4 << 3 << 0 << int(Qt::Key_End) << 25 << 0;
    QTest::newRow("End") << 25 << 4 << 3 << 0 << int(Qt::Key_End) << 3 << 25;
    QTest::newRow("one column: Down moves one") << 5 << 1 << 2 << 0 << int(Qt::Key_Down) << 2 << 3;
}

void tst_keys::navigation()
{
    QFETCH(int, items);
    QFETCH(int, columns);
    QFETCH(int, visibleRows);
    QFETCH(int, overhang);
    QFETCH(int, key);
    QFETCH(int, current);
    QFETCH(int, expected);
    const ThumbKeyGrid grid{items, columns, visibleRows, overhang};
    QCOMPARE(ThumbKeyTarget(key, current, grid), expected);
}

void tst_keys::commands()
{
    QCOMPARE(ClassifyThumbKey(Qt::Key_Escape, Qt::NoModifier), ThumbKeyCommand::StopDraw);
    QCOMPARE(ClassifyThumbKey(Qt::Key_Delete, Qt::NoModifier), ThumbKeyCommand::DeleteSelected);
    QCOMPARE(ClassifyThumbKey(Qt::Key_F2, Qt::NoModifier), ThumbKeyCommand::StartLabelEdit);
    QCOMPARE(ClassifyThumbKey(Qt::Key_F5, Qt::NoModifier), ThumbKeyCommand::Redraw);
    QCOMPARE(ClassifyThumbKey(Qt::Key_A, Qt::ControlModifier), ThumbKeyCommand::SelectAll);
    QCOMPARE(ClassifyThumbKey(Qt::Key_A, Qt::NoModifier), ThumbKeyCommand::None);
    QCOMPARE(ClassifyThumbKey(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier),
             ThumbKeyCommand::None);
    QCOMPARE(ClassifyThumbKey(Qt::Key_Home, Qt::NoModifier), ThumbKeyCommand::Navigate);
    QCOMPARE(ClassifyThumbKey(Qt::Key_B, Qt::NoModifier), ThumbKeyCommand::None);
}

QTEST_GUILESS_MAIN(tst_keys)
#include "tst_keys.moc"
