// The rules between a tree's rows and its model, and the check that states every one of them:
// a consistent tree gives no line; each kind of disagreement gives its own.
#include "RowRules.h"
#include "TreeCheck.h"

#include <QTest>

using namespace Genealogy;

namespace {

// Adam (0) and Bea (1) with their son Sam (2); Sam married Wendy (3); Lone (4) has no family.
struct Tree
{
    TreeModel model;
    std::vector<PersonRow> rows;

    Tree()
    {
        const char *const names[][3] = {{"A", "Adam", "Old"},
                                        {"B", "Bea", "Old"},
                                        {"S", "Sam", "Old"},
                                        {"W", "Wendy", "New"},
                                        {"L", "Lone", "Person"}};
        for (const auto &n : names) {
            PersonRow row;
            row.ID = QString::fromLatin1(n[0]);
            row.Fname = QString::fromLatin1(n[1]);
            row.Sname = QString::fromLatin1(n[2]);
            rows.push_back(row);
        }
        model.persons.resize(rows.size());
        family(0, 1);
        family(2, 3);
        ChildLink link;
        link.family = 0;
        link.child = 2;
        model.childLinks.add(link);
        rows[0].PrntKey = "ROOT";
        rows[2].PrntKey = "A";
        rows[4].PrntKey = "ROOT";
        partners(0, 1);
        partners(2, 3);
    }
    void family(quint32 a, quint32 b)
    {
        Family f;
        f.partner[0] = a;
        f.partner[1] = b;
        const quint32 index = model.families.add(f);
        model.partnerships.add({a, index});
        model.partnerships.add({b, index});
    }
    void partners(int a, int b)
    {
        rows[size_t(a)].PrtFname = rows[size_t(b)].Fname;
        rows[size_t(a)].PrtSname = rows[size_t(b)].Sname;
        rows[size_t(b)].PrtFname = rows[size_t(a)].Fname;
        rows[size_t(b)].PrtSname = rows[size_t(a)].Sname;
    }
    quint32 event(quint32 person, EventTypes::Id type)
    {
        Event e;
        e.owner = Ref(Kind::Person, person);
        e.type = type;
        return model.events.add(e);
    }
    QStringList check() const { return checkTree(rows, model); }
};

} // namespace

class TestTreeCheck : public QObject
{
    Q_OBJECT

private slots:
    void lineOfDescent();
    void partnerColumnsFollowTheFirstFamily();
    void aConsistentTreeGivesNoLine();
    void eachDisagreementIsNamed();
};

void TestTreeCheck::lineOfDescent()
{
    Tree t;
    using K = RowRules::LineChoice::Kind;
    QCOMPARE(int(RowRules::lineOf(t.model, 0).kind), int(K::Root));
    QCOMPARE(int(RowRules::lineOf(t.model, 1).kind), int(K::Outside)); // married in
    const RowRules::LineChoice sam = RowRules::lineOf(t.model, 2);
    QCOMPARE(int(sam.kind), int(K::Parent));
    QCOMPARE(sam.parent, 0u);
    // In Sam's own family the line runs through him, the partner who is a child.
    QCOMPARE(RowRules::lineParent(t.model, 1), 2u);
    QCOMPARE(int(RowRules::lineOf(t.model, 3).kind), int(K::Outside));
    QCOMPARE(int(RowRules::lineOf(t.model, 4).kind), int(K::Root));
    // An adopted child follows its birth family, listed second.
    Family adoptive;
    adoptive.partner[0] = 4;
    const quint32 f = t.model.families.add(adoptive);
    t.model.partnerships.add({4, f});
    ChildLink adopted;
    adopted.family = f;
    adopted.child = 2;
    adopted.childOrder = 0;
    adopted.relation[0] = adopted.relation[1] = ChildRelation::Adopted;
    t.model.childLinks.edit(0).childOrder = 1;
    t.model.childLinks.add(adopted);
    QCOMPARE(RowRules::lineOf(t.model, 2).parent, 0u);
    t.model.childLinks.edit(0).relation[0] = ChildRelation::Foster;
    QCOMPARE(RowRules::lineOf(t.model, 2).parent, 4u); // none is birth: the first family
}

