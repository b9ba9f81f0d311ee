// The genealogical model kept beside the rows: written whole, read back whole, by families and
// around one person, and kept consistent by the store's operations on trees and rows.
#include "FreshStores.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "RowRules.h"
#include "TestRows.h"
#include "TreeCheck.h"
#include "TreeConsistency.h"
#include "mDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Genealogy;

namespace {

// A small family: Anna (A1) and Bert (B1) with their child Carl (C1); Dora (D1) outside the line
// whom Anna names in an association. Anna has a birth record with a citation of a source, a
// christening at a place, an occupation and a kept extension structure pointing to Bert.
struct Sample
{
    std::vector<PersonRow> rows;
    TreeModel model;
};

Sample sample()
{
    Sample s;
    s.rows = {row("A1", "ROOT", "Anna", "Berg", "Bert", "Holm"),
              row("B1", "", "Bert", "Holm", "Anna", "Berg"), row("C1", "A1", "Carl", "Holm"),
              row("D1", "", "Dora", "Lind")};
    s.rows[0].Bdate = "1 JAN 1900";
    TreeModel &m = s.model;
    m.persons.resize(4);
    m.persons.edit(0).sex = Sex::Female;
    m.persons.edit(1).sex = Sex::Male;
    Family family;
    family.partner[0] = 0;
    family.partner[1] = 1;
    family.relation = FamilyRelation::Married;
    const quint32 f = m.families.add(family);
    m.partnerships.add({0, f});
    m.partnerships.add({1, f});
    ChildLink link;
    link.family = f;
    link.child = 2;
    link.relation[0] = link.relation[1] = ChildRelation::Birth;
    m.childLinks.add(link);

    Source source;
    source.title = m.text(QStringView(u"Parish register"));
    const quint32 src = m.sources.add(source);
    Event birth;
    birth.owner = Ref(Kind::Person, 0);
    birth.type = EventTypes::birth();
    const quint32 b = m.events.add(birth);
    Citation citation;
    citation.owner = Ref(Kind::Event, b);
    citation.source = src;
    citation.page = m.text(QStringView(u"p. 12"));
    m.citations.add(citation);
    Event christening;
    christening.owner = Ref(Kind::Person, 0);
    christening.type = EventTypes::find("CHR", false);
    christening.date = m.text(QStringView(u"5 JAN 1900"));
    christening.place = m.place("Växjö, Sweden");
    m.events.add(christening);
    Event occupation;
    occupation.owner = Ref(Kind::Person, 0);
    occupation.type = EventTypes::find("OCCU", false);
    occupation.value = m.text(QStringView(u"Teacher"));
    m.events.add(occupation);
    Event marriage;
    marriage.owner = Ref(Kind::Family, f);
    marriage.type = EventTypes::find("MARR", true);
    marriage.date = m.text(QStringView(u"1925"));
    m.events.add(marriage);
    Association association;
    association.person = 0;
    association.target = 3;
    association.relation = m.text(QStringView(u"Godmother"));
    const quint32 godmother = m.associations.add(association);
    // The association is cited, and the citation has a note of its own.
    Citation baptism;
    baptism.owner = Ref(Kind::Association, godmother);
    baptism.source = src;
    const quint32 cited = m.citations.add(baptism);
    Note note;
    note.text = m.text(QStringView(u"Named in the register"));
    const quint32 n = m.notes.add(note);
    m.noteLinks.add({Ref(Kind::Citation, cited), n});

    Kept kept;
    kept.owner = Ref(Kind::Person, 0);
    kept.firstLine = 0;
    kept.lineCount = 2;
    m.kept.add(kept);
    KeptLine top;
    top.tag = m.keptTag("_FRIEND");
    top.kind = KeptLine::Value::Pointer;
    top.target = Ref(Kind::Person, 1);
    m.keptLines.add(top);
    KeptLine under;
    under.level = 1;
    under.tag = m.keptTag("_SINCE");
    under.kind = KeptLine::Value::Text;
    under.value = m.text(QStringView(u"1920"));
    m.keptLines.add(under);
    return s;
}

} // namespace

class TestModelStore : public QObject
{
    Q_OBJECT

private:
    FreshStores m_stores;

    std::unique_ptr<mDatabase> openFresh() { return m_stores.open(); }

