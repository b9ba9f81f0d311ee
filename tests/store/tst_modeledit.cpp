// Editing the records of one person: read whole, written back in one transaction, refused when
// another program changed the tree in between.
#include "ModelEdit.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "RowRules.h"
#include "TestRows.h"
#include "TreeCheck.h"
#include "TreeConsistency.h"
#include "mDatabase.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Genealogy;

namespace {

// Anna (A1, root) and Bert (B1, married in) with their child Carl (C1); Anna's birth is cited.
ModelSlice sample()
{
    ModelSlice s;
    s.rows = {row("A1", "ROOT", "Anna", "Berg", "Bert", "Holm"),
              row("B1", "", "Bert", "Holm", "Anna", "Berg"), row("C1", "A1", "Carl", "Holm")};
    s.rows[0].Bdate = "1 JAN 1900";
    TreeModel &m = s.model;
    m.persons.resize(3);
    Family family;
    family.partner[0] = 0;
    family.partner[1] = 1;
    const quint32 f = m.families.add(family);
    m.partnerships.add({0, f});
    m.partnerships.add({1, f});
    ChildLink link;
    link.family = f;
    link.child = 2;
    m.childLinks.add(link);
    Source register_;
    register_.title = m.text(QStringView(u"Parish register"));
    const quint32 src = m.sources.add(register_);
    Event birth;
    birth.owner = Ref(Kind::Person, 0);
    birth.type = EventTypes::birth();
    const quint32 b = m.events.add(birth);
    Citation citation;
    citation.owner = Ref(Kind::Event, b);
    citation.source = src;
    m.citations.add(citation);
    return s;
}

// Anna and Bert with two children, Carl and Dora; Dora's occupation and its citation come
// before Anna's cited birth in the stored order, so that deleting Dora leaves gaps there.
ModelSlice withDora()
{
    ModelSlice s = sample();
    s.rows.push_back(row("D1", "A1", "Dora", "Holm"));
    TreeModel m;
    m.persons.resize(4);
    Family family;
    family.partner[0] = 0;
    family.partner[1] = 1;
    const quint32 f = m.families.add(family);
    m.partnerships.add({0, f});
    m.partnerships.add({1, f});
    for (quint32 child : {2u, 3u}) {
        ChildLink link;
        link.family = f;
        link.child = child;
        m.childLinks.add(link);
    }
    Source register_;
    register_.title = m.text(QStringView(u"Parish register"));
    const quint32 src = m.sources.add(register_);
    Event occupation;
    occupation.owner = Ref(Kind::Person, 3);
    occupation.type = EventTypes::find("OCCU", false);
    occupation.value = m.text(QStringView(u"Weaver"));
    Event birth;
    birth.owner = Ref(Kind::Person, 0);
    birth.type = EventTypes::birth();
    for (const Event &event : {occupation, birth}) {
        Citation citation;
        citation.owner = Ref(Kind::Event, m.events.add(event));
        citation.source = src;
        citation.page = m.text(QStringView(u"p. 1"));
        m.citations.add(citation);
    }
    s.model = std::move(m);
    return s;
}

// The tree's stored records: "tab/idx" to every other column.
QMap<QString, QString> storedRecords(const mDatabase &store)
{
    QSqlQuery query(QSqlDatabase::database(store.ConnectionName(), false));
    QMap<QString, QString> records;
    if (!query.exec("SELECT tab, idx, person, family, ownerTab, ownerIdx, ref1, ref2, hex(data) "
                    "FROM mainRecords"))
        return {{"error", query.lastError().text()}};
    while (query.next()) {
        QStringList columns;
        for (int c = 2; c < 9; ++c)
            columns << (query.isNull(c) ? QStringLiteral("-") : query.value(c).toString());
        records.insert(query.value(0).toString() + '/' + query.value(1).toString(),
                       columns.join(u'|'));
    }
    return records;
}

// The keys of the records that differ between two sets of stored records.
QStringList changedRecords(const QMap<QString, QString> &before,
                           const QMap<QString, QString> &after)
{
    QStringList changed;
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (before.value(it.key()) != it.value())
            changed << it.key();
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (!after.contains(it.key()))
            changed << it.key() + QStringLiteral(" gone");
    return changed;
}

} // namespace

