#include "DescendantGeometry.h"
#include "DescendantTree.h"
#include "TidyLayout.h"
#include "support_people.h"
#include "support_trees.h"

#include <QTest>

#include <cmath>

// The descendant tree and its tidy layout: invariants on generated trees, exact small cases,
// and work that grows linearly.
class tst_descendantlayout : public QObject
{
    Q_OBJECT

private slots:
    void buildKeepsOrderAndCutsRepeats();
    void allRootsAndMissingRoot();
    void invariantsOnGeneratedTrees_data();
    void invariantsOnGeneratedTrees();
    void smallSubtreesSpreadEvenly();
    void workGrowsLinearly_data();
    void workGrowsLinearly();
    void geometryHitsAndVisibleRows();

private:
    static void checkInvariants(const cPeople &people, const DescendantTree &tree,
                                const std::vector<double> &x, double distance);
};

void tst_descendantlayout::buildKeepsOrderAndCutsRepeats()
{
    cPeople people;
    AddPersons(people,
               {"r|ROOT|R", "c2|r|C2", "c1|r|C1", "g|c1|G", "a|g|A", "loop|a|L", "back|loop|B"});
    // "a" leads back to itself through a circle once its parent is made its grandchild.
    cPerson a = *people.Item("a");
    people.Remove("a");
    a.setPrntKey("back");
    people.Add(a);
    const DescendantTree tree = DescendantTree::Build(people, IndexChildren(people), "A");
    QCOMPARE(tree.Keys(), QStringList({"a", "loop", "back"})); // found in any case, once each
    QCOMPARE(int(tree.Cuts().size()), 1);
    QCOMPARE(tree.Cuts()[0].key, QStringLiteral("a"));
    QCOMPARE(tree.Cuts()[0].parentKey, QStringLiteral("back"));
    QCOMPARE(tree.Generations(), 3);

    const DescendantTree fromRoot = DescendantTree::Build(people, IndexChildren(people), "r");
    QCOMPARE(fromRoot.Keys(), QStringList({"r", "c2", "c1", "g"})); // children in collection order
    QCOMPARE(fromRoot.At(0).firstChild, 1);
    QCOMPARE(fromRoot.At(0).childCount, 2);
    QCOMPARE(fromRoot.At(3).parent, 2);
    QCOMPARE(fromRoot.GenerationBegin(2), 3);
    QCOMPARE(fromRoot.GenerationEnd(2), 4);
}

void tst_descendantlayout::allRootsAndMissingRoot()
{
    cPeople people;
    // A person keyed ROOT that is a root itself: the roots are its children and repeat.
    AddPersons(people, {"x|ROOT|X", "ROOT|ROOT|Odd", "y|x|Y", "z|ROOT|Z"});
    const DescendantTree all = DescendantTree::Build(people, IndexChildren(people), QString());
    QCOMPARE(all.Keys(), QStringList({"x", "ROOT", "z", "y"}));
    QCOMPARE(all.TopCount(), 3);
    QCOMPARE(int(all.Cuts().size()), 3);
    QCOMPARE(DescendantTree::Build(people, IndexChildren(people), "nobody").Count(), 0);
    DescendantGeometry empty;
    const DescendantTree none;
    empty.Arrange(none, ChartSettings::MainWindow());
    QVERIFY(empty.ChartSize().isEmpty());
    QCOMPARE(empty.HitTest(QPointF(20, 20)), -1);
}

void tst_descendantlayout::checkInvariants(const cPeople &people, const DescendantTree &tree,
                                           const std::vector<double> &x, double distance)
{
    constexpr double eps = 1e-6;
    QCOMPARE(int(x.size()), tree.Count());
    QCOMPARE(*std::min_element(x.begin(), x.end()), 0.0);
    const ChildrenOf children = IndexChildren(people);
    for (int g = 0; g < tree.Generations(); ++g) {
        // Left to right in the tree's order, never closer than the distance.
        for (int i = tree.GenerationBegin(g) + 1; i < tree.GenerationEnd(g); ++i) {
            if (x[size_t(i)] - x[size_t(i - 1)] < distance - eps)
                QFAIL(qPrintable(QStringLiteral("persons %1 and %2 overlap").arg(i - 1).arg(i)));
        }
    }
    for (int p = 0; p < tree.Count(); ++p) {
        const DescendantTree::Person &person = tree.At(p);
        if (person.childCount == 0)
            continue;
        const double mid =
            (x[size_t(person.firstChild)] + x[size_t(person.firstChild + person.childCount - 1)]) /
            2;
        if (std::abs(x[size_t(p)] - mid) > eps)
            QFAIL(qPrintable(QStringLiteral("person %1 is not centred").arg(p)));
        // The children in the order of the collection.
        const auto &expected = children(person.key);
        QCOMPARE(person.childCount, int(expected.size()));
        for (int c = 0; c < person.childCount; ++c)
            QCOMPARE(tree.At(person.firstChild + c).key, expected[size_t(c)]->Key());
    }
}

void tst_descendantlayout::invariantsOnGeneratedTrees_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<std::function<int(int)>>("shape");
    QTest::newRow("random") << 3000 << TreeShapes::Random(7);
    QTest::newRow("bushy") << 3000 << TreeShapes::Bushy(11);
    QTest::newRow("bushy, wide families") << 3000 << TreeShapes::Bushy(5, 20);
    QTest::newRow("comb") << 2001 << std::function<int(int)>(TreeShapes::Comb);
    QTest::newRow("binary") << 2047 << std::function<int(int)>(TreeShapes::Binary);
    QTest::newRow("line of 20,000") << 20000 << std::function<int(int)>(TreeShapes::Chain);
    QTest::newRow("one family") << 500 << std::function<int(int)>(TreeShapes::Star);
}