void TestTreeCheck::partnerColumnsFollowTheFirstFamily()
{
    Tree t;
    QCOMPARE(RowRules::partnerOfRow(t.model, 2), std::optional<quint32>(3));
    QCOMPARE(RowRules::partnerOfRow(t.model, 4), std::nullopt);
    QCOMPARE(RowRules::firstFamily(t.model, 0), 0u);
    // A family with one partner governs the columns too: empty.
    Family single;
    single.partner[0] = 4;
    t.model.partnerships.add({4, t.model.families.add(single)});
    QCOMPARE(RowRules::partnerOfRow(t.model, 4), std::optional<quint32>(kNoIndex));
}

void TestTreeCheck::aConsistentTreeGivesNoLine()
{
    Tree t;
    QCOMPARE(t.check(), QStringList());
    // The first birth holds no date; a second birth has its own.
    t.event(2, EventTypes::birth());
    const quint32 second = t.event(2, EventTypes::birth());
    t.model.events.edit(second).date = t.model.text(QByteArrayView("1900"));
    // A residence with an address before the row's is fine; the row's holds only its rest.
    const quint32 old = t.event(2, EventTypes::residence());
    EventDetail d;
    Address a;
    a.present = true;
    a.line = t.model.text(QByteArrayView("Old Street"));
    d.address = t.model.addresses.add(a);
    t.model.events.edit(old).detail = t.model.eventDetails.add(d);
    const quint32 row = t.event(2, EventTypes::residence());
    t.model.events.edit(row).flags = Event::RowResidence;
    QCOMPARE(t.check(), QStringList());
}

void TestTreeCheck::eachDisagreementIsNamed()
{
    auto expectOne = [](const Tree &t, const char *words) {
        const QStringList lines = t.check();
        QVERIFY2(lines.size() == 1 && lines[0].contains(QLatin1String(words)),
                 qPrintable(lines.join(QLatin1String(" / "))));
    };
    {
        Tree t;
        t.rows[2].PrtFname = "Someone";
        expectOne(t, "partner columns");
    }
    {
        Tree t;
        t.rows[2].PrntKey = "L"; // a row that is no partner of Sam's family
        expectOne(t, "no partner of a family");
    }
    {
        // The row rules' edge cases: a parent key naming no row (its row was deleted) and a
        // person that is its own parent.
        Tree t;
        t.rows[2].PrntKey = "B2";
        QVERIFY(checkTree(t.rows, t.model).isEmpty());
        t.rows[2].PrntKey = "S";
        QVERIFY(checkTree(t.rows, t.model).isEmpty());
    }
    {
        Tree t;
        const quint32 e = t.event(0, EventTypes::death());
        t.model.events.edit(e).place = t.model.place("York");
        expectOne(t, "first death record has a date or place");
    }
    {
        Tree t;
        Event e;
        e.owner = Ref(Kind::Person, 17);
        t.model.events.add(e);
        expectOne(t, "owner person 17 does not exist");
    }
    {
        Tree t;
        t.model.partnerships.edit(3).family = 0;
        QVERIFY(t.check().size() >= 1);
        QVERIFY(
            t.check().join(QLatin1Char('\n')).contains(QLatin1String("which does not name them")));
    }
    {
        Tree t;
        const quint32 r = t.event(4, EventTypes::residence());
        t.model.events.edit(r).flags = Event::RowResidence;
        const quint32 later = t.event(4, EventTypes::residence());
        EventDetail d;
        Address a;
        a.present = true;
        d.address = t.model.addresses.add(a);
        t.model.events.edit(later).detail = t.model.eventDetails.add(d);
        expectOne(t, "last residence with an address is not the row's");
    }
    {
        Tree t;
        Name plain, primary;
        plain.person = primary.person = 1;
        primary.flags = Name::Primary;
        t.model.names.add(plain);
        t.model.names.add(primary);
        expectOne(t, "primary name that is not the first");
    }
    {
        Tree t;
        KeptLine line;
        line.kind = KeptLine::Value::Pointer;
        line.target = Ref(Kind::Source, 3);
        t.model.keptLines.add(line);
        Kept kept;
        kept.owner = Ref(Kind::Person, 0);
        kept.lineCount = 1;
        t.model.kept.add(kept);
        expectOne(t, "points to source 3");
    }
    {
        Tree t;
        t.rows.pop_back();
        expectOne(t, "5 persons for 4 rows");
    }
}

QTEST_GUILESS_MAIN(TestTreeCheck)
#include "tst_treecheck.moc"
