// Joining two persons, two families or two sources of a tree: nothing either held is lost, the
// rows and the model agree afterwards, and a refused merge changes nothing.
#include "PersonMerge.h"
#include "RecordMerge.h"
#include "RecordPairs.h"
#include "RowRules.h"
#include "TreeCheck.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Genealogy;

namespace {

// A tree built person by person; the rows' parent keys and partner columns follow the model.
struct Tree
{
    ModelSlice t;

    quint32 person(const char *id, const char *first, const char *last, const char *born = "",
                   const char *place = "")
    {
        PersonRow row;
        row.ID = QString::fromLatin1(id);
        row.Fname = QString::fromLatin1(first);
        row.Sname = QString::fromLatin1(last);
        row.Bdate = QString::fromLatin1(born);
        row.Bplace = QString::fromLatin1(place);
        row.PrntKey = kRootKey;
        t.rows.push_back(row);
        t.model.persons.resize(t.rows.size());
        return quint32(t.rows.size() - 1);
    }
    quint32 family(quint32 a, quint32 b)
    {
        Family f;
        f.partner[0] = a;
        f.partner[1] = b;
        const quint32 index = t.model.families.add(f);
        for (quint32 p : {a, b}) {
            if (p != kNoIndex)
                t.model.partnerships.add({p, index});
        }
        return index;
    }
    void child(quint32 family, quint32 child)
    {
        ChildLink link;
        link.family = family;
        link.child = child;
        link.childOrder = quint32(t.model.parentLinksOf(child).size());
        t.model.childLinks.add(link);
    }
    quint32 source(const char *title, const char *author = "")
    {
        Source s;
        s.title = t.model.text(QByteArrayView(title));
        s.author = t.model.text(QByteArrayView(author));
        return t.model.sources.add(s);
    }
    quint32 cite(Ref owner, quint32 source, const char *page = "")
    {
        Citation c;
        c.owner = owner;
        c.source = source;
        c.page = t.model.text(QByteArrayView(page));
        return t.model.citations.add(c);
    }
    quint32 event(Ref owner, EventTypes::Id type, const char *date = "")
    {
        Event e;
        e.owner = owner;
        e.type = type;
        e.date = t.model.text(QByteArrayView(date));
        return t.model.events.add(e);
    }
    // The rows follow the model: the line parent and the partner columns.
    void settle()
    {
        for (quint32 p = 0; p < t.rows.size(); ++p) {
            const RowRules::LineChoice line = RowRules::lineOf(t.model, p);
            using K = RowRules::LineChoice::Kind;
            t.rows[p].PrntKey = line.kind == K::Parent ? t.rows[line.parent].ID
                                : line.kind == K::Root ? kRootKey
                                                       : QString();
        }
        RecordMerge::followPartnerColumns(t);
    }
    quint32 index(const QString &id) const
    {
        for (quint32 p = 0; p < t.rows.size(); ++p) {
            if (t.rows[p].ID == id)
                return p;
        }
        return kNoIndex;
    }
    const PersonRow &row(const char *id) const { return t.rows[index(QString::fromLatin1(id))]; }
    QStringList check() const { return checkTree(t.rows, t.model); }
    qsizetype count(Ref owner) const
    {
        qsizetype n = 0;
        for (const Citation &c : t.model.citations.all())
            n += c.owner == owner ? 1 : 0;
        return n;
    }
};

// Adam and Bea with their son Sam; a second import of Sam ("Samuel", born a year later
// elsewhere) married Wendy and had Tim; a second import of Adam and Bea had no children.
struct TwoImports : Tree
{
    quint32 adam, bea, sam, sam2, wendy, tim, adam2, bea2, f1, f2, f3, src;
    TwoImports()
    {
        adam = person("A", "Adam", "Old", "1820", "York");
        bea = person("B", "Bea", "Old");
        sam = person("S", "Sam", "Old", "1850", "York");
        sam2 = person("S2", "Samuel", "Old", "1851", "Leeds");
        wendy = person("W", "Wendy", "New");
        tim = person("T", "Tim", "Old", "1880");
        adam2 = person("A2", "Adam", "Old", "1820");
        bea2 = person("B2", "Bea", "Old");
        f1 = family(adam, bea);
        child(f1, sam);
        f2 = family(sam2, wendy);
        child(f2, tim);
        f3 = family(adam2, bea2);
        src = source("Parish register of York");
        event(Ref(Kind::Person, sam), EventTypes::birth());
        cite(Ref(Kind::Person, sam2), src, "p. 12");
        cite(Ref(Kind::Event, event(Ref(Kind::Person, sam2), EventTypes::birth())), src, "p. 3");
        event(Ref(Kind::Family, f3), EventTypes::find("MARR", true), "1845");
        t.model.persons.edit(sam2).sex = Sex::Male;
        t.rows[sam2].Notes = QStringLiteral("A miller.");
        settle();
    }
};

} // namespace

