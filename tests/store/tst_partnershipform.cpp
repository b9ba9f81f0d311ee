// Partnerships that say no more than the families are left to the families: the records that
// are written, the partnerships read back (whole tree, around a person, after edits and the
// store's rules), and files written before, where every partnership is a record.
#include "FreshStores.h"
#include "ModelEdit.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "RecordStorage.h"
#include "SideDb.h"
#include "SideSchema.h"
#include "TestRows.h"
#include "TreeCheck.h"
#include "TreeConsistency.h"
#include "mDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Genealogy;
using namespace Store::Side;

namespace {

// Anna (A1) married Bert (B1) first, their son Carl (C1); she names her later husband Dag (D1)
// first (her partnerships in the file's order), so hers say more than the families. Eva (E1) is
// in no family.
ModelSlice twoMarriages()
{
    ModelSlice s;
    s.rows = {row("A1", "ROOT", "Anna", "Berg", "Dag", "Dahl"),
              row("B1", "", "Bert", "Holm", "Anna", "Berg"), row("C1", "A1", "Carl", "Holm"),
              row("D1", "", "Dag", "Dahl", "Anna", "Berg"), row("E1", "", "Eva", "Ek")};
    TreeModel &m = s.model;
    m.persons.resize(5);
    m.persons.edit(0).sex = Sex::Female;
    m.persons.edit(1).sex = Sex::Male;
    m.persons.edit(3).sex = Sex::Male;
    m.persons.edit(4).sex = Sex::Female;
    Family first;
    first.partner[0] = 1;
    first.partner[1] = 0;
    first.wifeSlots = 2;
    const quint32 f0 = m.families.add(first);
    Family second;
    second.partner[0] = 3;
    second.partner[1] = 0;
    second.wifeSlots = 2;
    const quint32 f1 = m.families.add(second);
    m.partnerships.add({1, f0});
    m.partnerships.add({0, f1});
    m.partnerships.add({0, f0});
    m.partnerships.add({3, f1});
    ChildLink carl;
    carl.family = f0;
    carl.child = 2;
    carl.relation[0] = carl.relation[1] = ChildRelation::Birth;
    m.childLinks.add(carl);
    Event marriage;
    marriage.owner = Ref(Kind::Family, f1);
    marriage.type = EventTypes::find("MARR", true);
    marriage.date = m.text(QStringView(u"1930"));
    m.events.add(marriage);
    return s;
}

// The families of person `p` as a partner, in its order.
std::vector<quint32> familiesOf(const TreeModel &m, quint32 p)
{
    std::vector<quint32> out;
    for (const quint32 i : m.partnershipsOf(p))
        out.push_back(m.partnerships[i].family);
    return out;
}

using Families = std::vector<quint32>;

} // namespace

class TestPartnershipForm : public QObject
{
    Q_OBJECT

private:
    FreshStores m_stores;

    std::unique_ptr<mDatabase> openFresh() { return m_stores.open(); }

    std::unique_ptr<mDatabase> withTree(const ModelSlice &s)
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

