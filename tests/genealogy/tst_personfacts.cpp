// A person's facts read from a slice of the model: parents, partners, events in date order,
// sources, notes and media, the row being the truth for its own columns; and the lines the
// command line prints of them.
#include "EventTypes.h"
#include "GedcomDate.h"
#include "PersonFacts.h"

#include <QTest>

using namespace Genealogy;

namespace {

// Pat (0) is the child of Fred (1) and Mia (2) by birth and adopted by Ada (3) alone; Pat
// married Sue (4), with the children Kit (5) and Kim (6), and later had Lou (7) alone.
struct Slice
{
    ModelSlice slice;
    TreeModel &model = slice.model;

    Slice()
    {
        const char *const people[][3] = {{"P", "Pat", "Hill"},  {"F", "Fred", "Hill"},
                                         {"M", "Mia", "Hill"},  {"A", "Ada", "Roe"},
                                         {"S", "Sue", "Dow"},   {"K1", "Kit", "Hill"},
                                         {"K2", "Kim", "Hill"}, {"L", "Lou", "Hill"}};
        for (const auto &p : people) {
            PersonRow row;
            row.ID = QString::fromLatin1(p[0]);
            row.Fname = QString::fromLatin1(p[1]);
            row.Sname = QString::fromLatin1(p[2]);
            slice.rows.push_back(row);
        }
        slice.person = 0;
        model.persons.resize(slice.rows.size());
        model.persons.edit(0).sex = Sex::Female;
        const quint32 birth = family(1, 2);
        const quint32 adoption = family(3, kNoIndex);
        child(birth, 0, ChildRelation::Birth, ChildRelation::Birth, 0);
        child(adoption, 0, ChildRelation::Adopted, ChildRelation::None, 1);
        const quint32 marriage = family(0, 4);
        model.families.edit(marriage).relation = FamilyRelation::Married;
        child(marriage, 5, ChildRelation::None, ChildRelation::None, 0);
        child(marriage, 6, ChildRelation::None, ChildRelation::None, 0);
        const quint32 alone = family(0, kNoIndex);
        child(alone, 7, ChildRelation::Birth, ChildRelation::None, 0);
    }

    quint32 family(quint32 a, quint32 b)
    {
        Family f;
        f.partner[0] = a;
        f.partner[1] = b;
        const quint32 index = model.families.add(f);
        for (quint32 p : {a, b}) {
            if (p != kNoIndex)
                model.partnerships.add({p, index});
        }
        return index;
    }
    void child(quint32 family, quint32 child, ChildRelation to0, ChildRelation to1, quint32 order)
    {
        ChildLink link;
        link.family = family;
        link.child = child;
        link.relation[0] = to0;
        link.relation[1] = to1;
        link.childOrder = order;
        model.childLinks.add(link);
    }
    quint32 event(Ref owner, const char *tag, const QString &date, const QString &place = {},
                  const QString &value = {})
    {
        Event e;
        e.owner = owner;
        e.type = EventTypes::find(tag, owner.is(Kind::Family));
        QString normalized;
        const DateValue parsed = GedcomDate::parse(date, normalized);
        e.date = model.text(normalized);
        const DateRange range = GedcomDate::range(parsed);
        e.sortFrom = range.from;
        e.sortTo = range.to;
        e.dateKind = parsed.kind;
        if (!place.isEmpty())
            e.place = model.place(place.toUtf8());
        e.value = model.text(value);
        return model.events.add(e);
    }
    quint32 source(const QString &title, const QString &abbreviation = {})
    {
        Source s;
        s.title = model.text(title);
        s.abbreviation = model.text(abbreviation);
        return model.sources.add(s);
    }
    void cite(Ref owner, quint32 source, const QString &page)
    {
        Citation c;
        c.owner = owner;
        c.source = source;
        c.page = model.text(page);
        model.citations.add(c);
    }
    PersonRow &row() { return slice.rows[0]; }
};

QStringList tags(const std::vector<FactEvent> &events)
{
    QStringList result;
    for (const FactEvent &e : events)
        result.append(e.tag);
    return result;
}

} // namespace

