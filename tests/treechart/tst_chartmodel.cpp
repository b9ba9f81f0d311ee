#include "CollectionMessages.h"
#include "ScriptedMessageService.h"
#include "TreeChart.h"
#include "cPeople.h"

#include <QTest>

static cNode MakeNodeForModel()
{
    cNode node;
    node.setKey(QStringLiteral("m"));
    return node;
}

class tst_chartmodel : public QObject
{
    Q_OBJECT

private slots:
    void personMirrorsRecord();
    void peopleKeysIgnoreCase();
    void peopleDuplicateKeyIsReported();
    void peopleStoresCopies();
    void peopleMissingEntriesAreNull();
    void peopleRemoveKeepsOrderAndIndex();
    void levelAddCopiesAllButGeometry();
    void levelDuplicateKeyIsReported();
    void levelItemChangesReachTheChart();
    void levelsOfNewChartAndAfterClear();
    void levelsRemoveFromEnd();
    void removedNodeLivesWhileReferenced();
};

void tst_chartmodel::personMirrorsRecord()
{
    PersonRecord record{"K1",   "ROOT", "Anna", "Berg",   "Carl",   "Dahl",   "1901",
                        "1950", "Oslo", "Rome", "Main 1", "Bergen", "Norway", "n\"o'tes"};
    const cPerson person(record);
    QCOMPARE(person.Key(), QStringLiteral("K1"));
    QCOMPARE(person.PrtSname(), QStringLiteral("Dahl"));
    QCOMPARE(person.Notes(), QStringLiteral("n\"o'tes"));
    QCOMPARE(person.toRecord(), record);
    QVERIFY(cPerson().Key().isEmpty() && cPerson().Notes().isEmpty());
}

void tst_chartmodel::peopleKeysIgnoreCase()
{
    cPeople people;
    cPerson p;
    p.setKey(QStringLiteral("Abc"));
    p.setFname(QStringLiteral("First"));
    QVERIFY(people.Add(p));
    QCOMPARE(people.Item(QStringLiteral("aBC"))->Fname(), QStringLiteral("First"));
    QCOMPARE(people.Item(1)->Key(), QStringLiteral("Abc"));
}

void tst_chartmodel::peopleDuplicateKeyIsReported()
{
    ScriptedMessageService messages;
    ScopedMessageService scope(messages);
    cPeople people;
    cPerson first;
    first.setKey(QStringLiteral("k7"));
    first.setFname(QStringLiteral("one"));
    people.Add(first);
    cPerson second = first;
    second.setKey(QStringLiteral("K7"));
    second.setFname(QStringLiteral("two"));
    QVERIFY(!people.Add(second));
    // The collection refuses and shows nothing; the window that added names the key.
    QCOMPARE(messages.count(), 0);
    ShowPersonKeyTaken(second.Key());
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text,
             QStringLiteral("The Key 'K7' is already associated with an element of this "
                            "collection."));
    QCOMPARE(messages.last().title, QStringLiteral("Key already exists"));
    QCOMPARE(messages.last().icon, MsgIcon::Critical);
    QCOMPARE(messages.last().buttons, MsgButtons::OkOnly);
    QCOMPARE(people.Count(), 1);
    QCOMPARE(people.Item(QStringLiteral("k7"))->Fname(), QStringLiteral("one"));
}

void tst_chartmodel::peopleStoresCopies()
{
    cPeople people;
    cPerson p;
    p.setKey(QStringLiteral("x"));
    p.setSname(QStringLiteral("before"));
    people.Add(p);
    p.setSname(QStringLiteral("after"));
    QCOMPARE(people.Item(QStringLiteral("x"))->Sname(), QStringLiteral("before"));
    people.Item(QStringLiteral("x"))->setSname(QStringLiteral("changed"));
    QCOMPARE(people.Item(1)->Sname(), QStringLiteral("changed"));
}