    // The tree's records as the first version of the schema stored them: every record of every
    // table under its index in the model, every partnership among them; the indexes with the
    // tree first.
    static bool storeAsFirstVersion(mDatabase &store, const ModelSlice &s)
    {
        QSqlDatabase db = QSqlDatabase::database(store.ConnectionName(), false);
        QSqlQuery query(db);
        if (!db.transaction() || !query.exec("DELETE FROM mainRecords") ||
            !query.exec("UPDATE mainTrees SET version = 1") ||
            !query.exec("PRAGMA user_version = 1"))
            return false;
        const char *const indexes[][2] = {{"mainRecordsPerson", "person"},
                                          {"mainRecordsFamily", "family"},
                                          {"mainRecordsOwner", "ownerTab, ownerIdx"},
                                          {"mainRecordsRef1", "ref1"},
                                          {"mainRecordsRef2", "ref2"}};
        for (const auto &[name, columns] : indexes) {
            const QString last = QString(columns).split(", ").last();
            if (!query.exec(QStringLiteral("DROP INDEX %1").arg(name)) ||
                !query.exec(QStringLiteral("CREATE INDEX %1 ON mainRecords (tree, %2) WHERE %3 IS "
                                           "NOT NULL")
                                .arg(name, columns, last)))
                return false;
        }
        if (!query.exec("SELECT id FROM mainTrees WHERE name = 'Family'") || !query.next())
            return false;
        const qint64 tree = query.value(0).toLongLong();
        std::vector<QByteArray> keys;
        for (const PersonRow &r : s.rows)
            keys.push_back(r.ID.toUtf8());
        const RecordEncoder encoder(s.model, keys);
        const RecordPlacement placement(s.model);
        const auto key = [&](quint32 p) {
            return p < keys.size() ? QVariant(QString::fromUtf8(keys[p])) : QVariant();
        };
        const auto number = [](quint32 n) { return n == kNoIndex ? QVariant() : QVariant(n); };
        QSqlQuery insert(db);
        insert.prepare("INSERT INTO mainRecords (tree, tab, idx, person, family, ownerTab, "
                       "ownerIdx, ref1, ref2, data) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (int t = 0; t < kTabCount; ++t) {
            const Tab tab = Tab(t);
            for (quint32 i = 0; i < tableSize(s.model, tab); ++i) {
                if (!isStored(s.model, tab, i))
                    continue;
                const Placement p = tab == Tab::Tree ? Placement() : placement.of(tab, i);
                const bool owner = needsOwner(p);
                const QVariantList values{tree,
                                          t,
                                          i,
                                          key(p.person),
                                          number(p.family),
                                          owner ? QVariant(int(p.ownerTab)) : QVariant(),
                                          owner ? number(p.ownerIndex) : QVariant(),
                                          key(p.ref1),
                                          key(p.ref2),
                                          encoder.encode(tab, i)};
                for (int v = 0; v < values.size(); ++v)
                    insert.bindValue(v, values[v]);
                if (!insert.exec())
                    return false;
            }
        }
        return db.commit();
    }

    static qint64 scalar(const mDatabase &store, const QString &sql)
    {
        QSqlQuery query(QSqlDatabase::database(store.ConnectionName(), false));
        if (!query.exec(sql) || !query.next())
            return -1;
        return query.value(0).toLongLong();
    }
    static qint64 partnershipRecords(const mDatabase &store)
    {
        return scalar(store, QStringLiteral("SELECT count(*) FROM mainRecords WHERE tab = %1")
                                 .arg(int(Tab::Partnership)));
    }

    // What every reader must see of the sample, however it is stored.
    static void verifySample(const mDatabase &store)
    {
        const Result<ModelSlice> read = ModelStore::readTree(store, "Family");
        QVERIFY2(read.ok(), qPrintable(read.error().text()));
        const TreeModel &m = read->model;
        QCOMPARE(familiesOf(m, 0), Families({1, 0}));
        QCOMPARE(familiesOf(m, 1), Families({0}));
        QCOMPARE(familiesOf(m, 3), Families({1}));
        QCOMPARE(familiesOf(m, 4), Families());
        QCOMPARE(m.persons[0].sex, Sex::Female);
        QCOMPARE(m.persons[3].sex, Sex::Male);
        QCOMPARE(m.persons[4].sex, Sex::Female);
        QVERIFY(checkTree(read->rows, m).isEmpty());
        // Around Bert: his family, its partners, Anna's sex.
        const Result<ModelSlice> bert = ModelStore::sliceOf(store, "Family", "B1");
        QVERIFY(bert.ok());
        QCOMPARE(bert->model.families.size(), 1u);
        QCOMPARE(familiesOf(bert->model, 0), Families({0}));
        const quint32 anna = ModelEdit::rowIndex(*bert, "A1");
        QVERIFY(anna != kNoIndex);
        QCOMPARE(bert->model.persons[anna].sex, Sex::Female);
        // Around Anna: both families in her order.
        const Result<ModelSlice> around = ModelStore::sliceOf(store, "Family", "A1");
        QVERIFY(around.ok());
        QCOMPARE(around->model.families.size(), 2u);
        const std::vector<quint32> hers = familiesOf(around->model, 0);
        QCOMPARE(hers.size(), size_t(2));
        const Family &firstOfHers = around->model.families[hers[0]];
        QCOMPARE(around->rows[firstOfHers.partner[0]].ID, QString("D1"));
        VERIFY_TREE_CONSISTENT(store, "Family");
    }

private slots:
    void initTestCase() { QVERIFY(m_stores.isValid()); }