class TestMerge : public QObject
{
    Q_OBJECT

private slots:
    void keepsEverythingOfBoth();
    void theUserPicksPerField();
    void droppedValuesGoOnPurpose();
    void familiesOfOneCoupleAreJoined();
    void nobodyIsTheirOwnParent();
    void othersRecordsStayAsTheyAre();
    void refusedMergesChangeNothing();
    void aTreeWithoutSideRecordsGainsThemOnlyWhenNeeded();
    void residencesStayInOrder();
    void familiesAndSources();
    void likelyFamiliesAndSources();
    void randomMergesKeepTheTreeConsistent();
};

void TestMerge::keepsEverythingOfBoth()
{
    TwoImports t;
    QCOMPARE(t.check(), QStringList());
    const qsizetype citations = t.t.model.citations.size();
    const Result<PersonMerge::Outcome> done =
        PersonMerge::merge(t.t, t.sam, t.sam2, PersonMerge::defaultChoice(t.t, t.sam, t.sam2));
    QVERIFY2(done, qPrintable(done.error().text()));
    QCOMPARE(t.check(), QStringList());
    QCOMPARE(t.t.rows.size(), size_t(7));
    QCOMPARE(t.index("S2"), kNoIndex);
    const quint32 s = t.index("S");
    QCOMPARE(done->survivor, s);
    // KEEP's row values stay; OTHER's differing ones are an alternate name and a second birth.
    QCOMPARE(t.row("S").Fname, QStringLiteral("Sam"));
    QCOMPARE(t.row("S").Bdate, QStringLiteral("1850"));
    QCOMPARE(t.row("S").PrntKey, QStringLiteral("A"));
    const std::span<const quint32> names = t.t.model.namesOf(s);
    QCOMPARE(names.size(), size_t(1));
    QCOMPARE(t.t.model.string(t.t.model.names[names[0]].given), QStringLiteral("Samuel"));
    QCOMPARE(int(t.t.model.names[names[0]].type), int(NameType::Aka));
    std::vector<QString> births;
    for (quint32 e : t.t.model.eventsOf(Ref(Kind::Person, s))) {
        if (t.t.model.events[e].type == EventTypes::birth())
            births.push_back(t.t.model.string(t.t.model.events[e].date));
    }
    QCOMPARE(births, (std::vector<QString>{QString(), QStringLiteral("1851")}));
    const quint32 second = t.t.model.eventsOf(Ref(Kind::Person, s))[1];
    QCOMPARE(t.t.model.string(t.t.model.places[t.t.model.events[second].place].name),
             QStringLiteral("Leeds"));
    // Every citation kept and re-pointed; the birth's citation stays on that birth.
    QCOMPARE(t.t.model.citations.size(), citations);
    QCOMPARE(t.count(Ref(Kind::Person, s)), 1);
    QCOMPARE(t.count(Ref(Kind::Event, second)), 1);
    // OTHER's family is the survivor's: the partner columns and the child's parent key follow.
    QCOMPARE(t.row("S").PrtFname, QStringLiteral("Wendy"));
    QCOMPARE(t.row("W").PrtFname, QStringLiteral("Sam"));
    QCOMPARE(t.row("T").PrntKey, QStringLiteral("S"));
    QCOMPARE(t.t.model.persons[s].sex, Sex::Male);
    QCOMPARE(t.row("S").Notes, QStringLiteral("A miller."));
    QVERIFY(done->done.join(u'\n').contains(QStringLiteral("Samuel")));
    QVERIFY2(done->done.join(u'\n').contains(QStringLiteral(" is now a child of S")),
             qPrintable(done->done.join(u'\n')));
}

