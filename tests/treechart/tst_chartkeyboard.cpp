#include "ChildRowOpener.h"
#include "support_chart.h"
#include "support_people.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>

// The chart's keys, with a host that opens children on a click as the main window does.
class tst_chartkeyboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstKeyStartsInFirstRow_data();
    void firstKeyStartsInFirstRow();
    void walkingTheRowActsAsClicks();
    void upAndDownFollowTheLine();
    void returnIsADoubleClick();
    void keysWithModifiersBelongToTheHost();
    void selectedBoxIsScrolledIntoView();
    void focusFrameFollowsFocus();

private:
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(m_chart, Qt::Key(k), mods);
    }
    TreeChart *m_chart = nullptr;
    cPeople m_people;
    ChildRowOpener *m_host = nullptr;
    QStringList m_log;
};

void tst_chartkeyboard::init()
{
    m_people = cPeople();
    AddPersons(m_people, {"r1|ROOT|R1", "r2|ROOT|R2", "a|r1|A", "b|r1|B", "c|r1|C", "b1|b|B1",
                          "b2|b|B2", "x|nobody|X"});
    m_chart = new TreeChart;
    ApplyMainWindowDesign(*m_chart);
    m_chart->resize(700, 320);
    m_host = new ChildRowOpener(*m_chart, m_people, IndexChildren(m_people));
    m_host->ShowRoots();
    m_log.clear();
    connect(m_chart, &TreeChart::NodeClick, this, [this](const cNodePtr &n, bool partA) {
        m_log << QStringLiteral("click %1 %2").arg(n->Key()).arg(partA);
    });
    connect(m_chart, &TreeChart::NodeDblClick, this, [this](const cNodePtr &n, bool partA) {
        m_log << QStringLiteral("dbl %1 %2").arg(n->Key()).arg(partA);
    });
}

void tst_chartkeyboard::cleanup()
{
    delete m_chart;
    m_chart = nullptr;
}

void tst_chartkeyboard::firstKeyStartsInFirstRow_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Left") << int(Qt::Key_Left) << "r1";
    QTest::newRow("Right") << int(Qt::Key_Right) << "r1";
    QTest::newRow("Up") << int(Qt::Key_Up) << "r1";
    QTest::newRow("Down") << int(Qt::Key_Down) << "r1";
    QTest::newRow("Home") << int(Qt::Key_Home) << "r1";
    QTest::newRow("End") << int(Qt::Key_End) << "r2";
    QTest::newRow("Return") << int(Qt::Key_Return) << "";
}

void tst_chartkeyboard::firstKeyStartsInFirstRow()
{
    QFETCH(int, key);
    QFETCH(QString, expected);
    this->key(key);
    if (expected.isEmpty()) {
        QVERIFY(m_log.isEmpty());
        QVERIFY(!m_chart->SelectedNode());
        return;
    }
    QCOMPARE(m_log, QStringList{QStringLiteral("click %1 1").arg(expected)});
    QCOMPARE(m_chart->SelectedNode()->Key(), expected);
    QVERIFY(m_chart->SelectedNode()->Selected());
    QCOMPARE(RowKeys(*m_chart).size(), expected == "r1" ? 2 : 1); // r1's children opened
}

void tst_chartkeyboard::walkingTheRowActsAsClicks()
{
    key(Qt::Key_Down); // r1
    key(Qt::Key_Down); // a, first child
    key(Qt::Key_Right);
    QCOMPARE(m_log, QStringList({"click r1 1", "click a 1", "click b 1"}));
    QCOMPARE(RowKeys(*m_chart), QStringList({"r1 r2", "a b c", "b1 b2"}));
    const cNodePtr b = m_chart->SelectedNode();
    key(Qt::Key_Right); // c: b's children row is cut, c has none
    QCOMPARE(RowKeys(*m_chart), QStringList({"r1 r2", "a b c"}));
    QVERIFY(!b->Selected());
    m_log.clear();
    key(Qt::Key_Right); // at the end of the row: nothing
    key(Qt::Key_End);   // already there: nothing
    QVERIFY(m_log.isEmpty());
    key(Qt::Key_Home);
    key(Qt::Key_End);
    key(Qt::Key_Left);
    QCOMPARE(m_log, QStringList({"click a 1", "click c 1", "click b 1"}));
    QCOMPARE(RowKeys(*m_chart).last(), QStringLiteral("b1 b2"));
}

