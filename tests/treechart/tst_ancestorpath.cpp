#include "AncestorChain.h"
#include "ChartPath.h"
#include "ChildRowOpener.h"
#include "support_chart.h"
#include "support_people.h"

#include <QTest>

// The line of ancestors of a person and the chart opened along it.
class tst_ancestorpath : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void pathFiveDeepEqualsClickingEachAncestor();
    void chains_data();
    void chains();
    void brokenChainsOpenFromTheTopmostPerson();
    void onePassOpensWhatTheClicksOpen_data();
    void onePassOpensWhatTheClicksOpen();

private:
    cPeople m_people;
};

void tst_ancestorpath::init()
{
    m_people = cPeople();
    AddPersons(m_people,
               {"g1a|ROOT|Alva|Berg", "g1b|ROOT|Bo|Berg", "g2a|g1a|C", "g2b|g1a|D", "g3a|g2b|E",
                "g4a|g3a|F", "g4b|g3a|G", "g5|g4b|Hanna|Lind", "g6|g5|I", "x|gone|Xena|Ek", "y|x|Y",
                "z|y|Z", "m|G1A|Mia|Moe", "a|b|A", "b|a|B", "p|a|Pia|Pil", "s|s|Sam|Self"});
}

void tst_ancestorpath::pathFiveDeepEqualsClickingEachAncestor()
{
    struct Host
    {
        TreeChart chart;
        ChildRowOpener opener;
        QStringList clicks;
        explicit Host(const cPeople &people) : opener(chart, people, IndexChildren(people))
        {
            ApplyMainWindowDesign(chart);
            chart.resize(300, 200); // the deep rows lie below the view
            opener.ShowRoots();
            QObject::connect(&chart, &TreeChart::NodeClick, [this](const cNodePtr &n, bool a) {
                clicks << n->Key() + (a ? "/A" : "/B");
            });
        }
    };
    Host found(m_people), clicked(m_people);

    const AncestorChain chain = AncestorChain::Of(m_people, QStringLiteral("G5")); // any case
    QCOMPARE(chain.keys, QStringList({"g1a", "g2b", "g3a", "g4b", "g5"}));
    QVERIFY(chain.reachesRoot());
    QVERIFY(chain.BreakText(m_people).isEmpty());
    const cNodePtr person = OpenChainInChart(found.chart, m_people, chain);

    // The same by mouse, row by row, on the upper half of each box.
    QWidget *canvas = clicked.chart.findChild<QWidget *>(QStringLiteral("picBase"));
    for (int row = 1; row <= chain.keys.size(); ++row) {
        const cNodePtr box = clicked.chart.Levels().Item(row)->Item(chain.keys[row - 1]);
        clicked.chart.ScrollIntoView(*box);
        const QPointF at =
            QPointF(box->Left() + 5, box->Top() + 5) - QPointF(clicked.chart.ScrollOffset());
        SendMouse(canvas, QEvent::MouseButtonRelease, at);
    }

    QCOMPARE(RowKeys(found.chart), RowKeys(clicked.chart));
    QCOMPARE(RowKeys(found.chart),
             QStringList({"g1a g1b", "g2a g2b", "g3a", "g4a g4b", "g5", "g6"}));
    QCOMPARE(found.clicks, clicked.clicks);
    QCOMPARE(found.clicks.last(), QStringLiteral("g5/A"));
    QCOMPARE(person, found.chart.SelectedNode());
    QCOMPARE(person->Key(), QStringLiteral("g5"));
    QVERIFY(person->Selected());
    // The thick path runs through the stored boxes up to the root.
    QStringList path;
    for (cNodePtr n = person; n; n = n->ParentNode())
        path.prepend(n->Key());
    QCOMPARE(path, chain.keys);
    const QRect view(found.chart.ScrollOffset(),
                     QSize(found.chart.ViewWidth(), found.chart.ViewHeight()));
    QVERIFY(view.contains(QPoint(person->Left(), person->Bottom())));
}

void tst_ancestorpath::chains_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("brokenAt");
    QTest::addColumn<QString>("text");
    using End = AncestorChain::End;
    QTest::newRow("root itself") << "g1b" << QStringList{"g1b"} << int(End::Root) << ""
                                 << "";
    QTest::newRow("parent missing")
        << "z" << QStringList{"x", "y", "z"} << int(End::MissingParent) << "gone"
        << "The line of ancestors ends at Xena Ek (x): the parent key 'gone' names nobody in "
           "this tree. The chart shows the line from there.";
    QTest::newRow("parent key in other case")
        << "m" << QStringList{"m"} << int(End::MissingParent) << "G1A"
        << "The line of ancestors ends at Mia Moe (m): the parent key 'G1A' names nobody in "
           "this tree. The chart shows the line from there.";
    QTest::newRow("cycle")
        << "p" << QStringList{"b", "a", "p"} << int(End::Cycle) << "a"
        << "The line of ancestors runs in a circle: the parent of B (b) is A (a), who is already "
           "one of the descendants. The chart shows the line from B (b).";
    QTest::newRow("own parent")
        << "s" << QStringList{"s"} << int(End::Cycle) << "s"
        << "The line of ancestors runs in a circle: the parent of Sam Self (s) is Sam Self (s), "
           "who is already one of the descendants. The chart shows the line from Sam Self (s).";
    QTest::newRow("nobody") << "none" << QStringList{} << int(End::NotFound) << ""
                            << "There is no such person in this tree.";
}