void tst_descendantlayout::invariantsOnGeneratedTrees()
{
    QFETCH(int, count);
    QFETCH(std::function<int(int)>, shape);
    const cPeople people = GeneratedPeople(count, shape);
    const DescendantTree tree = DescendantTree::Build(people, IndexChildren(people), "p0");
    QCOMPARE(tree.Count(), count);
    const double distance = 160;
    checkInvariants(people, tree, TidyLayout::Run(tree, distance).x, distance);
}

void tst_descendantlayout::smallSubtreesSpreadEvenly()
{
    cPeople people;
    AddPersons(people, {"r|ROOT", "t1|r", "l1|r", "l2|r", "t2|r", "a|t1", "b|t1", "c|t1", "d|t2",
                        "e|t2", "f|t2", "s|ROOT"});
    const DescendantTree tree = DescendantTree::Build(people, IndexChildren(people), QString());
    const std::vector<double> x = TidyLayout::Run(tree, 10).x;
    QHash<QString, double> at;
    for (int i = 0; i < tree.Count(); ++i)
        at.insert(tree.At(i).key, x[size_t(i)]);
    // The grandchildren side by side, the two leaves spread evenly between t1 and t2, each
    // parent centred.
    for (const char *k : {"a", "b", "c", "d", "e", "f"})
        QCOMPARE(at[k], 10.0 * (QByteArray("abcdef").indexOf(*k)));
    QCOMPARE(at["t1"], 10.0);
    QCOMPARE(at["l1"], 20.0);
    QCOMPARE(at["l2"], 30.0);
    QCOMPARE(at["t2"], 40.0);
    QCOMPARE(at["r"], 25.0);
    QCOMPARE(at["s"], 35.0); // a second root needs only its own row clear
}

void tst_descendantlayout::workGrowsLinearly_data()
{
    QTest::addColumn<std::function<int(int)>>("shape");
    QTest::newRow("random") << TreeShapes::Random(3);
    QTest::newRow("bushy") << TreeShapes::Bushy(5);
    QTest::newRow("comb") << std::function<int(int)>(TreeShapes::Comb);
    QTest::newRow("binary") << std::function<int(int)>(TreeShapes::Binary);
    QTest::newRow("line") << std::function<int(int)>(TreeShapes::Chain);
}

void tst_descendantlayout::workGrowsLinearly()
{
    QFETCH(std::function<int(int)>, shape);
    double perPerson[2] = {};
    int i = 0;
    for (int count : {4000, 32000}) {
        const cPeople people = GeneratedPeople(count, shape);
        const DescendantTree tree = DescendantTree::Build(people, IndexChildren(people), "p0");
        perPerson[i++] = double(TidyLayout::Run(tree, 100).work) / tree.Count();
    }
    // A few steps per person, and no more per person on a tree eight times as large.
    QVERIFY2(perPerson[0] < 8, qPrintable(QString::number(perPerson[0])));
    QVERIFY2(perPerson[1] < perPerson[0] * 1.1 + 0.1,
             qPrintable(QStringLiteral("%1 then %2").arg(perPerson[0]).arg(perPerson[1])));
}

void tst_descendantlayout::geometryHitsAndVisibleRows()
{
    const cPeople people = GeneratedPeople(1001, TreeShapes::Star); // one row of 1,000
    const DescendantTree tree = DescendantTree::Build(people, IndexChildren(people), "p0");
    DescendantGeometry geometry;
    const ChartSettings s = ChartSettings::MainWindow(); // 140 x 40, gaps 20 and 40, margin 10
    geometry.Arrange(tree, s);
    QCOMPARE(geometry.Left(1), 10);
    QCOMPARE(geometry.Left(2), 170);
    QCOMPARE(geometry.Top(1), 90);
    QCOMPARE(geometry.Left(0), 10 + 999 * 80); // centred over the family
    QCOMPARE(geometry.ChartSize(), QSize(10 + 999 * 160 + 142 + 10, 2 * 80 + 20 - 40));
    QCOMPARE(geometry.Center(1), 80);
    QCOMPARE(geometry.HitTest(QPointF(170, 90)), 2);   // corner
    QCOMPARE(geometry.HitTest(QPointF(310, 130)), 2);  // far corner
    QCOMPARE(geometry.HitTest(QPointF(311, 100)), -1); // shadow strip
    QCOMPARE(geometry.HitTest(QPointF(200, 131)), -1);
    QCOMPARE(geometry.HitTest(QPointF(200, 60)), -1); // between the rows

    // A view of a few boxes asks for those boxes and one beside them on either side.
    QList<QPair<int, int>> rows;
    geometry.ForEachRowIn(QRect(1000, 95, 400, 30), [&](int g, int begin, int end) {
        rows.append({begin, end});
        QCOMPARE(g, 1);
    });
    QCOMPARE(rows, (QList<QPair<int, int>>{{6, 11}}));
    rows.clear();
    // The gap between the rows holds the elbows of the row below, drawn with its boxes; the
    // nearest box beyond the view draws the bar across it to the far parent.
    geometry.ForEachRowIn(QRect(0, 60, 400, 10), [&](int, int begin, int end) {
        rows.append({begin, end});
    });
    QCOMPARE(rows, (QList<QPair<int, int>>{{1, 5}}));
}

QTEST_MAIN(tst_descendantlayout)
#include "tst_descendantlayout.moc"