void TestMerge::theUserPicksPerField()
{
    TwoImports t;
    PersonMerge::Choice choice = PersonMerge::defaultChoice(t.t, t.sam, t.sam2);
    choice.takeOther[size_t(PersonMerge::Field::Name)] = true;
    choice.takeOther[size_t(PersonMerge::Field::Birth)] = true;
    QVERIFY(PersonMerge::merge(t.t, t.sam, t.sam2, choice));
    QCOMPARE(t.check(), QStringList());
    QCOMPARE(t.row("S").Fname, QStringLiteral("Samuel"));
    QCOMPARE(t.row("S").Bdate, QStringLiteral("1851"));
    QCOMPARE(t.row("S").Bplace, QStringLiteral("Leeds"));
    const quint32 s = t.index("S");
    // KEEP's former values are the alternates now; the row's birth record is OTHER's, with its
    // citation, first.
    const std::span<const quint32> names = t.t.model.namesOf(s);
    QCOMPARE(names.size(), size_t(1));
    QCOMPARE(t.t.model.string(t.t.model.names[names[0]].given), QStringLiteral("Sam"));
    const std::span<const quint32> events = t.t.model.eventsOf(Ref(Kind::Person, s));
    QCOMPARE(events.size(), size_t(2));
    QVERIFY(t.t.model.events[events[0]].date.isEmpty());
    QCOMPARE(t.count(Ref(Kind::Event, events[0])), 1);
    QCOMPARE(t.t.model.string(t.t.model.events[events[1]].date), QStringLiteral("1850"));
    // The other partner's columns name the survivor by the name now in the row.
    QCOMPARE(t.row("W").PrtFname, QStringLiteral("Samuel"));
}

void TestMerge::droppedValuesGoOnPurpose()
{
    TwoImports t;
    PersonMerge::Choice choice = PersonMerge::defaultChoice(t.t, t.sam, t.sam2);
    for (PersonMerge::Field f :
         {PersonMerge::Field::Name, PersonMerge::Field::Birth, PersonMerge::Field::Notes})
        choice.dropUnchosen[size_t(f)] = true;
    // KEEP has no notes: taken on purpose, OTHER's are dropped.
    QVERIFY(choice.other(PersonMerge::Field::Notes));
    choice.takeOther[size_t(PersonMerge::Field::Notes)] = false;
    const Result<PersonMerge::Outcome> done = PersonMerge::merge(t.t, t.sam, t.sam2, choice);
    QVERIFY(done);
    QCOMPARE(t.check(), QStringList());
    const quint32 s = t.index("S");
    QVERIFY(t.t.model.namesOf(s).empty());
    // One birth: the row's; the dropped birth's citation moved to it (evidence is not a value).
    const std::span<const quint32> events = t.t.model.eventsOf(Ref(Kind::Person, s));
    QCOMPARE(events.size(), size_t(1));
    QCOMPARE(t.count(Ref(Kind::Event, events[0])), 1);
    QVERIFY(t.row("S").Notes.isEmpty());
    QVERIFY(done->done.join(u'\n').contains(QStringLiteral("Dropped the name 'Samuel Old'")));
}

