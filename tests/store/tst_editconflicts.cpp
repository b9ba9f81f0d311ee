// Several relatives editing one tree at once, on a database file and on a real database server:
// each edit names what it read and is refused only when what it changes was changed or deleted
// meanwhile, with a message that says who and when; edits of other persons go through side by
// side and none is lost.
#include "ChangeLog.h"
#include "EngineStore.h"
#include "ModelEdit.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "ServerAddress.h"
#include "TestRows.h"
#include "TreeConsistency.h"
#include "mDatabase.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Genealogy;

namespace {

// Anna (A1) and Bert (B1) with their child Carl (C1), and Eva (E1) and her father Finn (F1) of
// another line; a source, the parish register.
ModelSlice twoLines()
{
    ModelSlice s;
    s.rows = {row("A1", "ROOT", "Anna", "Berg", "Bert", "Holm"),
              row("B1", "", "Bert", "Holm", "Anna", "Berg"), row("C1", "A1", "Carl", "Holm"),
              row("F1", "ROOT", "Finn", "Lund"), row("E1", "F1", "Eva", "Lund")};
    TreeModel &m = s.model;
    m.persons.resize(5);
    Family family;
    family.partner[0] = 0;
    family.partner[1] = 1;
    const quint32 f = m.families.add(family);
    m.partnerships.add({0, f});
    m.partnerships.add({1, f});
    ChildLink carl;
    carl.family = f;
    carl.child = 2;
    m.childLinks.add(carl);
    Family lund;
    lund.partner[0] = 3;
    const quint32 g = m.families.add(lund);
    m.partnerships.add({3, g});
    ChildLink eva;
    eva.family = g;
    eva.child = 4;
    m.childLinks.add(eva);
    Source register_;
    register_.title = m.text(QStringView(u"Parish register"));
    m.sources.add(register_);
    return s;
}

// An edit adding an event of `type` to the person `person` of `read`.
ModelSlice withEvent(const ModelEdit::PersonEdit &read, quint32 person, const char *type)
{
    ModelSlice edited = read.tree;
    Event event;
    event.owner = Ref(Kind::Person, person);
    event.type = EventTypes::find(QByteArrayView(type), false);
    edited.model.events.add(event);
    return edited;
}

// The number of events of a person stored now.
qsizetype eventsOf(const mDatabase &store, quint32 person)
{
    const Result<ModelSlice> tree = ModelStore::readTree(store, "Family");
    return tree ? qsizetype(tree->model.eventsOf(Ref(Kind::Person, person)).size()) : -1;
}

// The statements the server keeps prepared for the store's connection (0 on the file).
qint64 preparedStatements(const mDatabase &store)
{
    QSqlDatabase db = QSqlDatabase::database(store.ConnectionName(), false);
    if (db.driverName() != QLatin1String("QPSQL"))
        return 0;
    QSqlQuery query(db);
    if (!query.exec("SELECT count(*) FROM pg_prepared_statements") || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

} // namespace

class TestEditConflicts : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<PgServer> m_server;
    int m_made = 0;
    QString m_lastDatabase;

    bool onServer() const { return engineRowIsServer(); }

    // A store on a new database of the test row's engine holding twoLines(); a second store
    // (another program) on the same database with `again`.
    std::unique_ptr<mDatabase> open(bool again = false)
    {
        if (!again)
            m_lastDatabase = QStringLiteral("db%1").arg(++m_made);
        std::unique_ptr<mDatabase> store =
            openEngineStore(onServer(), m_server.get(), m_dir, m_lastDatabase, !again);
        if (!store || again)
            return store;
        const ModelSlice s = twoLines();
        NewTreeWriter writer(*store);
        if (!writer.Begin("Family"))
            return nullptr;
        for (const PersonRow &r : s.rows)
            if (!writer.Add(r))
                return nullptr;
        if (!ModelStore::writeModelInTransaction(*store, "Family", s.rows, s.model) ||
            !writer.Commit())
            return nullptr;
        return store;
    }

    void engines() { addEngineRows(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_server = std::make_unique<PgServer>();
    }
    void cleanupTestCase() { m_server.reset(); }

    // Two programs read the tree, each edits another person (Anna of one line, Eva of the
    // other; Eva's row as well), and both save: neither is refused, both changes are stored,
    // the records added by each are numbered apart, the tree is consistent.
    void otherPersonsDoNotBlock_data() { engines(); }
    void otherPersonsDoNotBlock()
    {
        if (onServer())
            VT_REQUIRE_SERVER(*m_server);
        auto first = open();
        QVERIFY(first);
        auto second = open(true);
        QVERIFY(second);
        Result<ModelEdit::PersonEdit> anna = ModelEdit::readForEdit(*first, "Family", "A1");
        QVERIFY2(anna, qPrintable(anna.error().text()));
        Result<ModelEdit::PersonEdit> eva = ModelEdit::readForEdit(*second, "Family", "E1");
        QVERIFY2(eva, qPrintable(eva.error().text()));
        ModelSlice evaEdited = withEvent(*eva, 4, "BIRT");
        evaEdited.rows[4].Bdate = "2 FEB 1950";
        const ModelSlice annaEdited = withEvent(*anna, 0, "OCCU");

        Result<void> saved = ModelEdit::applyEdit(*second, "Family", *eva, evaEdited);
        QVERIFY2(saved, qPrintable(saved.error().text()));
        saved = ModelEdit::applyEdit(*first, "Family", *anna, annaEdited);
        QVERIFY2(saved, qPrintable(saved.error().text()));

        QCOMPARE(eventsOf(*first, 0), 1);
        QCOMPARE(eventsOf(*first, 4), 1);
        QCOMPARE(first->FindPerson("Family", "E1")->Bdate, QString("2 FEB 1950"));
        VERIFY_TREE_CONSISTENT(*first, "Family");

        // Read again, both go on: each program's next edit goes through as well.
        anna = ModelEdit::readForEdit(*second, "Family", "A1");
        QVERIFY(anna);
        saved = ModelEdit::applyEdit(*second, "Family", *anna, withEvent(*anna, 0, "RESI"));
        QVERIFY2(saved, qPrintable(saved.error().text()));
        QCOMPARE(eventsOf(*first, 0), 2);
        VERIFY_TREE_CONSISTENT(*first, "Family");
    }

    // What an edit depends on changed meanwhile: the same person's records, the person's row,
    // the family the person is a partner in (through the other partner's edit), a shared
    // record the edit writes. Each is refused, nothing of it written, and the message names
    // the person, the user of the other change and its change.
    void dependentChangesRefuse_data() { engines(); }
    void dependentChangesRefuse()
    {
        if (onServer())
            VT_REQUIRE_SERVER(*m_server);
        auto first = open();
        QVERIFY(first);
        auto second = open(true);
        QVERIFY(second);

        // The same person: the other program added an event of Anna and noted it in the
        // history.
        Result<ModelEdit::PersonEdit> mine = ModelEdit::readForEdit(*first, "Family", "A1");
        QVERIFY(mine);
        Result<ModelEdit::PersonEdit> theirs = ModelEdit::readForEdit(*second, "Family", "A1");
        QVERIFY(theirs);
        QVERIFY(ModelEdit::applyEdit(*second, "Family", *theirs, withEvent(*theirs, 0, "BIRT")));
        ChangeLog::Entry entry;
        entry.tree = "Family";
        entry.record = ChangeLog::personRecord("A1");
        entry.command = "Edit Details of Anna Berg";
        QVERIFY(ChangeLog::add(*second, entry));
        Result<void> saved =
            ModelEdit::applyEdit(*first, "Family", *mine, withEvent(*mine, 0, "OCCU"));
        QVERIFY(saved.error().is(ErrorCode::ChangedElsewhere));
        const QString user = onServer() ? QString(PgServer::kUser) : ChangeLog::userName();
        QVERIFY2(saved.error().text().contains("'A1' (Anna Berg)") &&
                     saved.error().text().contains("by " + user) &&
                     saved.error().text().contains("Edit Details of Anna Berg"),
                 qPrintable(saved.error().text()));
        QCOMPARE(eventsOf(*first, 0), 1);

        // The family Anna is a partner in: Bert's edit gives it a marriage.
        mine = ModelEdit::readForEdit(*first, "Family", "A1");
        QVERIFY(mine);
        theirs = ModelEdit::readForEdit(*second, "Family", "B1");
        QVERIFY(theirs);
        ModelSlice marriage = theirs->tree;
        Event married;
        married.owner = Ref(Kind::Family, 0);
        married.type = EventTypes::find("MARR", true);
        marriage.model.events.add(married);
        QVERIFY(ModelEdit::applyEdit(*second, "Family", *theirs, marriage));
        ModelSlice sex = mine->tree;
        sex.model.persons.edit(0).sex = Sex::Female;
        saved = ModelEdit::applyEdit(*first, "Family", *mine, sex);
        QVERIFY(saved.error().is(ErrorCode::ChangedElsewhere));

        // The person's row, changed through the edit window of the other program.
        mine = ModelEdit::readForEdit(*first, "Family", "A1");
        QVERIFY(mine);
        PersonRecord anna = *second->FindPerson("Family", "A1");
        const PersonRecord was = anna;
        anna.Notes = "Seen in the register";
        QVERIFY(second->UpdatePerson("Family", "A1", anna, &was));
        sex = mine->tree;
        sex.model.persons.edit(0).sex = Sex::Female;
        QVERIFY(ModelEdit::applyEdit(*first, "Family", *mine, sex)
                    .error()
                    .is(ErrorCode::ChangedElsewhere));
        QCOMPARE(ModelStore::sliceOf(*first, "Family", "A1")->model.persons[0].sex, Sex::None);

        // A shared record: both rename the parish register, the later is refused.
        mine = ModelEdit::readForEdit(*first, "Family", QString());
        QVERIFY(mine);
        theirs = ModelEdit::readForEdit(*second, "Family", QString());
        QVERIFY(theirs);
        ModelSlice renamed = theirs->tree;
        renamed.model.sources.edit(0).title = renamed.model.text(QStringView(u"Register A"));
        QVERIFY(ModelEdit::applyEdit(*second, "Family", *theirs, renamed));
        renamed = mine->tree;
        renamed.model.sources.edit(0).title = renamed.model.text(QStringView(u"Register B"));
        saved = ModelEdit::applyEdit(*first, "Family", *mine, renamed);
        QVERIFY(saved.error().is(ErrorCode::ChangedElsewhere));
        const Result<ModelSlice> now = ModelStore::readTree(*first, "Family");
        QVERIFY(now);
        QCOMPARE(now->model.string(now->model.sources[0].title), QString("Register A"));
        VERIFY_TREE_CONSISTENT(*first, "Family");
    }

    // The person edited was deleted by another program: Missing, nothing written; a person
    // the edit adds under a key another program took meanwhile: Taken.
    void deletedAndTakenRefuse_data() { engines(); }
    void deletedAndTakenRefuse()
    {
        if (onServer())
            VT_REQUIRE_SERVER(*m_server);
        auto first = open();
        QVERIFY(first);
        auto second = open(true);
        QVERIFY(second);
        Result<ModelEdit::PersonEdit> eva = ModelEdit::readForEdit(*first, "Family", "E1");
        QVERIFY(eva);
        const Result<void> deleted = second->DeletePerson("Family", "E1");
        QVERIFY2(deleted, qPrintable(deleted.error().text()));
        Result<void> saved =
            ModelEdit::applyEdit(*first, "Family", *eva, withEvent(*eva, 4, "BIRT"));
        QVERIFY(saved.error().is(ErrorCode::Missing));
        QVERIFY2(saved.error().text().contains("'E1' (Eva Lund)"),
                 qPrintable(saved.error().text()));
        QVERIFY(!first->FindPerson("Family", "E1"));

        // A family removed meanwhile (its partner and its child deleted): an event for it is
        // refused, not stored without its family.
        Result<ModelEdit::PersonEdit> shared = ModelEdit::readForEdit(*first, "Family", QString());
        QVERIFY(shared);
        QVERIFY(second->DeletePerson("Family", "F1"));
        ModelSlice familyEvent = shared->tree;
        Event residence;
        residence.owner = Ref(Kind::Family, 1);
        residence.type = EventTypes::find("RESI", true);
        familyEvent.model.events.add(residence);
        saved = ModelEdit::applyEdit(*first, "Family", *shared, familyEvent);
        QVERIFY2(saved.error().is(ErrorCode::ChangedElsewhere), qPrintable(saved.error().text()));
        VERIFY_TREE_CONSISTENT(*first, "Family");
        QVERIFY(second->InsertPerson("Family", row("F1", "ROOT", "Finn", "Lund")));

        Result<ModelEdit::PersonEdit> finn = ModelEdit::readForEdit(*first, "Family", "F1");
        QVERIFY(finn);
        ModelSlice added = finn->tree;
        added.rows.push_back(row("G1", "", "Gerd", "Lund"));
        added.model.persons.resize(added.rows.size());
        QVERIFY(second->InsertPerson("Family", row("G1", "", "Greta", "Lund")));
        // The refused insert leaves no statement behind on the server, and no warning.
        QTest::failOnWarning(QRegularExpression("Unable to free statement"));
        const qint64 prepared = preparedStatements(*first);
        saved = ModelEdit::applyEdit(*first, "Family", *finn, added);
        QVERIFY2(saved.error().is(ErrorCode::Taken), qPrintable(saved.error().text()));
        QCOMPARE(preparedStatements(*first), prepared);
        QVERIFY(first->InsertPerson("Family", row("G1", "", "Gerd", "Lund"))
                    .error()
                    .is(ErrorCode::Taken));
        QCOMPARE(preparedStatements(*first), prepared);
        QCOMPARE(first->FindPerson("Family", "G1")->Fname, QString("Greta"));
        VERIFY_TREE_CONSISTENT(*first, "Family");
    }

    // A record the edit adds names a shared record (the parish register) another program
    // deleted meanwhile: refused, saying so and who changed the tree's records last; nothing
    // cites the gone source. Read again, a citation of a source still there goes through.
    void namedRecordDeletedRefuses_data() { engines(); }
    void namedRecordDeletedRefuses()
    {
        if (onServer())
            VT_REQUIRE_SERVER(*m_server);
        auto first = open();
        QVERIFY(first);
        auto second = open(true);
        QVERIFY(second);
        const auto citing = [](const ModelEdit::PersonEdit &read, quint32 source) {
            ModelSlice edited = read.tree;
            Citation citation;
            citation.owner = Ref(Kind::Person, 0);
            citation.source = source;
            citation.page = edited.model.text(QStringView(u"p. 12"));
            edited.model.citations.add(citation);
            return edited;
        };
        Result<ModelEdit::PersonEdit> anna = ModelEdit::readForEdit(*first, "Family", "A1");
        QVERIFY(anna);
        Result<ModelEdit::PersonEdit> sources = ModelEdit::readForEdit(*second, "Family", {});
        QVERIFY(sources);
        ModelSlice without = sources->tree;
        without.model.sources.removeLast();
        QVERIFY(ModelEdit::applyEdit(*second, "Family", *sources, without));
        ChangeLog::Entry entry;
        entry.tree = "Family";
        entry.record = "tree";
        entry.command = "Edit Sources";
        QVERIFY(ChangeLog::add(*second, entry));

        Result<void> saved = ModelEdit::applyEdit(*first, "Family", *anna, citing(*anna, 0));
        QVERIFY2(saved.error().is(ErrorCode::ChangedElsewhere), qPrintable(saved.error().text()));
        QVERIFY2(saved.error().text().contains("deleted") &&
                     saved.error().text().contains("Edit Sources"),
                 qPrintable(saved.error().text()));
        Result<ModelSlice> now = ModelStore::readTree(*first, "Family");
        QVERIFY(now);
        QCOMPARE(now->model.citations.size(), 0u);
        QCOMPARE(now->model.sources.size(), 0u);
        VERIFY_TREE_CONSISTENT(*first, "Family");

        // A source of the other program's, added meanwhile, cited after reading again.
        sources = ModelEdit::readForEdit(*second, "Family", {});
        QVERIFY(sources);
        ModelSlice with = sources->tree;
        Source census;
        census.title = with.model.text(QStringView(u"Census 1900"));
        with.model.sources.add(census);
        QVERIFY(ModelEdit::applyEdit(*second, "Family", *sources, with));
        anna = ModelEdit::readForEdit(*first, "Family", "A1");
        QVERIFY(anna);
        saved = ModelEdit::applyEdit(*first, "Family", *anna, citing(*anna, 0));
        QVERIFY2(saved, saved ? "" : qPrintable(saved.error().text()));
        now = ModelStore::readTree(*second, "Family");
        QVERIFY(now);
        QCOMPARE(now->model.citations.size(), 1u);
        QCOMPARE(now->model.string(now->model.sources[now->model.citations[0].source].title),
                 QString("Census 1900"));
        VERIFY_TREE_CONSISTENT(*first, "Family");
    }

    // The edit window's row check says who changed the row and when, from the history, and
    // the history names the server's role on the server.
    void rowConflictSaysWhoAndWhen_data() { engines(); }
    void rowConflictSaysWhoAndWhen()
    {
        if (onServer())
            VT_REQUIRE_SERVER(*m_server);
        auto first = open();
        QVERIFY(first);
        auto second = open(true);
        QVERIFY(second);
        const PersonRecord read = *first->FindPerson("Family", "C1");
        PersonRecord theirs = read;
        theirs.Notes = "Baptised 1901";
        QVERIFY(second->UpdatePerson("Family", "C1", theirs, &read));
        ChangeLog::Entry entry;
        entry.tree = "Family";
        entry.record = ChangeLog::personRecord("C1");
        entry.command = "Edit Person Carl Holm";
        QVERIFY(ChangeLog::add(*second, entry));
        const Result<std::vector<ChangeLog::Entry>> history =
            ChangeLog::of(*first, "Family", ChangeLog::personRecord("C1"));
        QVERIFY(history && history->size() == 1);
        QCOMPARE(history->front().user,
                 onServer() ? QString(PgServer::kUser) : ChangeLog::userName());

        PersonRecord mine = read;
        mine.Notes = "Confirmed 1915";
        const Result<void> saved = first->UpdatePerson("Family", "C1", mine, &read);
        QVERIFY(saved.error().is(ErrorCode::ChangedElsewhere));
        QVERIFY2(saved.error().text().contains("by " + history->front().user + " on ") &&
                     saved.error().text().contains("Edit Person Carl Holm"),
                 qPrintable(saved.error().text()));
        QCOMPARE(first->FindPerson("Family", "C1")->Notes, QString("Baptised 1901"));

        // The history follows a renamed tree on either engine.
        QVERIFY(ChangeLog::renameTree(*first, "Family", "Kin"));
        QCOMPARE(ChangeLog::of(*second, "Kin", ChangeLog::personRecord("C1"))->size(), size_t(1));
        QVERIFY(ChangeLog::of(*second, "Family", ChangeLog::personRecord("C1"))->empty());
    }
};

QTEST_GUILESS_MAIN(TestEditConflicts)
#include "tst_editconflicts.moc"