class TestPersonFacts : public QObject
{
    Q_OBJECT

private slots:
    void familiesAsParentsAndPartners()
    {
        Slice s;
        const PersonFacts facts = personFacts(s.slice);
        QCOMPARE(facts.person.key, QStringLiteral("P"));
        QCOMPARE(facts.person.name, QStringLiteral("Pat Hill"));
        QCOMPARE(facts.sex, Sex::Female);

        // Both families the person is a child of, in the child's order, each with both partners.
        QCOMPARE(facts.parents.size(), size_t(2));
        QCOMPARE(facts.parents[0].partner[0].key, QStringLiteral("F"));
        QCOMPARE(facts.parents[0].partner[1].key, QStringLiteral("M"));
        QCOMPARE(facts.parents[0].relation[1], ChildRelation::Birth);
        QCOMPARE(facts.parents[1].partner[0].name, QStringLiteral("Ada Roe"));
        QVERIFY(facts.parents[1].partner[1].key.isEmpty());
        QCOMPARE(facts.parents[1].relation[0], ChildRelation::Adopted);

        // Every family as partner: the other partner, the relation and the children in order;
        // a family of one names no partner but keeps its children.
        QCOMPARE(facts.families.size(), size_t(2));
        QCOMPARE(facts.families[0].partner.key, QStringLiteral("S"));
        QCOMPARE(facts.families[0].relation, FamilyRelation::Married);
        QCOMPARE(facts.families[0].familyKey, QStringLiteral("F3"));
        QCOMPARE(facts.families[0].children.size(), size_t(2));
        QCOMPARE(facts.families[0].children[1].key, QStringLiteral("K2"));
        QVERIFY(facts.families[1].partner.key.isEmpty());
        QVERIFY(!facts.families[1].partner.isLink());
        QCOMPARE(facts.families[1].children.front().key, QStringLiteral("L"));

        // The caller names the families by its own keys.
        const PersonFacts named =
            personFacts(s.slice, [](quint32 f) { return QStringLiteral("FAM%1").arg(f * 10); });
        QCOMPARE(named.families[0].familyKey, QStringLiteral("FAM20"));
        QCOMPARE(named.parents[1].familyKey, QStringLiteral("FAM10"));
    }

    void eventsFollowTheRowAndSortByDate()
    {
        Slice s;
        const Ref pat(Kind::Person, 0);
        s.row().Bdate = QStringLiteral("12 MAR 1850");
        s.row().Bplace = QStringLiteral("Leeds");
        s.row().Ddate = QStringLiteral("1910");
        s.row().Laddress = QStringLiteral("1 Mill Lane");
        s.row().Lcity = QStringLiteral("York");
        // Stored out of order; the first birth's record holds no date of its own; the burial
        // has no date and stays after the death stored before it.
        s.event(pat, "OCCU", QStringLiteral("1880"), {}, QStringLiteral("Weaver"));
        const quint32 birth = s.event(pat, "BIRT", {});
        s.event(pat, "DEAT", {});
        s.event(pat, "BURI", {}, QStringLiteral("York"));
        s.event(pat, "CHR", QStringLiteral("ABT 1850"));
        const quint32 residence = s.event(pat, "RESI", QStringLiteral("1900"));
        s.model.events.edit(residence).flags = Event::RowResidence;
        const quint32 custom =
            s.event(pat, "EVEN", QStringLiteral("1875"), {}, QStringLiteral("First prize"));
        EventDetail detail;
        detail.type = s.model.text(QStringLiteral("Award"));
        s.model.events.edit(custom).detail = s.model.eventDetails.add(detail);
        const quint32 census = s.source(QStringLiteral("Census 1851"));
        s.cite(Ref(Kind::Event, birth), census, QStringLiteral("folio 3"));

        const PersonFacts facts = personFacts(s.slice);
        QCOMPARE(tags(facts.events),
                 (QStringList{"BIRT", "CHR", "EVEN", "OCCU", "RESI", "DEAT", "BURI"}));
        const FactEvent &born = facts.events[0];
        QCOMPARE(born.date, QStringLiteral("12 MAR 1850"));
        QCOMPARE(born.place, QStringLiteral("Leeds"));
        QVERIFY(born.cited);
        QVERIFY(!facts.events[1].cited);
        QCOMPARE(facts.events[2].label, QStringLiteral("Award"));
        QCOMPARE(facts.events[2].description, QStringLiteral("Award: First prize"));
        QCOMPARE(facts.events[3].description, QStringLiteral("Weaver"));
        QCOMPARE(facts.events[4].description, QStringLiteral("1 Mill Lane, York"));
        QCOMPARE(facts.events[5].date, QStringLiteral("1910"));
        QCOMPARE(facts.events[6].place, QStringLiteral("York"));
    }

    // An import keeps a death whose date and place the row holds in the row alone: a burial or
    // cremation stored without a date still follows it, other undated facts keep their place.
    void undatedBurialAfterTheRowsDeath()
    {
        Slice s;
        const Ref pat(Kind::Person, 0);
        s.row().Bdate = QStringLiteral("7 JAN 1796");
        s.row().Ddate = QStringLiteral("6 NOV 1817");
        s.row().Dplace = QStringLiteral("Esher");
        s.event(pat, "TITL", {}, {}, QStringLiteral("Princess"));
        s.event(pat, "BURI", {}, QStringLiteral("Windsor"));
        QCOMPARE(tags(personFacts(s.slice).events), (QStringList{"BIRT", "TITL", "DEAT", "BURI"}));

        Slice c;
        c.row().Ddate = QStringLiteral("1900");
        c.event(pat, "CREM", {});
        c.event(pat, "OCCU", QStringLiteral("1870"));
        QCOMPARE(tags(personFacts(c.slice).events), (QStringList{"OCCU", "DEAT", "CREM"}));
    }