    void derivablePartnershipsAreNotStored()
    {
        ModelSlice s = twoMarriages();
        std::vector<bool> stored = storedPartnerships(s.model);
        QCOMPARE(stored, std::vector<bool>({false, true, true, false}));
        QCOMPARE(partnershipNumbers(stored), std::vector<quint32>({kNoIndex, 0, 1, kNoIndex}));
        // A partnership a family does not name, or one missing, keeps the person's records.
        s.model.partnerships.add({4, 0});
        stored = storedPartnerships(s.model);
        QVERIFY(stored[4]);
        s.model.partnerships.removeLast();
        s.model.partnerships.removeLast();
        QCOMPARE(storedPartnerships(s.model), std::vector<bool>({false, true, true}));
        // Derived again: after the others, in the families' order.
        TreeModel m = twoMarriages().model;
        m.partnerships.clear();
        m.partnerships.add({0, 1});
        derivePartnerships(m);
        QCOMPARE(familiesOf(m, 0), Families({1}));
        QCOMPARE(familiesOf(m, 1), Families({0}));
        QCOMPARE(familiesOf(m, 3), Families({1}));
    }

    void writtenTreeReadsBack()
    {
        auto store = withTree(twoMarriages());
        QVERIFY(store);
        QCOMPARE(partnershipRecords(*store), 2); // Anna's
        QCOMPARE(scalar(*store, "PRAGMA user_version"), kSchemaVersion);
        QCOMPARE(scalar(*store, "SELECT version FROM mainTrees"), kSchemaVersion);
        verifySample(*store);
    }

    // A file written before partnerships were left out: read, edited, changed by the store's
    // rules, it stays right; its first change gives it the new version.
    void firstVersionFilesReadAndEdit()
    {
        const ModelSlice s = twoMarriages();
        auto store = withTree(s);
        QVERIFY(store);
        QVERIFY(storeAsFirstVersion(*store, s));
        QCOMPARE(partnershipRecords(*store), 4);
        QCOMPARE(scalar(*store, "PRAGMA user_version"), 1);
        QCOMPARE(scalar(*store, "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND sql "
                                "LIKE '%mainRecords (tree, %'"),
                 5);
        verifySample(*store);

        // Bert marries Eva: his partnerships are records, so the new one is as well.
        Result<ModelEdit::PersonEdit> read = ModelEdit::readForEdit(*store, "Family", "B1");
        QVERIFY(read.ok());
        ModelSlice edited = read->tree;
        Family third;
        third.partner[0] = 1;
        third.partner[1] = 4;
        const quint32 f2 = edited.model.families.add(third);
        edited.model.partnerships.add({1, f2});
        edited.model.partnerships.add({4, f2});
        edited.rows[4].PrtFname = "Bert";
        edited.rows[4].PrtSname = "Holm";
        const Result<void> applied = ModelEdit::applyEdit(*store, "Family", *read, edited);
        QVERIFY2(applied.ok(), qPrintable(applied.error().text()));
        QCOMPARE(partnershipRecords(*store), 5); // Bert's new one; Eva's comes from the family
        QCOMPARE(scalar(*store, "PRAGMA user_version"), kSchemaVersion);
        {
            const Result<ModelSlice> now = ModelStore::readTree(*store, "Family");
            QVERIFY(now.ok());
            QCOMPARE(familiesOf(now->model, 1), Families({0, 2}));
            QCOMPARE(familiesOf(now->model, 4), Families({2}));
            QCOMPARE(familiesOf(now->model, 0), Families({1, 0}));
        }
        VERIFY_TREE_CONSISTENT(*store, "Family");

        // Dag's row names no partner: Anna leaves his family, her first family is Bert's now.
        PersonRecord dag = *store->FindPerson("Family", "D1");
        dag.PrtFname.clear();
        dag.PrtSname.clear();
        QVERIFY(store->UpdatePerson("Family", "D1", dag));
        QCOMPARE(store->FindPerson("Family", "A1")->PrtFname, QString("Bert"));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        // Bert deleted: Eva and Anna keep their families without him.
        QVERIFY(store->DeletePerson("Family", "B1"));
        VERIFY_TREE_CONSISTENT(*store, "Family");
        const Result<ModelSlice> after = ModelStore::readTree(*store, "Family");
        QVERIFY(after.ok());
        const quint32 eva = ModelEdit::rowIndex(*after, "E1");
        QCOMPARE(familiesOf(after->model, eva).size(), size_t(1));
        QCOMPARE(after->model.persons[eva].sex, Sex::Female);
    }