    // A store holding the sample as the tree "Family", written as an import writes it.
    std::unique_ptr<mDatabase> withSample(const Sample &s = sample())
    {
        auto store = openFresh();
        if (!store)
            return nullptr;
        NewTreeWriter writer(*store);
        if (!writer.Begin("Family"))
            return nullptr;
        for (const PersonRow &r : s.rows) {
            if (!writer.Add(r))
                return nullptr;
        }
        if (!ModelStore::writeModelInTransaction(*store, "Family", s.rows, s.model))
            return nullptr;
        if (!writer.Commit())
            return nullptr;
        return store;
    }

    static qint64 scalar(const mDatabase &store, const QString &sql)
    {
        QSqlQuery query(QSqlDatabase::database(store.ConnectionName(), false));
        if (!query.exec(sql) || !query.next())
            return -1;
        return query.value(0).toLongLong();
    }

private slots:
    void initTestCase() { QVERIFY(m_stores.isValid()); }

    // A database without the side tables is not changed by opening or reading; the first change
    // makes them, with the schema version in both places.
    void schemaComesWithTheFirstChange()
    {
        auto store = openFresh();
        QVERIFY(store);
        const QString tree = store->ListTrees().value(0);
        QVERIFY(!tree.isEmpty());
        QVERIFY(ModelStore::familiesOf(*store, tree)->empty());
        QCOMPARE(*ModelStore::hasModel(*store, tree), false);
        QCOMPARE(scalar(*store, "SELECT count(*) FROM sqlite_master WHERE name LIKE 'main%' AND "
                                "name <> 'mainChanges'"),
                 1); // the template alone (and the list of changes the file's making wrote)
        QVERIFY(store->CreateTree("Second"));
        QCOMPARE(scalar(*store, "PRAGMA user_version"), 2);
        QCOMPARE(scalar(*store, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                                "name IN ('mainTrees', 'mainRecords')"),
                 2);
        // The listing still shows trees only.
        QVERIFY(!store->ListTrees().contains("mainTrees"));
        QVERIFY(!store->ListTrees().contains("mainRecords"));
        QCOMPARE(*ModelStore::hasModel(*store, "Second"), false);
        VERIFY_TREE_CONSISTENT(*store, "Second");
        VERIFY_TREE_CONSISTENT(*store, tree);
    }

    void wholeTreeComesBackAsWritten()
    {
        const Sample s = sample();
        auto store = withSample(s);
        QVERIFY(store);
        QCOMPARE(scalar(*store, "SELECT version FROM mainTrees WHERE name = 'Family'"), 2);
        QVERIFY(*ModelStore::hasModel(*store, "Family"));
        const Result<ModelSlice> read = ModelStore::readTree(*store, "family"); // any case
        QVERIFY2(read.ok(), qPrintable(read.error().text()));
        QCOMPARE(read->rows.size(), s.rows.size());
        const TreeModel &m = read->model;
        QCOMPARE(m.personCount(), 4u);
        QCOMPARE(m.persons[0].sex, Sex::Female);
        QCOMPARE(m.persons[3].sex, Sex::None);
        QCOMPARE(m.events.size(), 4u);
        QCOMPARE(m.eventsOf(Ref(Kind::Person, 0)).size(), 3u);
        const Event &christening = m.events[m.eventsOf(Ref(Kind::Person, 0))[1]];
        QCOMPARE(EventTypes::tag(christening.type), QByteArrayView("CHR"));
        QCOMPARE(m.string(m.places[christening.place].name), QString("Växjö, Sweden"));
        QCOMPARE(m.citations.size(), 2u);
        QCOMPARE(m.string(m.sources[m.citations[0].source].title), QString("Parish register"));
        QCOMPARE(m.citations[0].owner, Ref(Kind::Event, m.eventsOf(Ref(Kind::Person, 0))[0]));
        QCOMPARE(m.citations[1].owner, Ref(Kind::Association, 0));
        QCOMPARE(m.string(m.notes[m.noteLinks[0].note].text), QString("Named in the register"));
        QCOMPARE(m.associations[0].target, 3u);
        QCOMPARE(m.linesOf(m.kept[0]).size(), size_t(2));
        QCOMPARE(m.keptTagName(m.linesOf(m.kept[0])[0].tag), QByteArrayView("_FRIEND"));
        QCOMPARE(m.linesOf(m.kept[0])[0].target, Ref(Kind::Person, 1));
        QCOMPARE(m.string(m.linesOf(m.kept[0])[1].value), QString("1920"));
        QVERIFY(checkTree(read->rows, m).isEmpty());
        VERIFY_TREE_CONSISTENT(*store, "Family");
    }