void TestMerge::familiesOfOneCoupleAreJoined()
{
    TwoImports t;
    QVERIFY(
        PersonMerge::merge(t.t, t.adam, t.adam2, PersonMerge::defaultChoice(t.t, t.adam, t.adam2)));
    QCOMPARE(t.check(), QStringList());
    const quint32 b = t.index("B"), b2 = t.index("B2");
    QVERIFY(PersonMerge::merge(t.t, b, b2, PersonMerge::defaultChoice(t.t, b, b2)));
    QCOMPARE(t.check(), QStringList());
    QCOMPARE(t.t.model.families.size(), 2u);
    const quint32 a = t.index("A");
    QCOMPARE(t.t.model.partnershipsOf(a).size(), size_t(1));
    const quint32 f = t.t.model.partnerships[t.t.model.partnershipsOf(a)[0]].family;
    // The joined family has the child of the one and the marriage of the other.
    QCOMPARE(t.t.model.childLinksOf(f).size(), size_t(1));
    QCOMPARE(t.t.model.eventsOf(Ref(Kind::Family, f)).size(), size_t(1));
    QCOMPARE(t.row("S").PrntKey, QStringLiteral("A"));
}

void TestMerge::nobodyIsTheirOwnParent()
{
    {
        // A parent merged with their child (one person recorded as both).
        TwoImports t;
        QVERIFY(
            PersonMerge::merge(t.t, t.adam, t.sam, PersonMerge::defaultChoice(t.t, t.adam, t.sam)));
        QCOMPARE(t.check(), QStringList());
        const quint32 a = t.index("A");
        QVERIFY(t.t.model.parentLinksOf(a).empty());
        QCOMPARE(t.row("A").PrntKey, kRootKey);
    }
    {
        // The child kept: its parent key named the other, who is itself now.
        TwoImports t;
        QVERIFY(
            PersonMerge::merge(t.t, t.sam, t.adam, PersonMerge::defaultChoice(t.t, t.sam, t.adam)));
        QCOMPARE(t.check(), QStringList());
        QCOMPARE(t.row("S").PrntKey, kRootKey);
        for (const PersonRow &row : t.t.rows)
            QVERIFY(row.PrntKey != row.ID);
    }
    {
        // Partners merged: the family keeps one partner, nobody marries themself.
        TwoImports t;
        QVERIFY(PersonMerge::merge(t.t, t.sam2, t.wendy,
                                   PersonMerge::defaultChoice(t.t, t.sam2, t.wendy)));
        QCOMPARE(t.check(), QStringList());
        const quint32 s2 = t.index("S2");
        const Family &f =
            t.t.model.families[t.t.model.partnerships[t.t.model.partnershipsOf(s2)[0]].family];
        QVERIFY(f.partner[0] == kNoIndex || f.partner[1] == kNoIndex);
    }
}

void TestMerge::othersRecordsStayAsTheyAre()
{
    // Wendy and a second husband have two families (two FAM records of one couple, as a file
    // may have them): a merge elsewhere leaves them two.
    TwoImports t;
    const quint32 hal = t.person("H", "Hal", "Third");
    t.family(t.wendy, hal);
    t.family(t.wendy, hal);
    t.settle();
    QCOMPARE(t.check(), QStringList());
    const quint32 families = t.t.model.families.size();
    QVERIFY(
        PersonMerge::merge(t.t, t.adam, t.adam2, PersonMerge::defaultChoice(t.t, t.adam, t.adam2)));
    QCOMPARE(t.t.model.families.size(), families);
    QCOMPARE(t.check(), QStringList());
}