    // Edits of a tree written now: a partnership the families say stays unstored; one that
    // says more makes the person's partnerships records.
    void editsKeepOrMakePartnershipRecords()
    {
        auto store = withTree(twoMarriages());
        QVERIFY(store);
        Result<ModelEdit::PersonEdit> read = ModelEdit::readForEdit(*store, "Family", "E1");
        QVERIFY(read.ok());
        ModelSlice edited = read->tree;
        Family third;
        third.partner[0] = 1;
        third.partner[1] = 4;
        const quint32 f2 = edited.model.families.add(third);
        edited.model.partnerships.add({1, f2});
        edited.model.partnerships.add({4, f2});
        edited.rows[4].PrtFname = "Bert";
        edited.rows[4].PrtSname = "Holm";
        Result<void> applied = ModelEdit::applyEdit(*store, "Family", *read, edited);
        QVERIFY2(applied.ok(), qPrintable(applied.error().text()));
        QCOMPARE(partnershipRecords(*store), 2);
        VERIFY_TREE_CONSISTENT(*store, "Family");

        // Bert puts his marriage to Eva first: his order is no longer the families'.
        read = ModelEdit::readForEdit(*store, "Family", "B1");
        QVERIFY(read.ok());
        edited = read->tree;
        const std::span<const quint32> his = edited.model.partnershipsOf(1);
        QCOMPARE(his.size(), size_t(2));
        const quint32 a = his[0], b = his[1];
        std::swap(edited.model.partnerships.edit(a).family,
                  edited.model.partnerships.edit(b).family);
        edited.rows[1].PrtFname = "Eva";
        edited.rows[1].PrtSname = "Ek";
        applied = ModelEdit::applyEdit(*store, "Family", *read, edited);
        QVERIFY2(applied.ok(), qPrintable(applied.error().text()));
        QCOMPARE(partnershipRecords(*store), 4);
        const Result<ModelSlice> now = ModelStore::readTree(*store, "Family");
        QVERIFY(now.ok());
        QCOMPARE(familiesOf(now->model, 1), Families({2, 0}));
        QCOMPARE(familiesOf(now->model, 4), Families({2}));
        QCOMPARE(familiesOf(now->model, 0), Families({1, 0}));
        VERIFY_TREE_CONSISTENT(*store, "Family");
    }
};

QTEST_GUILESS_MAIN(TestPartnershipForm)
#include "tst_partnershipform.moc"
