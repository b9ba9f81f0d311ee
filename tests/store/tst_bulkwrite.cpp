// Writing a large model: a file holding few records gets its indexes made after the records, a
// file holding many keeps them as they are; either way every reader finds what was written, and
// a write rolled back leaves the tables and indexes as they were.
#include "CoupleRecords.h"
#include "FreshStores.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "TreeConsistency.h"
#include "mDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Genealogy;

namespace {

// Couples (3i, 3i+1), each with a child 3i+2 of the first partner's line and a marriage; every
// person with a sex and a birth: about eight records per couple and child.
using Large = CoupleTree;

Large large(int families)
{
    Large s;
    TreeModel &m = s.model;
    m.persons.resize(quint32(families) * 3);
    for (int i = 0; i < families; ++i) {
        const Couple c = addCouple(s, i, Sex::Male);
        for (quint32 p : {c.first, c.second, c.child}) {
            Event birth;
            birth.owner = Ref(Kind::Person, p);
            birth.type = EventTypes::find("CHR", false);
            birth.place = m.place(QStringLiteral("Town %1").arg(i % 50).toUtf8());
            m.events.add(birth);
        }
    }
    return s;
}

} // namespace

class TestBulkWrite : public QObject
{
    Q_OBJECT

private:
    FreshStores m_stores;

    std::unique_ptr<mDatabase> openFresh() { return m_stores.open(); }

    // Writes the tree as an import does; committed or rolled back.
    static bool write(mDatabase &store, const QString &tree, const Large &s, bool commit = true)
    {
        NewTreeWriter writer(store);
        if (!writer.Begin(tree))
            return false;
        for (const PersonRow &r : s.rows) {
            if (!writer.Add(r))
                return false;
        }
        if (!ModelStore::writeModelInTransaction(store, tree, s.rows, s.model))
            return false;
        if (!commit) {
            writer.Rollback();
            return true;
        }
        return bool(writer.Commit());
    }

    static qint64 scalar(const mDatabase &store, const QString &sql)
    {
        QSqlQuery query(QSqlDatabase::database(store.ConnectionName(), false));
        if (!query.exec(sql) || !query.next())
            return -1;
        return query.value(0).toLongLong();
    }

    static qint64 indexCount(const mDatabase &store)
    {
        return scalar(store, "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND "
                             "tbl_name = 'mainRecords' AND name LIKE 'mainRecords%'");
    }

    // What the readers of one tree see: its families, the part around a child, the whole tree.
    static void verifyReadable(const mDatabase &store, const QString &tree, int families,
                               int deletedChildren = 0)
    {
        const Result<std::vector<FamilyKeys>> all = ModelStore::familiesOf(store, tree);
        QVERIFY2(all.ok(), qPrintable(all.error().text()));
        QCOMPARE(all->size(), size_t(families));
        QCOMPARE(all->back().partner[1], QStringLiteral("B%1").arg(families - 1));
        const QString child = QStringLiteral("C%1").arg(families / 2);
        const Result<ModelSlice> slice = ModelStore::sliceOf(store, tree, child);
        QVERIFY2(slice.ok(), qPrintable(slice.error().text()));
        QCOMPARE(slice->rows.size(), size_t(3));
        QCOMPARE(slice->model.parentLinksOf(0).size(), size_t(1));
        QCOMPARE(slice->model.events.size(), 2u); // the child's own and the marriage
        const Result<ModelSlice> whole = ModelStore::readTree(store, tree);
        QVERIFY2(whole.ok(), qPrintable(whole.error().text()));
        QCOMPARE(whole->model.events.size(), quint32(families * 4 - deletedChildren));
        QCOMPARE(whole->model.places.size(), quint32(qMin(families, 50)));
        VERIFY_TREE_CONSISTENT(store, tree);
    }

private slots:
    void initTestCase() { QVERIFY(m_stores.isValid()); }