void TestMerge::refusedMergesChangeNothing()
{
    // Rows alone: Carl's parent is Ann, Gus's is Carl; keeping Ann with Gus's parent would make
    // Ann her own grandparent.
    Tree t;
    t.person("ANN", "Ann", "X");
    t.person("C", "Carl", "X");
    t.person("G", "Gus", "X");
    t.t.model.persons.clear();
    t.t.rows[1].PrntKey = "ANN";
    t.t.rows[2].PrntKey = "C";
    const ModelSlice before = t.t;
    PersonMerge::Choice choice = PersonMerge::defaultChoice(t.t, 0, 2);
    QVERIFY(choice.other(PersonMerge::Field::Parent)); // a root's key says less
    const Result<PersonMerge::Outcome> refused = PersonMerge::merge(t.t, 0, 2, choice);
    QVERIFY(!refused);
    QVERIFY(refused.error().text().contains(QStringLiteral("own ancestor")));
    QCOMPARE(t.t.rows, before.rows);
    QVERIFY(!PersonMerge::merge(t.t, 1, 1, choice));
    QVERIFY(!PersonMerge::merge(t.t, 1, 7, choice));
    QCOMPARE(t.t.rows, before.rows);
    // Kept as a root, Gus's children (none) and Carl stay.
    choice.takeOther[size_t(PersonMerge::Field::Parent)] = false;
    QVERIFY(PersonMerge::merge(t.t, 0, 2, choice));
    QCOMPARE(t.t.rows.size(), size_t(2));
}

void TestMerge::aTreeWithoutSideRecordsGainsThemOnlyWhenNeeded()
{
    Tree t;
    t.person("P1", "Jon", "Smith", "1900");
    t.person("P2", "Jon", "Smith", "1900");
    t.person("P3", "John", "Smith", "1901");
    t.person("K", "Kid", "Smith");
    t.t.rows[3].PrntKey = "P2";
    t.t.model.persons.clear();
    Result<PersonMerge::Outcome> same =
        PersonMerge::merge(t.t, 0, 1, PersonMerge::defaultChoice(t.t, 0, 1));
    QVERIFY(same);
    QVERIFY(!same->madeModel);
    QCOMPARE(t.t.model.personCount(), 0u);
    QCOMPARE(t.row("K").PrntKey, QStringLiteral("P1"));
    Result<PersonMerge::Outcome> differ =
        PersonMerge::merge(t.t, 0, 1, PersonMerge::defaultChoice(t.t, 0, 1));
    QVERIFY(differ);
    QVERIFY(differ->madeModel);
    QCOMPARE(t.t.model.personCount(), 2u);
    QCOMPARE(t.check(), QStringList());
    QCOMPARE(t.t.model.namesOf(0).size(), size_t(1));
    QCOMPARE(t.t.model.eventsOf(Ref(Kind::Person, 0)).size(), size_t(2));
}

void TestMerge::residencesStayInOrder()
{
    Tree t;
    t.person("R1", "Rose", "Lee");
    t.person("R2", "Rose", "Lee");
    t.t.rows[0].Laddress = "1 High Street";
    t.t.rows[0].Lcity = "York";
    t.t.rows[1].Lcity = "Leeds";
    const quint32 r = t.event(Ref(Kind::Person, 1), EventTypes::residence(), "1900");
    t.t.model.events.edit(r).flags |= Event::RowResidence;
    t.cite(Ref(Kind::Event, r), t.source("Census"));
    QCOMPARE(t.check(), QStringList());
    QVERIFY(PersonMerge::merge(t.t, 0, 1, PersonMerge::defaultChoice(t.t, 0, 1)));
    QCOMPARE(t.check(), QStringList());
    QCOMPARE(t.t.rows[0].Lcity, QStringLiteral("York"));
    const std::span<const quint32> events = t.t.model.eventsOf(Ref(Kind::Person, 0));
    QCOMPARE(events.size(), size_t(2));
    // Leeds is the earlier residence, with its date and citation; the row's is last.
    const Event &leeds = t.t.model.events[events[0]];
    QCOMPARE(
        t.t.model.string(t.t.model.addresses[t.t.model.eventDetails[leeds.detail].address].city),
        QStringLiteral("Leeds"));
    QCOMPARE(t.count(Ref(Kind::Event, events[0])), 1);
    QVERIFY(t.t.model.events[events[1]].flags & Event::RowResidence);

    // An empty address is no value to keep over one: Leeds goes into the row.
    Tree u;
    u.person("R1", "Rose", "Lee");
    u.person("R2", "Rose", "Lee");
    u.t.rows[1].Lcity = "Leeds";
    QVERIFY(PersonMerge::merge(u.t, 0, 1, PersonMerge::defaultChoice(u.t, 0, 1)));
    QCOMPARE(u.t.rows[0].Lcity, QStringLiteral("Leeds"));
    QCOMPARE(u.check(), QStringList());
}