    void familiesAndSlices()
    {
        auto store = withSample();
        QVERIFY(store);
        const Result<std::vector<FamilyKeys>> families = ModelStore::familiesOf(*store, "Family");
        QVERIFY(families.ok());
        QCOMPARE(families->size(), size_t(1));
        const FamilyKeys &f = families->front();
        QCOMPARE(f.id, QString("F1"));
        QCOMPARE(f.partner[0], QString("A1"));
        QCOMPARE(f.partner[1], QString("B1"));
        QCOMPARE(f.relation, FamilyRelation::Married);
        QCOMPARE(f.children.size(), size_t(1));
        QCOMPARE(f.children[0].key, QString("C1"));
        QCOMPARE(f.children[0].relation[1], ChildRelation::Birth);

        // Around Anna: her records, her family and its persons, the association's person.
        Result<ModelSlice> anna = ModelStore::sliceOf(*store, "Family", "A1");
        QVERIFY2(anna.ok(), qPrintable(anna.error().text()));
        QCOMPARE(anna->person, 0u);
        QStringList keys;
        for (const PersonRow &r : anna->rows)
            keys << r.ID;
        keys.sort();
        QCOMPARE(keys, QStringList({"A1", "B1", "C1", "D1"}));
        const TreeModel &m = anna->model;
        QCOMPARE(m.eventsOf(Ref(Kind::Person, 0)).size(), 3u);
        QCOMPARE(m.families.size(), 1u);
        QCOMPARE(m.eventsOf(Ref(Kind::Family, 0)).size(), 1u);
        QCOMPARE(m.citations.size(), 2u);
        QCOMPARE(m.string(m.sources[m.citations[0].source].title), QString("Parish register"));
        QCOMPARE(m.string(m.citations[0].page), QString("p. 12"));
        QCOMPARE(m.notes.size(), 1u); // the note of the association's citation

        // Around Carl: the family he is a child of, without Anna's own events.
        Result<ModelSlice> carl = ModelStore::sliceOf(*store, "Family", "C1");
        QVERIFY(carl.ok());
        QCOMPARE(carl->rows.size(), size_t(3));
        QCOMPARE(carl->model.events.size(), 1u); // the marriage
        QCOMPARE(carl->model.parentLinksOf(0).size(), size_t(1));
        QVERIFY(carl->model.sources.isEmpty());

        QCOMPARE(ModelStore::sliceOf(*store, "Family", "Z9").error().code(), ErrorCode::Missing);
        QCOMPARE(ModelStore::sliceOf(*store, "Nope", "A1").error().code(), ErrorCode::TreeMissing);
    }

    // Renaming changes one name; deleting takes the records; compressing keeps them.
    void treeOperationsCarryTheRecords()
    {
        auto store = withSample();
        QVERIFY(store);
        QVERIFY(store->RenameTree("Family", "Kin"));
        QCOMPARE(ModelStore::familiesOf(*store, "Kin")->size(), size_t(1));
        QCOMPARE(scalar(*store, "SELECT count(*) FROM mainTrees WHERE name = 'Kin'"), 1);
        VERIFY_TREE_CONSISTENT(*store, "Kin");
        QVERIFY(store->RenameTree("Kin", "KIN")); // another spelling of the same name
        QCOMPARE(ModelStore::familiesOf(*store, "KIN")->size(), size_t(1));
        QVERIFY(store->Compress());
        QCOMPARE(ModelStore::familiesOf(*store, "KIN")->size(), size_t(1));
        VERIFY_TREE_CONSISTENT(*store, "KIN");
        const qint64 records = scalar(*store, "SELECT count(*) FROM mainRecords");
        QVERIFY(records > 10);
        QVERIFY(store->DeleteTree("KIN"));
        QCOMPARE(scalar(*store, "SELECT count(*) FROM mainRecords"), 0);
        QCOMPARE(scalar(*store, "SELECT count(*) FROM mainTrees"), 0);
    }