class TestModelEdit : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_folders = 0;

    std::unique_ptr<mDatabase> withTree(const ModelSlice &s, bool withModel = true)
    {
        auto store = std::make_unique<mDatabase>();
        store->BuildConnectionString(m_dir.filePath(QString::number(++m_folders)) + '/');
        if (!store->OpenDatabase())
            return nullptr;
        NewTreeWriter writer(*store);
        if (!writer.Begin("Family"))
            return nullptr;
        for (const PersonRow &r : s.rows)
            if (!writer.Add(r))
                return nullptr;
        if (withModel && !ModelStore::writeModelInTransaction(*store, "Family", s.rows, s.model))
            return nullptr;
        if (!writer.Commit())
            return nullptr;
        return store;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Every kind of change to a person's records reaches the store in one write, and the tree
    // stays consistent: sex and privacy, a name, an event with place and date, a family's
    // relation, a new partner outside the line with a family, a child of both, a citation of a
    // new source with the image of the record, a media link.
    void everyKindOfChange()
    {
        auto store = withTree(sample());
        QVERIFY(store);
        Result<ModelEdit::PersonEdit> read = ModelEdit::readForEdit(*store, "Family", "a1");
        QVERIFY2(read, qPrintable(read.error().text()));
        QCOMPARE(read->tree.person, 0u);
        ModelSlice edited = read->tree;
        TreeModel &m = edited.model;
        m.persons.edit(0).sex = Sex::Female;
        m.persons.edit(0).privacy = Privacy::Private;
        Name married;
        married.person = 0;
        married.type = NameType::Married;
        married.given = m.text(QStringView(u"Anna"));
        married.surname = m.text(QStringView(u"Holm"));
        m.names.add(married);
        Event baptism;
        baptism.owner = Ref(Kind::Person, 0);
        baptism.type = EventTypes::find("BAPM", false);
        baptism.date = m.text(QStringView(u"ABT 1900"));
        baptism.place = m.place("Lund");
        baptism.privacy = Privacy::Private;
        const quint32 e = m.events.add(baptism);
        m.families.edit(0).relation = FamilyRelation::Married;
        // A second partner, new and outside the line, and a child of both.
        edited.rows.push_back(row("P1", "", "Emil", "Ek", "Anna", "Berg"));
        m.persons.add(PersonSide());
        Family second;
        second.partner[0] = 0;
        second.partner[1] = 3;
        const quint32 f = m.families.add(second);
        m.partnerships.add({0, f});
        m.partnerships.add({3, f});
        edited.rows.push_back(row("P2", "A1", "Frida", "Ek"));
        m.persons.add(PersonSide());
        ChildLink frida;
        frida.family = f;
        frida.child = 4;
        m.childLinks.add(frida);
        Source book;
        book.title = m.text(QStringView(u"Church book"));
        Citation cite;
        cite.owner = Ref(Kind::Event, e);
        cite.source = m.sources.add(book);
        cite.page = m.text(QStringView(u"fol. 3"));
        cite.quality = 3;
        const quint32 c = m.citations.add(cite);
        Media image;
        image.file = m.text(QStringView(u"scan.jpg"));
        m.mediaLinks.add({Ref(Kind::Citation, c), m.media.add(image)});
        QVERIFY2(checkTree(edited.rows, edited.model).isEmpty(),
                 qPrintable(checkTree(edited.rows, edited.model).join(u'\n')));

        const Result<void> applied = ModelEdit::applyEdit(*store, "Family", *read, edited);
        QVERIFY2(applied, qPrintable(applied.error().text()));
        VERIFY_TREE_CONSISTENT(*store, "Family");

        Result<ModelSlice> slice = ModelStore::sliceOf(*store, "Family", "A1");
        QVERIFY(slice);
        const TreeModel &s = slice->model;
        QCOMPARE(s.persons[0].sex, Sex::Female);
        QCOMPARE(s.persons[0].privacy, quint8(Privacy::Private));
        QCOMPARE(s.namesOf(0).size(), size_t(1));
        QCOMPARE(s.string(s.names[s.namesOf(0)[0]].surname), QString("Holm"));
        QCOMPARE(s.partnershipsOf(0).size(), size_t(2));
        QCOMPARE(s.families[s.partnerships[s.partnershipsOf(0)[0]].family].relation,
                 FamilyRelation::Married);
        quint32 found = kNoIndex;
        for (quint32 i : s.eventsOf(Ref(Kind::Person, 0)))
            if (s.events[i].type == EventTypes::find("BAPM", false))
                found = i;
        QVERIFY(found != kNoIndex);
        QCOMPARE(s.string(s.events[found].date), QString("ABT 1900"));
        QCOMPARE(s.string(s.places[s.events[found].place].name), QString("Lund"));
        QCOMPARE(s.events[found].privacy, quint8(Privacy::Private));
        const auto cites = s.citationsOf(Ref(Kind::Event, found));
        QCOMPARE(cites.size(), size_t(1));
        QCOMPARE(s.string(s.sources[s.citations[cites[0]].source].title), QString("Church book"));
        QCOMPARE(s.citations[cites[0]].quality, quint8(3));
        QCOMPARE(s.mediaLinksOf(Ref(Kind::Citation, cites[0])).size(), size_t(1));
        // The new rows are stored; the child is in the line under its mother.
        Result<PersonRecord> child = store->FindPerson("Family", "P2");
        QVERIFY(child);
        QCOMPARE(child->PrntKey, QString("A1"));
        QCOMPARE(store->FindPerson("Family", "P1")->PrntKey, QString());
        // The first birth's citation is still there: untouched records stay.
        const quint32 birth = RowRules::firstEvent(s, Ref(Kind::Person, 0), EventTypes::birth());
        QVERIFY(birth != kNoIndex);
        QCOMPARE(s.citationsOf(Ref(Kind::Event, birth)).size(), size_t(1));
    }

    // Another program changed the person after it was read: the edit is refused as changed
    // elsewhere and nothing of it is written; read again, it goes through. A change of another
    // person of the tree (Carl's sex, Carl's row) does not stand in the way and is kept.
    void refusedWhenChangedElsewhere()
    {
        auto store = withTree(sample());
        QVERIFY(store);
        Result<ModelEdit::PersonEdit> read = ModelEdit::readForEdit(*store, "Family", "A1");
        QVERIFY(read);
        ModelSlice edited = read->tree;
        edited.model.persons.edit(0).sex = Sex::Female;

        // Anna's own side record changes (her privacy).
        Result<ModelEdit::PersonEdit> other = ModelEdit::readForEdit(*store, "Family", "A1");
        QVERIFY(other);
        ModelSlice theirs = other->tree;
        theirs.model.persons.edit(0).privacy = Privacy::Private;
        QVERIFY(ModelEdit::applyEdit(*store, "Family", *other, theirs));
        Result<void> applied = ModelEdit::applyEdit(*store, "Family", *read, edited);
        QVERIFY(!applied);
        QVERIFY(applied.error().is(ErrorCode::ChangedElsewhere));
        QVERIFY2(applied.error().text().contains("'A1' (Anna Berg)"),
                 qPrintable(applied.error().text()));
        QCOMPARE(ModelStore::sliceOf(*store, "Family", "A1")->model.persons[0].sex, Sex::None);

        // Anna's row changes.
        read = ModelEdit::readForEdit(*store, "Family", "A1");
        QVERIFY(read);
        edited = read->tree;
        edited.model.persons.edit(0).sex = Sex::Female;
        PersonRecord anna = *store->FindPerson("Family", "A1");
        PersonRecord was = anna;
        anna.Notes = "Changed elsewhere";
        QVERIFY(store->UpdatePerson("Family", "A1", anna, &was));
        applied = ModelEdit::applyEdit(*store, "Family", *read, edited);
        QVERIFY(applied.error().is(ErrorCode::ChangedElsewhere));

        // Carl's side record and Carl's row change: another person, the edit goes through.
        read = ModelEdit::readForEdit(*store, "Family", "A1");
        QVERIFY(read);
        edited = read->tree;
        edited.model.persons.edit(0).sex = Sex::Female;
        Result<ModelEdit::PersonEdit> carlRead = ModelEdit::readForEdit(*store, "Family", "C1");
        QVERIFY(carlRead);
        ModelSlice carlEdited = carlRead->tree;
        carlEdited.model.persons.edit(2).sex = Sex::Male;
        QVERIFY(ModelEdit::applyEdit(*store, "Family", *carlRead, carlEdited));
        PersonRecord carl = *store->FindPerson("Family", "C1");
        was = carl;
        carl.Notes = "Carl changed elsewhere";
        QVERIFY(store->UpdatePerson("Family", "C1", carl, &was));
        applied = ModelEdit::applyEdit(*store, "Family", *read, edited);
        QVERIFY2(applied, qPrintable(applied.error().text()));
        const Result<ModelSlice> now = ModelStore::readTree(*store, "Family");
        QVERIFY(now);
        QCOMPARE(now->model.persons[0].sex, Sex::Female);
        QCOMPARE(now->model.persons[0].privacy, Privacy::Private);
        QCOMPARE(now->model.persons[2].sex, Sex::Male);
        QCOMPARE(store->FindPerson("Family", "C1")->Notes, QString("Carl changed elsewhere"));
        QCOMPARE(store->FindPerson("Family", "A1")->Notes, QString("Changed elsewhere"));
        VERIFY_TREE_CONSISTENT(*store, "Family");
    }

    // A save writes only the records it changed, under the numbers they are stored with, also
    // when earlier deletions left gaps in the numbering; what is read back is the edit, and a
    // second edit of the same tree goes through as well.
    void onlyChangedRecordsWritten()
    {
        auto store = withTree(withDora());
        QVERIFY(store);
        VERIFY_TREE_CONSISTENT(*store, "Family");
        QVERIFY(store->DeletePerson("Family", "D1"));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        const QMap<QString, QString> before = storedRecords(*store);
        QVERIFY(before.contains("3/1")); // Anna's birth, after the gap Dora's occupation left
        QVERIFY(!before.contains("3/0"));

        Result<ModelEdit::PersonEdit> read = ModelEdit::readForEdit(*store, "Family", "A1");
        QVERIFY(read);
        ModelSlice edited = read->tree;
        TreeModel &m = edited.model;
        QCOMPARE(m.events.size(), 1u);
        QCOMPARE(m.citations.size(), 1u);
        m.citations.edit(0).page = m.text(QStringView(u"p. 7"));
        Event baptism;
        baptism.owner = Ref(Kind::Person, 0);
        baptism.type = EventTypes::find("BAPM", false);
        baptism.place = m.place("Lund");
        Citation cite;
        cite.owner = Ref(Kind::Event, m.events.add(baptism));
        cite.source = 0;
        cite.page = m.text(QStringView(u"p. 8"));
        m.citations.add(cite);
        const Result<void> applied = ModelEdit::applyEdit(*store, "Family", *read, edited);
        QVERIFY2(applied, qPrintable(applied.error().text()));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        // The changed citation, and the event, place and citation added after the highest
        // numbers of their tables; nothing else.
        const QMap<QString, QString> after = storedRecords(*store);
        QStringList changed = changedRecords(before, after);
        changed.sort();
        QCOMPARE(changed, QStringList({"14/1", "14/2", "3/2", "6/0"}));

        Result<ModelSlice> slice = ModelStore::sliceOf(*store, "Family", "A1");
        QVERIFY(slice);
        const TreeModel &s = slice->model;
        QStringList events;
        for (quint32 e : s.eventsOf(Ref(Kind::Person, 0))) {
            QStringList pages;
            for (quint32 c : s.citationsOf(Ref(Kind::Event, e)))
                pages << s.string(s.citations[c].page) + ' ' +
                             s.string(s.sources[s.citations[c].source].title);
            events << EventTypes::tag(s.events[e].type).toByteArray() + ':' +
                          (s.events[e].place == kNoIndex
                               ? QString()
                               : s.string(s.places[s.events[e].place].name)) +
                          ':' + pages.join(u',');
        }
        QCOMPARE(events,
                 QStringList({"BIRT::p. 7 Parish register", "BAPM:Lund:p. 8 Parish register"}));

        // Again, on the tree as this edit left it: Anna's person record is new (she had the
        // default values), Carl's row and records stay.
        read = ModelEdit::readForEdit(*store, "Family", "A1");
        QVERIFY(read);
        edited = read->tree;
        edited.model.persons.edit(0).sex = Sex::Female;
        QVERIFY(ModelEdit::applyEdit(*store, "Family", *read, edited));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        QCOMPARE(changedRecords(after, storedRecords(*store)), QStringList{"1/0"});
        QCOMPARE(ModelStore::sliceOf(*store, "Family", "A1")->model.persons[0].sex, Sex::Female);
        QCOMPARE(ModelStore::sliceOf(*store, "Family", "C1")->rows[0].PrntKey, QString("A1"));
    }

    // An edit that would break a rule between rows and records, or lose a row, is refused
    // before anything is written.
    void inconsistentEditRefused()
    {
        auto store = withTree(sample());
        QVERIFY(store);
        Result<ModelEdit::PersonEdit> read = ModelEdit::readForEdit(*store, "Family", "A1");
        QVERIFY(read);
        ModelSlice edited = read->tree;
        // The first birth record may not hold a date of its own (the row's Bdate is it).
        const quint32 birth =
            RowRules::firstEvent(edited.model, Ref(Kind::Person, 0), EventTypes::birth());
        edited.model.events.edit(birth).date = edited.model.text(QStringView(u"1901"));
        Result<void> applied = ModelEdit::applyEdit(*store, "Family", *read, edited);
        QVERIFY(applied.error().is(ErrorCode::InvalidInput));

        edited = read->tree;
        edited.rows.pop_back();
        edited.model.persons.removeLast();
        applied = ModelEdit::applyEdit(*store, "Family", *read, edited);
        QVERIFY(applied.error().is(ErrorCode::InvalidInput));
        QVERIFY(store->FindPerson("Family", "C1"));
        VERIFY_TREE_CONSISTENT(*store, "Family");
    }

    // A tree without side records gets them for the person on the first edit; the other rows
    // stay as they were, and a person not in the tree is missing.
    void firstEditGivesSideRecords()
    {
        ModelSlice plain;
        plain.rows = {row("A1", "ROOT", "Anna", "Berg"), row("C1", "A1", "Carl", "Berg")};
        auto store = withTree(plain, false);
        QVERIFY(store);
        QCOMPARE(*ModelStore::hasModel(*store, "Family"), false);
        QVERIFY(ModelEdit::readForEdit(*store, "Family", "X9").error().is(ErrorCode::Missing));
        Result<ModelEdit::PersonEdit> read = ModelEdit::readForEdit(*store, "Family", "C1");
        QVERIFY(read);
        QCOMPARE(read->tree.model.personCount(), 2u);
        ModelSlice edited = read->tree;
        edited.model.persons.edit(1).sex = Sex::Male;
        Event occupation;
        occupation.owner = Ref(Kind::Person, 1);
        occupation.type = EventTypes::find("OCCU", false);
        occupation.value = edited.model.text(QStringView(u"Smith"));
        edited.model.events.add(occupation);
        QVERIFY(ModelEdit::applyEdit(*store, "Family", *read, edited));
        QCOMPARE(*ModelStore::hasModel(*store, "Family"), true);
        VERIFY_TREE_CONSISTENT(*store, "Family");
        Result<ModelSlice> slice = ModelStore::sliceOf(*store, "Family", "C1");
        QCOMPARE(slice->model.persons[0].sex, Sex::Male);
        QCOMPARE(slice->model.eventsOf(Ref(Kind::Person, 0)).size(), size_t(1));
        QCOMPARE(store->FindPerson("Family", "C1")->PrntKey, QString("A1"));
    }
};

QTEST_GUILESS_MAIN(TestModelEdit)
#include "tst_modeledit.moc"