void TestMerge::familiesAndSources()
{
    TwoImports t;
    // Two families of Adam: with Bea and with nobody named; joined they are Adam and Bea's.
    const quint32 lone = t.family(t.adam, kNoIndex);
    t.child(lone, t.tim);
    t.settle();
    QCOMPARE(t.check(), QStringList());
    QVERIFY(!RecordMerge::mergeFamilies(t.t, t.f1, t.f2)); // four partners
    QVERIFY(!RecordMerge::mergeFamilies(t.t, t.f1, t.f1));
    const Result<QStringList> joined = RecordMerge::mergeFamilies(t.t, t.f1, lone);
    QVERIFY2(joined, qPrintable(joined.error().text()));
    QCOMPARE(t.check(), QStringList());
    QCOMPARE(t.t.model.childLinksOf(t.f1).size(), size_t(2));
    QCOMPARE(t.t.model.partnershipsOf(t.adam).size(), size_t(1));

    // Two sources: citations and repository links move, empty fields are filled.
    const quint32 other = t.source("", "Rev. Brown");
    t.cite(Ref(Kind::Person, t.adam), other, "f. 2");
    Repository repo;
    repo.name = t.t.model.text(QByteArrayView("Archive"));
    const quint32 r = t.t.model.repositories.add(repo);
    t.t.model.repositoryLinks.add({t.src, r, t.t.model.text(QByteArrayView("A1"))});
    t.t.model.repositoryLinks.add({other, r, t.t.model.text(QByteArrayView("B2"))});
    const RecordMerge::SourceChoice choice =
        RecordMerge::defaultSourceChoice(t.t.model, t.src, other);
    QVERIFY(!choice[size_t(RecordMerge::SourceField::Title)]);
    QVERIFY(choice[size_t(RecordMerge::SourceField::Author)]);
    const qsizetype citations = t.t.model.citations.size();
    QVERIFY(RecordMerge::mergeSources(t.t, t.src, other, choice));
    QCOMPARE(t.check(), QStringList());
    QCOMPARE(t.t.model.sources.size(), 1u);
    QCOMPARE(t.t.model.string(t.t.model.sources[0].author), QStringLiteral("Rev. Brown"));
    QCOMPARE(t.t.model.citations.size(), citations);
    for (const Citation &c : t.t.model.citations.all())
        QCOMPARE(c.source, 0u);
    QCOMPARE(t.t.model.repositoryLinks.size(), 1u);
    QCOMPARE(t.t.model.string(t.t.model.repositoryLinks[0].callNumbers), QStringLiteral("A1\nB2"));
}

void TestMerge::likelyFamiliesAndSources()
{
    TwoImports t;
    const quint32 again = t.family(t.bea, t.adam); // the same couple, the other way round
    const quint32 alone = t.family(t.sam2, kNoIndex);
    t.family(t.wendy, t.adam2); // shares no partner
    const std::vector<RecordPairs::Pair> families = RecordPairs::families(t.t);
    QCOMPARE(families.size(), size_t(2));
    QCOMPARE(families[0].score, 100);
    QCOMPARE(families[0].keep, t.f1);
    QCOMPARE(families[0].other, again);
    // The family with both partners is the one kept.
    QCOMPARE(families[1].score, 80);
    QCOMPARE(families[1].keep, t.f2);
    QCOMPARE(families[1].other, alone);
    QCOMPARE(RecordPairs::familyText(t.t, t.f1), QStringLiteral("Adam Old + Bea Old (1 child)"));

    const quint32 same = t.source("  parish REGISTER of  Yórk ");
    const quint32 authored = t.source("Parish register of York", "Vicar");
    t.source("Census");
    const std::vector<RecordPairs::Pair> sources = RecordPairs::sources(t.t.model);
    QCOMPARE(sources.size(), size_t(3));
    QCOMPARE(sources[0].score, 100);
    QCOMPARE(std::pair(sources[0].keep, sources[0].other), std::pair(t.src, same));
    QCOMPARE(sources[1].score, 80);
    QCOMPARE(sources[1].keep, authored);
}