    // A tree table that went behind the store's back (an older program) leaves its records
    // aside: a new tree of that name starts without them, and the check lists them.
    void recordsOfAGoneTableAreKeptAside()
    {
        auto store = withSample();
        QVERIFY(store);
        {
            QSqlQuery query(QSqlDatabase::database(store->ConnectionName(), false));
            QVERIFY(query.exec("DROP TABLE \"Family\""));
        }
        QVERIFY(store->CreateTree("Family"));
        QVERIFY(ModelStore::familiesOf(*store, "Family")->empty());
        QCOMPARE(*ModelStore::hasModel(*store, "Family"), false);
        const Result<QStringList> lines = ModelStore::checkTree(*store, "Family");
        QVERIFY(lines.ok());
        QCOMPARE(lines->size(), 1);
        QVERIFY2(lines->at(0).contains("kept aside"), qPrintable(lines->at(0)));
        QCOMPARE(scalar(*store, "SELECT count(*) FROM mainTrees WHERE name IS NULL AND "
                                "asideName = 'Family'"),
                 1);
        QCOMPARE(ModelStore::checkTree(*store, "Gone").error().code(), ErrorCode::TreeMissing);
    }

    void deletingAPersonTakesItsRecords()
    {
        auto store = withSample();
        QVERIFY(store);
        // Anna goes: her events, citation, association and kept structure; the family keeps
        // Bert, whose partner columns are cleared; Carl stays Bert's child.
        QVERIFY(store->DeletePerson("Family", "A1"));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        Result<ModelSlice> tree = ModelStore::readTree(*store, "Family");
        QVERIFY(tree.ok());
        const TreeModel &m = tree->model;
        QCOMPARE(m.events.size(), 1u); // the marriage
        QVERIFY(m.citations.isEmpty());
        QVERIFY(m.associations.isEmpty());
        QVERIFY(m.kept.isEmpty());
        QVERIFY(m.keptLines.isEmpty());
        QCOMPARE(m.families.size(), 1u);
        const PersonRecord bert = *store->FindPerson("Family", "B1");
        QCOMPARE(bert.PrtFname, QString());
        QCOMPARE(bert.PrtSname, QString());
        QCOMPARE(ModelStore::familiesOf(*store, "Family")->front().partner[0], QString());
        // The source stays: it is the tree's, not Anna's.
        QCOMPARE(m.sources.size(), 1u);

        // Bert and Carl go: the family has no partner and no child left and goes too.
        QVERIFY(store->DeletePerson("Family", "C1"));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        QCOMPARE(ModelStore::familiesOf(*store, "Family")->size(), size_t(1));
        QVERIFY(store->DeletePerson("Family", "B1"));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        QVERIFY(ModelStore::familiesOf(*store, "Family")->empty());
        QCOMPARE(scalar(*store, "SELECT count(*) FROM mainRecords WHERE tab = 3"), 0);
    }

    void deletingTheTargetOfAPointer()
    {
        // Dora goes: Anna's association with her goes; Bert goes: Anna's kept pointer to him
        // points to nothing, and Anna's partner columns are cleared.
        auto store = withSample();
        QVERIFY(store);
        QVERIFY(store->DeletePerson("Family", "D1"));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        {
            const TreeModel m = ModelStore::readTree(*store, "Family")->model;
            QVERIFY(m.associations.isEmpty());
            // What the association owned went with it: its citation and that one's note.
            QCOMPARE(m.citations.size(), 1u);
            QVERIFY(m.noteLinks.isEmpty());
            QVERIFY(m.notes.isEmpty());
        }
        QVERIFY(store->DeletePerson("Family", "B1"));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        const TreeModel m = ModelStore::readTree(*store, "Family")->model;
        QCOMPARE(m.keptLines[0].target, Ref(Kind::Void, 0));
        QCOMPARE(store->FindPerson("Family", "A1")->PrtFname, QString());
    }

    void renamingAPersonRenamesPartnerColumns()
    {
        auto store = withSample();
        QVERIFY(store);
        PersonRecord anna = *store->FindPerson("Family", "A1");
        const PersonRecord before = anna;
        anna.Fname = "Annika";
        anna.Sname = "O'Berg";
        QVERIFY(store->UpdatePerson("Family", "A1", anna, &before));
        const PersonRecord bert = *store->FindPerson("Family", "B1");
        QCOMPARE(bert.PrtFname, QString("Annika"));
        QCOMPARE(bert.PrtSname, QString("O'Berg"));
        VERIFY_TREE_CONSISTENT(*store, "Family");
    }