void tst_chartmodel::peopleMissingEntriesAreNull()
{
    ScriptedMessageService messages;
    ScopedMessageService scope(messages);
    cPeople people;
    cPerson p;
    p.setKey(QStringLiteral("a"));
    people.Add(p);
    QVERIFY(!people.Item(0));
    QVERIFY(!people.Item(2));
    QVERIFY(!people.Item(-1));
    QVERIFY(!people.Item(QStringLiteral("b")));
    QVERIFY(!people.Item(QString()));
    people.Remove(QStringLiteral("b"));
    people.Remove(5);
    people.Remove(0);
    QCOMPARE(people.Count(), 1);
    QCOMPARE(messages.count(), 0);
}

void tst_chartmodel::peopleRemoveKeepsOrderAndIndex()
{
    cPeople people;
    for (int i = 1; i <= 5; ++i) {
        cPerson p;
        p.setKey(QStringLiteral("K%1").arg(i));
        people.Add(p);
    }
    people.Remove(QStringLiteral("k2"));
    people.Remove(1);
    QCOMPARE(people.Count(), 3);
    QCOMPARE(people.Item(1)->Key(), QStringLiteral("K3"));
    QCOMPARE(people.Item(3)->Key(), QStringLiteral("K5"));
    QVERIFY(!people.Item(QStringLiteral("K1")));
    QVERIFY(!people.Item(QStringLiteral("K2")));
    // A removed key can be used again and lands at the end.
    cPerson again;
    again.setKey(QStringLiteral("k2"));
    QVERIFY(people.Add(again));
    QCOMPARE(people.Item(4)->Key(), QStringLiteral("k2"));
    QStringList order;
    for (const cPersonPtr &p : people)
        order << p->Key();
    QCOMPARE(order, QStringList({"K3", "K4", "K5", "k2"}));
}

void tst_chartmodel::levelAddCopiesAllButGeometry()
{
    auto parent = std::make_shared<cNode>();
    cNode node;
    node.setKey(QStringLiteral("n1"));
    node.setIndex(3);
    node.setLevel(4);
    node.setCaptionA(QStringLiteral("A"));
    node.setCaptionB(QStringLiteral("B"));
    node.setParentNode(parent);
    node.setSelected(true);
    node.setBgColorA(1);
    node.setBgColorB(2);
    node.setForeColorA(3);
    node.setForeColorB(4);
    node.setFrameColor(5);
    node.setShadowColor(6);
    node.setSelBgColorA(7);
    node.setSelBgColorB(8);
    node.setSelForeColorA(9);
    node.setSelForeColorB(10);
    node.setSelShadowColor(11);
    node.setSelFrameColor(12);
    node.setLeft(50);
    node.setTop(51);
    node.setRight(52);
    node.setBottom(53);
    node.setCenter(54);

    cLevel level;
    const cNodePtr stored = level.Add(node);
    QVERIFY(stored && stored.get() != &node);
    QCOMPARE(stored->Index(), 3);
    QCOMPARE(stored->Level(), 4);
    QCOMPARE(stored->CaptionB(), QStringLiteral("B"));
    QCOMPARE(stored->ParentNode(), parent);
    QVERIFY(stored->Selected());
    const OleColor colors[] = {
        stored->BgColorA(),      stored->BgColorB(),       stored->ForeColorA(),
        stored->ForeColorB(),    stored->FrameColor(),     stored->ShadowColor(),
        stored->SelBgColorA(),   stored->SelBgColorB(),    stored->SelForeColorA(),
        stored->SelForeColorB(), stored->SelShadowColor(), stored->SelFrameColor()};
    for (int i = 0; i < 12; ++i)
        QCOMPARE(colors[i], OleColor(i + 1));
    QCOMPARE(stored->Left() + stored->Top() + stored->Right() + stored->Bottom() + stored->Center(),
             0);
    // The caller's object stays the caller's.
    node.setCaptionA(QStringLiteral("changed"));
    QCOMPARE(level.Item(1)->CaptionA(), QStringLiteral("A"));
    QCOMPARE(level.Item(QStringLiteral("N1")), stored);
    QCOMPARE(level.Level().Item(1), stored);
    QCOMPARE(level.Level().Count(), 1);
}