    void theRowAloneWithoutSideRecords()
    {
        // A hand-made tree: no model at all. The row's birth and death are events, its parent
        // key the parent, its partner columns a partner without a key.
        ModelSlice slice;
        PersonRow parent;
        parent.ID = QStringLiteral("A");
        parent.Fname = QStringLiteral("Al");
        PersonRow row;
        row.ID = QStringLiteral("B");
        row.PrntKey = QStringLiteral("A");
        row.PrtFname = QStringLiteral("Cy");
        row.PrtSname = QStringLiteral("Doe");
        row.Ddate = QStringLiteral("1 JAN 1900");
        slice.rows = {row, parent};
        slice.person = 0;
        PersonFacts facts = personFacts(slice);
        QCOMPARE(facts.parents.size(), size_t(1));
        QVERIFY(facts.parents[0].partner[0].isLink());
        QCOMPARE(facts.parents[0].partner[0].name, QStringLiteral("Al"));
        QCOMPARE(facts.families.size(), size_t(1));
        QCOMPARE(facts.families[0].partner.name, QStringLiteral("Cy Doe"));
        QVERIFY(!facts.families[0].partner.isLink());
        QCOMPARE(tags(facts.events), QStringList{"DEAT"});
        QCOMPARE(factLines(facts),
                 (QStringList{"name: ", "parent: A unstated", "partner-name: Cy Doe",
                              "event: DEAT | 1 JAN 1900 |  | "}));

        // A parent key naming no row is said but is no link; ROOT and an outside person have
        // no parent; a slice without its person has no facts.
        slice.rows.pop_back();
        facts = personFacts(slice);
        QCOMPARE(facts.parents[0].partner[0].key, QStringLiteral("A"));
        QVERIFY(!facts.parents[0].partner[0].isLink());
        for (const QString &key : {QStringLiteral("ROOT"), QString()}) {
            slice.rows[0].PrntKey = key;
            QVERIFY(personFacts(slice).parents.empty());
        }
        slice.person = 5;
        QVERIFY(personFacts(slice).person.key.isEmpty());
        QVERIFY(factLines(personFacts(slice)).isEmpty());
    }

    void sourcesNotesAndMedia()
    {
        Slice s;
        const Ref pat(Kind::Person, 0);
        s.cite(pat, s.source(QStringLiteral("Parish book")), QStringLiteral("p. 4"));
        s.cite(pat, s.source(QString(), QStringLiteral("PB2")), QString());
        s.cite(Ref(Kind::Family, 2), s.source(QStringLiteral("Marriage roll")),
               QStringLiteral("12"));
        Citation dangling;
        dangling.owner = pat;
        s.model.citations.add(dangling);
        s.row().Notes = QStringLiteral("First.\n\nSecond.");
        s.model.noteBreaks.add(NoteBreak{0, 6});
        Note shared;
        shared.text = s.model.text(QStringLiteral("Shared\nnote"));
        shared.flags = Note::Shared;
        s.model.noteLinks.add(NoteLink{pat, s.model.notes.add(shared)});
        Media photo;
        photo.file = s.model.text(QStringLiteral("pat.jpg"));
        photo.title = s.model.text(QStringLiteral("Pat at ten"));
        s.model.mediaLinks.add(MediaLink{pat, s.model.media.add(photo)});

        const PersonFacts facts = personFacts(s.slice);
        QCOMPARE(facts.citations.size(), size_t(4));
        QCOMPARE(facts.citations[1].source, QStringLiteral("PB2"));
        QVERIFY(facts.citations[2].source.isEmpty()); // a pointer to nothing
        QCOMPARE(facts.citations[3].source, QStringLiteral("Marriage roll"));
        QCOMPARE(facts.notes, (QStringList{"First.", "Second.", "Shared\nnote"}));
        QCOMPARE(facts.media.size(), size_t(1));
        QCOMPARE(facts.media[0].title, QStringLiteral("Pat at ten"));
    }

    void linesForScripts()
    {
        Slice s;
        s.event(Ref(Kind::Family, 2), "MARR", QStringLiteral("1875"), QStringLiteral("Leeds"));
        s.event(Ref(Kind::Family, 2), "DIV", {}, {}, QStringLiteral("N"));
        Name married;
        married.person = 0;
        married.type = NameType::Married;
        married.given = s.model.text(QStringLiteral("Pat"));
        married.surname = s.model.text(QStringLiteral("Dow"));
        s.model.names.add(married);
        s.row().Notes = QStringLiteral("two\nlines");
        ChildLink &step = s.model.childLinks.edit(1);
        step.relation[0] = ChildRelation::Other;
        step.phrase = s.model.text(QStringLiteral("step"));

        const QStringList lines = factLines(personFacts(s.slice));
        QCOMPARE(lines, (QStringList{
                            "name: Pat Hill", "name: Pat Dow | married", "sex: female",
                            "parent: F birth", "parent: M birth", "parent: A step",
                            "partner: S family F3", "child: K1 family F3", "child: K2 family F3",
                            "child: L family F4", "event: MARR | 1875 | Leeds |  | family F3",
                            "event: DIV |  |  | did not happen | family F3", "note: two\\nlines"}));
    }
};

QTEST_GUILESS_MAIN(TestPersonFacts)
#include "tst_personfacts.moc"