void TestMerge::randomMergesKeepTheTreeConsistent()
{
    QRandomGenerator random(26);
    for (int round = 0; round < 20; ++round) {
        Tree t;
        const int n = 30;
        for (int i = 0; i < n; ++i) {
            const QByteArray id = "I" + QByteArray::number(i);
            t.person(id.constData(), "P", "Q", (i % 3) ? "1900" : "", (i % 4) ? "Rome" : "");
            if (i % 5 == 0)
                t.t.rows.back().Lcity = QStringLiteral("City%1").arg(i % 3);
            t.t.rows.back().Notes = (i % 2) ? QStringLiteral("note %1").arg(i) : QString();
            t.t.model.persons.edit(quint32(i)).sex = Sex(random.bounded(5));
        }
        const quint32 src = t.source("S");
        for (int f = 0; f < 12; ++f) {
            const quint32 a = random.bounded(n), b = random.bounded(n);
            const quint32 fam = t.family(a, a == b ? kNoIndex : b);
            for (int c = random.bounded(3); c > 0; --c) {
                const quint32 kid = random.bounded(n);
                if (kid != a && kid != b)
                    t.child(fam, kid);
            }
            t.cite(Ref(Kind::Family, fam), src);
        }
        RecordMerge::tidy(t.t, *std::make_unique<QStringList>());
        for (int i = 0; i < n; i += 2) {
            t.event(Ref(Kind::Person, quint32(i)), EventTypes::birth());
            t.cite(Ref(Kind::Person, quint32(i)), src);
        }
        t.settle();
        QCOMPARE(t.check(), QStringList());
        const qsizetype citations = t.t.model.citations.size();
        while (t.t.rows.size() > 2) {
            const quint32 families = t.t.model.families.size();
            if (families > 1 && random.bounded(3) == 0) {
                const quint32 a = random.bounded(families);
                const quint32 b = (a + 1 + random.bounded(families - 1)) % families;
                const ModelSlice before = t.t;
                const Result<QStringList> joined = RecordMerge::mergeFamilies(t.t, a, b);
                if (joined)
                    QCOMPARE(t.check(), QStringList());
                else
                    QCOMPARE(t.t.model.families.size(), before.model.families.size());
            }
            const quint32 size = quint32(t.t.rows.size());
            const quint32 keep = random.bounded(size);
            const quint32 other = (keep + 1 + random.bounded(size - 1)) % size;
            PersonMerge::Choice choice = PersonMerge::defaultChoice(t.t, keep, other);
            for (int f = 0; f < PersonMerge::kFieldCount; ++f) {
                if (random.bounded(3) == 0)
                    choice.takeOther[size_t(f)] = !choice.takeOther[size_t(f)];
                choice.dropUnchosen[size_t(f)] = random.bounded(4) == 0;
            }
            const ModelSlice before = t.t;
            const Result<PersonMerge::Outcome> done = PersonMerge::merge(t.t, keep, other, choice);
            if (!done) {
                QCOMPARE(t.t.rows, before.rows);
                continue;
            }
            const QStringList problems = t.check();
            QVERIFY2(problems.isEmpty(),
                     qPrintable(problems.join(u'\n') + u'\n' + done->done.join(u'\n')));
            QCOMPARE(t.t.model.citations.size(), citations);
            for (const PersonRow &row : t.t.rows)
                QVERIFY(row.PrntKey != row.ID);
        }
    }
}

QTEST_GUILESS_MAIN(TestMerge)
#include "tst_merge.moc"