void tst_chartmodel::levelDuplicateKeyIsReported()
{
    ScriptedMessageService messages;
    ScopedMessageService scope(messages);
    cLevel level;
    cNode a;
    a.setKey(QStringLiteral("Key"));
    a.setCaptionA(QStringLiteral("first"));
    level.Add(a);
    cNode b;
    b.setKey(QStringLiteral("KEY"));
    QVERIFY(!level.Add(b));
    // The row refuses and shows nothing; the window that added shows the collection's error.
    QCOMPARE(messages.count(), 0);
    ShowNodeKeyTaken();
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("Error: 457"));
    QCOMPARE(messages.last().text,
             QStringLiteral("This key is already associated with an element of this collection"));
    QCOMPARE(messages.last().icon, MsgIcon::Critical);
    QCOMPARE(messages.last().buttons, MsgButtons::OkOnly);
    QCOMPARE(level.Count(), 1);
    QCOMPARE(level.Item(1)->CaptionA(), QStringLiteral("first"));
    QVERIFY(!level.Item(0));
    QVERIFY(!level.Item(2));
    level.Remove(QStringLiteral("nothing"));
    QCOMPARE(level.Count(), 1);
}

void tst_chartmodel::levelItemChangesReachTheChart()
{
    TreeChart chart;
    chart.resize(400, 300);
    auto row = chart.Levels().AddNew();
    row->Add(MakeNodeForModel());
    row->Item(1)->setCaptionA(QStringLiteral("via Item"));
    QCOMPARE(chart.Levels().Item(1)->Item(QStringLiteral("m"))->CaptionA(),
             QStringLiteral("via Item"));
}

void tst_chartmodel::levelsOfNewChartAndAfterClear()
{
    TreeChart chart;
    QCOMPARE(chart.Levels().Count(), 0);
    cLevels &levels = chart.Levels();
    auto row = levels.AddNew();
    auto node = row->Add(MakeNodeForModel());
    chart.setSelectedNode(node);
    chart.Clear();
    QCOMPARE(levels.Count(), 0);
    QCOMPARE(chart.Levels().Count(), 0);
    QVERIFY(!chart.SelectedNode());
    // Clear leaves the node's own flag alone.
    QVERIFY(node->Selected());
}

void tst_chartmodel::levelsRemoveFromEnd()
{
    cLevels levels;
    for (int i = 0; i < 5; ++i)
        levels.AddNew(QStringLiteral("L%1").arg(i + 1));
    const cLevelPtr second = levels.Item(2);
    // The host cuts everything below a row by removing the next position repeatedly.
    while (levels.Count() > 2)
        levels.Remove(3);
    QCOMPARE(levels.Count(), 2);
    QCOMPARE(levels.Item(2), second);
    QVERIFY(!levels.Item(QStringLiteral("l3")));
    levels.Truncate(1);
    QCOMPARE(levels.Count(), 1);
    QVERIFY(!levels.Add(nullptr));
    QVERIFY(levels.AddNew(QStringLiteral("L2")));
}

void tst_chartmodel::removedNodeLivesWhileReferenced()
{
    cLevels levels;
    auto row1 = levels.AddNew();
    std::weak_ptr<cNode> parentWatch = row1->Add(MakeNodeForModel());
    auto row2 = levels.AddNew();
    cNode child;
    child.setKey(QStringLiteral("child"));
    child.setParentNode(parentWatch.lock());
    const cNodePtr storedChild = row2->Add(child);
    child.setParentNode(nullptr);
    levels.Remove(1);
    QVERIFY(!parentWatch.expired());
    QCOMPARE(storedChild->ParentNode()->Key(), QStringLiteral("m"));
    levels.Clear();
    QVERIFY(!parentWatch.expired()); // the test still holds the child
}

QTEST_MAIN(tst_chartmodel)
#include "tst_chartmodel.moc"