    void largeTreesIntoEmptyAndFullFiles()
    {
        constexpr int kFamilies = 3000; // about 24,000 records
        const Large s = large(kFamilies);
        auto store = openFresh();
        QVERIFY(store);
        QVERIFY(write(*store, "First", s));
        QCOMPARE(indexCount(*store), 5);
        verifyReadable(*store, "First", kFamilies);

        // Into a file that holds as many already: written with the indexes in place.
        QVERIFY(write(*store, "Second", s));
        QCOMPARE(indexCount(*store), 5);
        verifyReadable(*store, "Second", kFamilies);
        verifyReadable(*store, "First", kFamilies);

        // Deleting a person and a tree finds their records through the indexes.
        QVERIFY(store->DeletePerson("Second", "C7"));
        QCOMPARE(ModelStore::sliceOf(*store, "Second", "A7")->model.childLinks.size(), 0u);
        VERIFY_TREE_CONSISTENT(*store, "Second");
        QVERIFY(store->DeleteTree("First"));
        QCOMPARE(scalar(*store, "SELECT count(*) FROM mainRecords WHERE tree NOT IN (SELECT id "
                                "FROM mainTrees WHERE name = 'Second')"),
                 0);
        verifyReadable(*store, "Second", kFamilies, 1);
    }

    // Rolled back after the records were written without the indexes: nothing of the tree is
    // left and the indexes are back.
    // The texts of every column come back as written, row after row of other lengths: other
    // scripts, four-byte characters, empty texts (stored as '', never NULL), a long note, and a
    // lone surrogate as UTF-8 has it.
    void rowTextsComeBackAsWritten()
    {
        auto store = openFresh();
        QVERIFY(store);
        const QString texts[] = {QString(),
                                 QStringLiteral("Åsa Öberg"),
                                 QStringLiteral("Ψ \U0001F333 木"),
                                 QString(5000, QLatin1Char('n')),
                                 QString(QChar(0xD800)) + QStringLiteral("x"),
                                 QStringLiteral("a")};
        std::vector<PersonRecord> rows;
        for (int r = 0; r < 12; ++r) {
            PersonRecord row;
            for (int c = 0; c < kPersonColumnCount; ++c)
                ColumnText(row, c) = texts[(r + c) % std::size(texts)];
            row.ID = QStringLiteral("K%1").arg(r);
            rows.push_back(row);
        }
        NewTreeWriter writer(*store);
        QVERIFY(writer.Begin("Texts"));
        for (const PersonRecord &row : rows)
            QVERIFY(writer.Add(row));
        QVERIFY(writer.Commit());
        for (const PersonRecord &row : rows) {
            const Result<PersonRecord> back = store->FindPerson("Texts", row.ID);
            QVERIFY(back.ok());
            for (int c = 0; c < kPersonColumnCount; ++c)
                QCOMPARE(ColumnText(*back, c), QString::fromUtf8(ColumnText(row, c).toUtf8()));
        }
        QCOMPARE(scalar(*store, "SELECT count(*) FROM Texts WHERE Notes IS NULL OR Fname IS NULL"),
                 0);
    }

    void aRolledBackWriteLeavesTheIndexes()
    {
        const Large s = large(3000);
        auto store = openFresh();
        QVERIFY(store);
        QVERIFY(store->CreateTree("Other")); // makes the tables
        QCOMPARE(indexCount(*store), 5);
        QVERIFY(write(*store, "Gone", s, false));
        QVERIFY(!store->TreeExists("Gone"));
        QCOMPARE(indexCount(*store), 5);
        QCOMPARE(scalar(*store, "SELECT count(*) FROM mainRecords"), 0);
        QVERIFY(write(*store, "Kept", s));
        verifyReadable(*store, "Kept", 3000);
    }

    // A statement still reading the records keeps the indexes from being dropped: the write
    // goes on with them in place.
    void aReaderOpenDuringTheWrite()
    {
        auto store = openFresh();
        QVERIFY(store);
        QVERIFY(write(*store, "Small", large(20)));
        QSqlQuery reader(QSqlDatabase::database(store->ConnectionName(), false));
        reader.setForwardOnly(true);
        QVERIFY(reader.exec("SELECT tree FROM mainRecords"));
        QVERIFY(reader.next());
        QVERIFY(write(*store, "Large", large(3000)));
        reader.finish();
        QCOMPARE(indexCount(*store), 5);
        verifyReadable(*store, "Large", 3000);
        verifyReadable(*store, "Small", 20);
    }
};

QTEST_GUILESS_MAIN(TestBulkWrite)
#include "tst_bulkwrite.moc"