void tst_ancestorpath::chains()
{
    QFETCH(QString, key);
    QFETCH(QStringList, keys);
    QFETCH(int, end);
    QFETCH(QString, brokenAt);
    QFETCH(QString, text);
    const AncestorChain chain = AncestorChain::Of(m_people, key);
    QCOMPARE(chain.keys, keys);
    QCOMPARE(int(chain.end), end);
    QCOMPARE(chain.brokenParentKey, brokenAt);
    QCOMPARE(chain.BreakText(m_people), text);
}

void tst_ancestorpath::brokenChainsOpenFromTheTopmostPerson()
{
    TreeChart chart;
    ApplyMainWindowDesign(chart);
    ChildRowOpener opener(chart, m_people, IndexChildren(m_people));
    opener.ShowRoots();
    const QString roots = RowKeys(chart).first();

    cNodePtr person = OpenChainInChart(chart, m_people, AncestorChain::Of(m_people, "z"));
    QCOMPARE(RowKeys(chart), QStringList({roots, "x", "y", "z"}));
    QCOMPARE(person->Key(), QStringLiteral("z"));
    QVERIFY(!chart.Levels().Item(2)->Item(1)->ParentNode()); // the topmost hangs from nobody
    QCOMPARE(person->ParentNode()->ParentNode()->Key(), QStringLiteral("x"));

    // A circle: from its topmost person down, the rows as clicks open them.
    person = OpenChainInChart(chart, m_people, AncestorChain::Of(m_people, "p"));
    QCOMPARE(RowKeys(chart), QStringList({roots, "b", "a", "b p"}));
    QCOMPARE(person, chart.SelectedNode());
    QCOMPARE(person->Key(), QStringLiteral("p"));

    QVERIFY(!OpenChainInChart(chart, m_people, AncestorChain::Of(m_people, "none")));
    QCOMPARE(chart.SelectedNode(), person);
}

void tst_ancestorpath::onePassOpensWhatTheClicksOpen_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("to a root") << "g5";
    QTest::newRow("a root itself") << "g1b";
    QTest::newRow("a leaf") << "g6";
    QTest::newRow("parent missing") << "z";
    QTest::newRow("cycle") << "p";
    QTest::newRow("own parent") << "s";
    QTest::newRow("nobody") << "none";
}

void tst_ancestorpath::onePassOpensWhatTheClicksOpen()
{
    QFETCH(QString, key);
    // Both charts start from an earlier path, whose selection must not stay behind.
    struct Host
    {
        TreeChart chart;
        ChildRowOpener opener;
        int clicks = 0;
        explicit Host(const cPeople &people) : opener(chart, people, IndexChildren(people))
        {
            ApplyMainWindowDesign(chart);
            chart.resize(300, 200);
            opener.ShowRoots();
            OpenChainInChart(chart, people, AncestorChain::Of(people, QStringLiteral("g2a")));
            QObject::connect(&chart, &TreeChart::NodeClick, [this] { ++clicks; });
        }
        // Each box: row, key, parent's key, place, selected.
        QStringList boxes() const
        {
            QStringList out;
            for (int row = 1; row <= chart.Levels().Count(); ++row) {
                for (const cNodePtr &n : *chart.Levels().Item(row))
                    out << QStringLiteral("%1 %2<%3 %4,%5-%6,%7 %8")
                               .arg(row)
                               .arg(n->Key(), n->ParentNode() ? n->ParentNode()->Key() : "-")
                               .arg(n->Left())
                               .arg(n->Top())
                               .arg(n->Right())
                               .arg(n->Bottom())
                               .arg(n->Selected() ? "selected" : "");
            }
            return out;
        }
    };
    Host clicked(m_people), onePass(m_people);
    const AncestorChain chain = AncestorChain::Of(m_people, key);
    const cNodePtr byClicks = OpenChainInChart(clicked.chart, m_people, chain);
    const int draws = onePass.chart.DrawCount();
    const cNodePtr atOnce = onePass.opener.OpenChain(chain);

    if (chain.keys.isEmpty()) {
        QVERIFY(!atOnce);
        return;
    }
    QVERIFY(byClicks && atOnce);
    QCOMPARE(atOnce->Key(), byClicks->Key());
    QCOMPARE(onePass.chart.SelectedNode(), atOnce);
    QCOMPARE(onePass.boxes(), clicked.boxes());
    QCOMPARE(onePass.chart.ChartSize(), clicked.chart.ChartSize());
    QCOMPARE(onePass.chart.ScrollOffset(), clicked.chart.ScrollOffset());
    // Drawn once, without a click for the host to answer.
    QCOMPARE(onePass.chart.DrawCount(), draws + 1);
    QCOMPARE(onePass.clicks, 0);
    QVERIFY(clicked.clicks > 0);
}

QTEST_MAIN(tst_ancestorpath)
#include "tst_ancestorpath.moc"
