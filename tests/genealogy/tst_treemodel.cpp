// The container of a tree's side records: texts that never move, tables read through owner
// indexes that follow every change, places shared by name, copies that stand alone.
#include "TreeModel.h"

#include <QTest>

using namespace Genealogy;

class TestTreeModel : public QObject
{
    Q_OBJECT

private slots:
    void textsStayWhereTheyAre();
    void ownerIndexesFollowChanges();
    void childrenAndParentsInTheirOwnOrders();
    void placesAreSharedByName();
    void copiesStandAlone();
    void refsPackKindAndIndex();
};

void TestTreeModel::textsStayWhereTheyAre()
{
    TextStore store;
    const Text empty = store.add(QByteArrayView());
    QVERIFY(empty.isEmpty());
    const Text small = store.add(QStringView(u"Zoë"));
    const QByteArrayView before = store.utf8(small);
    // A text larger than a block gets one of its own; those after it go on from there.
    const QByteArray big(3 * 1024 * 1024 + 17, 'x');
    const Text large = store.add(QByteArrayView(big));
    std::vector<Text> many;
    for (int i = 0; i < 20000; ++i)
        many.push_back(store.add(QByteArray::number(i).repeated(8)));
    QCOMPARE(store.string(small), QStringLiteral("Zoë"));
    QCOMPARE(store.utf8(small).data(), before.data()); // never moved
    QCOMPARE(store.utf8(large), QByteArrayView(big));
    for (int i = 0; i < 20000; i += 997)
        QCOMPARE(store.utf8(many[size_t(i)]), QByteArrayView(QByteArray::number(i).repeated(8)));
    QVERIFY(!store.isFull());
    const TextStore copy = store;
    QCOMPARE(copy.utf8(large), QByteArrayView(big));
    QCOMPARE(copy.string(many.back()), store.string(many.back()));
    QVERIFY(copy.utf8(small).data() != before.data());
}

void TestTreeModel::ownerIndexesFollowChanges()
{
    TreeModel m;
    m.persons.resize(3);
    m.families.resize(1);
    auto event = [&](Ref owner, const char *value) {
        Event e;
        e.owner = owner;
        e.type = EventTypes::find("OCCU", false);
        e.value = m.text(QByteArrayView(value));
        return m.events.add(e);
    };
    event(Ref(Kind::Person, 2), "a");
    event(Ref(Kind::Family, 0), "b");
    event(Ref(Kind::Person, 2), "c");
    event(Ref(Kind::Person, 0), "d");
    QCOMPARE(m.eventsOf(Ref(Kind::Person, 2)).size(), size_t(2));
    QCOMPARE(m.string(m.events[m.eventsOf(Ref(Kind::Person, 2))[1]].value), QStringLiteral("c"));
    QVERIFY(m.eventsOf(Ref(Kind::Person, 1)).empty());
    QVERIFY(m.eventsOf(Ref(Kind::Person, 99)).empty());
    // Moving an event to another owner and adding one are seen at once.
    m.events.edit(0).owner = Ref(Kind::Person, 1);
    event(Ref(Kind::Person, 2), "e");
    QCOMPARE(m.eventsOf(Ref(Kind::Person, 1)).size(), size_t(1));
    QCOMPARE(m.eventsOf(Ref(Kind::Person, 2)).size(), size_t(2));
    QCOMPARE(m.eventsOf(Ref(Kind::Family, 0)).size(), size_t(1));
    m.events.removeLast();
    QCOMPARE(m.eventsOf(Ref(Kind::Person, 2)).size(), size_t(1));
    QVERIFY(m.bytes() > 0);
}

void TestTreeModel::childrenAndParentsInTheirOwnOrders()
{
    TreeModel m;
    m.persons.resize(4);
    m.families.resize(2);
    // Person 3 is the second child of family 0 and the first of family 1, but lists family 1
    // second among its own families.
    auto link = [&](quint32 family, quint32 child, quint32 order) {
        ChildLink l;
        l.family = family;
        l.child = child;
        l.childOrder = order;
        return m.childLinks.add(l);
    };
    link(1, 3, 1);
    link(0, 2, 0);
    link(0, 3, 0);
    QCOMPARE(m.childLinksOf(0).size(), size_t(2));
    QCOMPARE(m.childLinks[m.childLinksOf(0)[1]].child, 3u);
    const std::span<const quint32> parents = m.parentLinksOf(3);
    QCOMPARE(parents.size(), size_t(2));
    QCOMPARE(m.childLinks[parents[0]].family, 0u);
    QCOMPARE(m.childLinks[parents[1]].family, 1u);
    m.childLinks.edit(0).childOrder = 0;
    m.childLinks.edit(2).childOrder = 5;
    QCOMPARE(m.childLinks[m.parentLinksOf(3)[0]].family, 1u);
}

void TestTreeModel::placesAreSharedByName()
{
    TreeModel m;
    const quint32 bath = m.place("Bath");
    QCOMPARE(m.place("Bath"), bath);
    // Coordinates given later complete the place; other coordinates make a place of their own.
    QCOMPARE(m.place("Bath", "N51", "W2"), bath);
    QCOMPARE(m.string(m.places[bath].latitude), QStringLiteral("N51"));
    QCOMPARE(m.place("Bath"), bath);
    const quint32 elsewhere = m.place("Bath", "N9", "W9");
    QVERIFY(elsewhere != bath);
    QCOMPARE(m.place("Bath", "N9", "W9"), elsewhere);
    QCOMPARE(m.findPlace("Bath"), bath);
    QCOMPARE(m.findPlace("Wells"), kNoIndex);
    QCOMPARE(m.places.size(), 2u);
}

void TestTreeModel::copiesStandAlone()
{
    auto original = std::make_unique<TreeModel>();
    original->persons.resize(1);
    const quint32 place = original->place("York", "N53", "W1");
    Name n;
    n.person = 0;
    n.nickname = original->text(QByteArrayView("Jo"));
    original->names.add(n);
    QCOMPARE(original->namesOf(0).size(), size_t(1));
    const TreeModel copy = *original;
    original.reset();
    QCOMPARE(copy.namesOf(0).size(), size_t(1));
    QCOMPARE(copy.string(copy.names[0].nickname), QStringLiteral("Jo"));
    QCOMPARE(copy.findPlace("York"), place);
    TreeModel second;
    second = copy;
    QCOMPARE(second.place("York", "N53", "W1"), place);
    QCOMPARE(second.places.size(), 1u);
}

void TestTreeModel::refsPackKindAndIndex()
{
    const Ref r(Kind::Citation, Ref::kMaxIndex);
    QCOMPARE(int(r.kind()), int(Kind::Citation));
    QCOMPARE(r.index(), Ref::kMaxIndex);
    QVERIFY(Ref().isNull());
    QVERIFY(!Ref(Kind::Person, 0).isNull());
    QCOMPARE(Ref::fromBits(r.bits()), r);
}

QTEST_GUILESS_MAIN(TestTreeModel)
#include "tst_treemodel.moc"