    // A name kept as the file wrote it ("Anna /Berg/ the elder") stays the person's name only
    // while the row keeps it: renamed in the row, or through a partner's columns, the written
    // line goes (the export writes the new name) and the name's other pieces stay; a row saved
    // with its name unchanged keeps the line.
    void renamingForgetsTheNameAsWritten()
    {
        Sample s = sample();
        const auto written = [&s](quint32 person, const char16_t *line) {
            Name name;
            name.person = person;
            name.flags = Name::Primary | Name::HasValue;
            name.value = s.model.text(QStringView(line));
            name.nickname = s.model.text(QStringView(u"Nan"));
            s.model.names.add(name);
        };
        written(0, u"Anna /Berg/ the elder");
        written(1, u"Bert /Holm/ Sr.");
        written(2, u"Carl /Holm/ jr");
        auto store = withSample(s);
        QVERIFY(store);
        const auto nameOf = [&store](const char *key) {
            const ModelSlice tree = *ModelStore::readTree(*store, "Family");
            for (quint32 p = 0; p < tree.rows.size(); ++p)
                if (tree.rows[p].ID == QLatin1String(key))
                    return tree.model.names[RowRules::primaryName(tree.model, p)];
            return Name();
        };
        PersonRecord anna = *store->FindPerson("Family", "A1");
        PersonRecord carl = *store->FindPerson("Family", "C1");
        carl.Notes = "unchanged name";
        QVERIFY(store->UpdatePerson("Family", "C1", carl));
        QVERIFY(nameOf("C1").flags & Name::HasValue);

        anna.Fname = "Annika";
        QVERIFY(store->UpdatePerson("Family", "A1", anna));
        QVERIFY(!(nameOf("A1").flags & Name::HasValue));
        QVERIFY(nameOf("A1").flags & Name::Primary);
        QVERIFY(nameOf("B1").flags & Name::HasValue);

        anna.PrtFname = "Berthold";
        QVERIFY(store->UpdatePerson("Family", "A1", anna));
        QCOMPARE(store->FindPerson("Family", "B1")->Fname, QString("Berthold"));
        const Name bert = nameOf("B1");
        QVERIFY(!(bert.flags & Name::HasValue));
        QVERIFY(!bert.nickname.isEmpty());
        QVERIFY(nameOf("C1").flags & Name::HasValue);
        VERIFY_TREE_CONSISTENT(*store, "Family");
    }

    void partnerColumnsRenameAddOrRemoveThePartner()
    {
        auto store = withSample();
        QVERIFY(store);
        // New partner names on Anna's row rename Bert.
        PersonRecord anna = *store->FindPerson("Family", "A1");
        anna.PrtFname = "Berthold";
        QVERIFY(store->UpdatePerson("Family", "A1", anna));
        QCOMPARE(store->FindPerson("Family", "B1")->Fname, QString("Berthold"));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        // Cleared, Bert leaves the family; his row and Carl stay.
        anna.PrtFname.clear();
        anna.PrtSname.clear();
        QVERIFY(store->UpdatePerson("Family", "A1", anna));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        const FamilyKeys family = ModelStore::familiesOf(*store, "Family")->front();
        QCOMPARE(family.partner[1], QString());
        QCOMPARE(family.children.size(), size_t(1));
        QVERIFY(store->FindPerson("Family", "B1").ok());
        // Named again, a new partner row outside the line joins the family.
        anna.PrtFname = "Egon";
        anna.PrtSname = "Ek";
        QVERIFY(store->UpdatePerson("Family", "A1", anna));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        const QString egon = ModelStore::familiesOf(*store, "Family")->front().partner[1];
        QVERIFY(!egon.isEmpty());
        const PersonRecord egonRow = *store->FindPerson("Family", egon);
        QCOMPARE(egonRow.Fname, QString("Egon"));
        QCOMPARE(egonRow.PrntKey, QString());
        QCOMPARE(egonRow.PrtFname, QString("Anna"));
        // Dora, in no family, names a partner: a partner row and a family are made.
        PersonRecord dora = *store->FindPerson("Family", "D1");
        dora.PrtFname = "Fritz";
        QVERIFY(store->UpdatePerson("Family", "D1", dora));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        QCOMPARE(ModelStore::familiesOf(*store, "Family")->size(), size_t(2));
    }