void tst_chartkeyboard::upAndDownFollowTheLine()
{
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    key(Qt::Key_Right); // b2
    QCOMPARE(m_chart->SelectedNode()->Key(), QStringLiteral("b2"));
    m_log.clear();
    key(Qt::Key_Down); // b2 has no children: no row below
    QVERIFY(m_log.isEmpty());
    key(Qt::Key_Up); // b, as clicked: its children reopen
    QCOMPARE(m_log, QStringList{"click b 1"});
    QCOMPARE(RowKeys(*m_chart), QStringList({"r1 r2", "a b c", "b1 b2"}));
    key(Qt::Key_Up);
    key(Qt::Key_Up); // r1 has no parent box
    QCOMPARE(m_log.last(), QStringLiteral("click r1 1"));
    QCOMPARE(m_log.size(), 2);
    QCOMPARE(RowKeys(*m_chart), QStringList({"r1 r2", "a b c"}));
    // Down takes the first box hanging from the selected one, not the first of the row.
    key(Qt::Key_Right); // r2, no children: the row below is gone
    key(Qt::Key_Down);
    QCOMPARE(m_log.last(), QStringLiteral("click r2 1"));
}

void tst_chartkeyboard::returnIsADoubleClick()
{
    key(Qt::Key_Right); // r1
    key(Qt::Key_Return);
    key(Qt::Key_Enter);
    QCOMPARE(m_log, QStringList({"click r1 1", "dbl r1 1", "dbl r1 1"}));
    QCOMPARE(m_chart->SelectedNode()->Key(), QStringLiteral("r1"));
}

void tst_chartkeyboard::keysWithModifiersBelongToTheHost()
{
    key(Qt::Key_Right, Qt::ControlModifier);
    key(Qt::Key_Down, Qt::ShiftModifier);
    QVERIFY(m_log.isEmpty());
    key(Qt::Key_Right, Qt::KeypadModifier); // the number pad's arrows are arrows
    QCOMPARE(m_log, QStringList{"click r1 1"});
}

void tst_chartkeyboard::selectedBoxIsScrolledIntoView()
{
    cPeople people;
    QStringList lines{"r|ROOT|R", "c|r|C"};
    for (int i = 0; i < 60; ++i)
        lines << QStringLiteral("k%1|c|K%1").arg(i);
    AddPersons(people, lines);
    TreeChart chart;
    ApplyMainWindowDesign(chart);
    chart.resize(400, 150); // not two whole rows
    ChildRowOpener host(chart, people, IndexChildren(people));
    host.ShowRoots();
    const auto inView = [&chart](const cNodePtr &n) {
        const QRect view(chart.ScrollOffset(), QSize(chart.ViewWidth(), chart.ViewHeight()));
        return view.contains(QRect(QPoint(n->Left(), n->Top()), QPoint(n->Right(), n->Bottom())));
    };
    for (int k : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_End})
        QTest::keyClick(&chart, Qt::Key(k));
    QCOMPARE(chart.SelectedNode()->Key(), QStringLiteral("k59")); // far right, third row
    QVERIFY(chart.ScrollOffset().x() > 9000);
    QVERIFY(inView(chart.SelectedNode()));
    QTest::keyClick(&chart, Qt::Key_Home);
    QVERIFY(inView(chart.SelectedNode()));
    QTest::keyClick(&chart, Qt::Key_Up);
    QTest::keyClick(&chart, Qt::Key_Up); // back in the top row
    QCOMPARE(chart.ScrollOffset(), QPoint(0, 0));
}

void tst_chartkeyboard::focusFrameFollowsFocus()
{
    QVERIFY(m_chart->focusPolicy() & Qt::TabFocus);
    QCOMPARE(m_chart->findChild<QScrollBar *>(QStringLiteral("HScroll"))->focusPolicy(),
             Qt::NoFocus);
    m_chart->show();
    QApplication::setActiveWindow(m_chart);
    QVERIFY(QTest::qWaitForWindowActive(m_chart));
    key(Qt::Key_Right); // r1: 10..152 x 10..52, the frame 3 pixels outside
    QWidget *canvas = m_chart->findChild<QWidget *>(QStringLiteral("picBase"));
    m_chart->clearFocus();
    const QImage without = canvas->grab().toImage();
    // A click on the canvas gives the chart the focus.
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(400, 200));
    QVERIFY(m_chart->hasFocus());
    const QImage with = canvas->grab().toImage();
    const QColor background = TranslateColor(0x00F0FFFF);
    QCOMPARE(without.pixelColor(6, 30), background);
    QVERIFY(with.pixelColor(6, 30) != background);
    QVERIFY(with.pixelColor(30, 55) != background);                // below the shadow
    QCOMPARE(with.pixelColor(30, 20), without.pixelColor(30, 20)); // the box itself
}

QTEST_MAIN(tst_chartkeyboard)
#include "tst_chartkeyboard.moc"