    void aNewParentKeyMakesTheRowAChildOfTheParent()
    {
        auto store = withSample();
        QVERIFY(store);
        // Dora under Carl: Carl is in no family as a partner, so one is made with him alone.
        PersonRecord dora = *store->FindPerson("Family", "D1");
        dora.PrntKey = "C1";
        QVERIFY(store->UpdatePerson("Family", "D1", dora));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        std::vector<FamilyKeys> families = *ModelStore::familiesOf(*store, "Family");
        QCOMPARE(families.size(), size_t(2));
        QCOMPARE(families[1].partner[0], QString("C1"));
        QCOMPARE(families[1].partner[1], QString());
        QCOMPARE(families[1].children.front().key, QString("D1"));
        // A new row under Carl joins that family; one under Anna (already Carl's parent with
        // Bert) gets a family of Anna alone; the Parts' edge cases add nothing.
        QVERIFY(store->InsertPerson("Family", row("E1", "C1", "Eva", "Holm")));
        QVERIFY(store->InsertPerson("Family", row("G1", "A1", "Gun", "Berg")));
        QVERIFY(store->InsertPerson("Family", row("H1", "H1", "Self", "Parent")));
        QVERIFY(store->InsertPerson("Family", row("I1", "missing", "No", "Parent")));
        QVERIFY(store->InsertPerson("Family", row("J1", "root", "Other", "Case")));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        families = *ModelStore::familiesOf(*store, "Family");
        QCOMPARE(families.size(), size_t(3));
        QCOMPARE(families[1].children.size(), size_t(2));
        QCOMPARE(families[2].partner[0], QString("A1"));
        QCOMPARE(families[2].children.front().key, QString("G1"));
        // Anna's partner columns still name Bert: her first family is unchanged.
        QCOMPARE(store->FindPerson("Family", "A1")->PrtFname, QString("Bert"));
    }

    void handMadeTreesStayWithoutRecords()
    {
        auto store = openFresh();
        QVERIFY(store);
        QVERIFY(store->CreateTree("Hand"));
        QVERIFY(store->InsertPerson("Hand", row("K1", "ROOT", "Kurt", "Ro", "Lena", "Ro")));
        QVERIFY(store->InsertPerson("Hand", row("K2", "K1", "Karl", "Ro")));
        PersonRecord kurt = *store->FindPerson("Hand", "K1");
        kurt.Fname = "Kurtis";
        kurt.PrtFname = "Lina";
        QVERIFY(store->UpdatePerson("Hand", "K1", kurt));
        QVERIFY(store->DeletePerson("Hand", "K2"));
        QCOMPARE(*ModelStore::hasModel(*store, "Hand"), false);
        QCOMPARE(store->FindPerson("Hand", "K1")->PrtFname, QString("Lina"));
        VERIFY_TREE_CONSISTENT(*store, "Hand");
    }

    // A record another program took away, that others still name: the whole tree is not read
    // (every reader would follow the link), the check names the link, a slice does without it.
    void brokenLinksAreReported()
    {
        auto store = withSample();
        QVERIFY(store);
        {
            QSqlQuery query(QSqlDatabase::database(store->ConnectionName(), false));
            QVERIFY(query.exec("DELETE FROM mainRecords WHERE tab = 6")); // the places
        }
        QCOMPARE(ModelStore::readTree(*store, "Family").error().code(), ErrorCode::Damaged);
        const Result<QStringList> lines = ModelStore::checkTree(*store, "Family");
        QVERIFY(lines.ok());
        QCOMPARE(lines->size(), 1);
        QVERIFY2(lines->at(0).contains("not there"), qPrintable(lines->at(0)));
        const Result<ModelSlice> anna = ModelStore::sliceOf(*store, "Family", "A1");
        QVERIFY(anna.ok());
        for (const Event &e : anna->model.events.all())
            QCOMPARE(e.place, kNoIndex);
    }

    // Damaged side records are reported, never read as something else.
    void damagedRecordsAreReported()
    {
        auto store = withSample();
        QVERIFY(store);
        {
            QSqlQuery query(QSqlDatabase::database(store->ConnectionName(), false));
            QVERIFY(query.exec("UPDATE mainRecords SET data = x'0102' WHERE tab = 3 AND idx = 0"));
        }
        QCOMPARE(ModelStore::readTree(*store, "Family").error().code(), ErrorCode::Damaged);
        const Result<QStringList> lines = ModelStore::checkTree(*store, "Family");
        QVERIFY(lines.ok());
        QVERIFY(!lines->isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestModelStore)
#include "tst_modelstore.moc"
