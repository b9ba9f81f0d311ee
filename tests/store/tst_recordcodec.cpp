// The stored form of the model's records: what is written reads back the same, bytes a damaged or
// hostile file holds are refused rather than read as values no reader expects, and a model read
// from a tree whose rows went behind the store's back stays small.
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "RecordCodec.h"
#include "mDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Genealogy;
using namespace Store::Side;

namespace {

// Anna (A) and Bert (B) with their child Carl (C), Anna's birth cited.
TreeModel sample()
{
    TreeModel m;
    m.persons.resize(3);
    m.persons.edit(0).sex = Sex::Female;
    m.persons.edit(1).sex = Sex::Intersex;
    Family family;
    family.partner[0] = 0;
    family.partner[1] = 1;
    family.relation = FamilyRelation::CivilUnion;
    const quint32 f = m.families.add(family);
    m.partnerships.add({0, f});
    m.partnerships.add({1, f});
    ChildLink link;
    link.family = f;
    link.child = 2;
    link.relation[0] = ChildRelation::Birth;
    link.relation[1] = ChildRelation::Other;
    link.phrase = m.text(QStringView(u"raised by"));
    m.childLinks.add(link);
    Event birth;
    birth.owner = Ref(Kind::Person, 0);
    birth.type = EventTypes::birth();
    birth.date = m.text(QStringView(u"(in the war)"));
    birth.dateKind = DateKind::Phrase;
    const quint32 b = m.events.add(birth);
    Source source;
    source.title = m.text(QStringView(u"Register"));
    const quint32 s = m.sources.add(source);
    Citation citation;
    citation.owner = Ref(Kind::Event, b);
    citation.source = s;
    m.citations.add(citation);
    Kept kept;
    kept.owner = Ref(Kind::Header, 0);
    kept.firstLine = 0;
    kept.lineCount = 1;
    m.kept.add(kept);
    KeptLine line;
    line.tag = m.keptTag("_ROOT");
    line.kind = KeptLine::Value::Pointer;
    line.target = Ref(Kind::Void, 0);
    m.keptLines.add(line);
    return m;
}

const std::vector<QByteArray> kKeys{"A", "B", "C"};

QHash<QByteArray, quint32> persons()
{
    return {{"A", 0}, {"B", 1}, {"C", 2}};
}

// Every record of the tables the sample fills, decoded into a new model with three persons.
bool decodeAll(const std::vector<std::pair<Tab, QByteArray>> &records, TreeModel &into)
{
    into.persons.resize(3);
    RecordDecoder decoder(into, persons());
    for (int t = 0; t < kTabCount; ++t) {
        qint64 count = 0;
        for (const auto &[tab, data] : records)
            count += tab == Tab(t) ? 1 : 0;
        decoder.setDense(Tab(t), count);
    }
    std::array<qint64, kTabCount> next{};
    for (const auto &[tab, data] : records) {
        if (!decoder.decode(tab, next[int(tab)]++, data))
            return false;
    }
    return decoder.brokenLinks() == 0;
}

std::vector<std::pair<Tab, QByteArray>> encodeAll(const TreeModel &m)
{
    const RecordEncoder encoder(m, kKeys);
    std::vector<std::pair<Tab, QByteArray>> out;
    const std::pair<Tab, quint32> tables[] = {
        {Tab::Person, m.persons.size()},       {Tab::Event, m.events.size()},
        {Tab::Family, m.families.size()},      {Tab::Partnership, m.partnerships.size()},
        {Tab::ChildLink, m.childLinks.size()}, {Tab::Source, m.sources.size()},
        {Tab::Citation, m.citations.size()},   {Tab::Kept, m.kept.size()},
        {Tab::KeptLine, m.keptLines.size()}};
    for (const auto &[tab, count] : tables) {
        for (quint32 i = 0; i < count; ++i)
            out.emplace_back(tab, encoder.encode(tab, i));
    }
    return out;
}

// The one record of `tab` among the encoded ones.
QByteArray &recordOf(std::vector<std::pair<Tab, QByteArray>> &records, Tab tab)
{
    for (auto &[t, data] : records) {
        if (t == tab)
            return data;
    }
    static QByteArray none;
    return none;
}

} // namespace

class TestRecordCodec : public QObject
{
    Q_OBJECT

private slots:
    void recordsReadBackAsWritten()
    {
        const auto written = encodeAll(sample());
        TreeModel read;
        QVERIFY(decodeAll(written, read));
        QCOMPARE(read.persons[1].sex, Sex::Intersex);
        QCOMPARE(read.childLinks[0].relation[1], ChildRelation::Other);
        QCOMPARE(read.families[0].relation, FamilyRelation::CivilUnion);
        QCOMPARE(read.keptLines[0].target, Ref(Kind::Void, 0));
        QVERIFY(encodeAll(read) == written);
    }

    // A byte past the last value of an enumeration, or a record named by a pointer to nothing
    // or the header under another index than 0: the record is damaged, not read.
    void valuesOutOfRangeAreNoRecord_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("value");
        // Person: the key (4 + 1 bytes), then the sex.
        QTest::newRow("sex") << int(Tab::Person) << 5 << 5;
        // Child link: the family (4), the child's key (4 + 1), the two relations.
        QTest::newRow("relation") << int(Tab::ChildLink) << 9 << 204;
        QTest::newRow("second relation") << int(Tab::ChildLink) << 10 << 6;
        // Family: two keys (5 each), the wife slots, then the relation.
        QTest::newRow("family relation") << int(Tab::Family) << 11 << 4;
        // Kept: the owner's kind (the header), then its index.
        QTest::newRow("header index") << int(Tab::Kept) << 1 << 7;
        // Kept line: level (4), the tag (4 + 5), the kind of value, the target's kind and index.
        QTest::newRow("kind of value") << int(Tab::KeptLine) << 13 << 3;
        QTest::newRow("pointer to nothing") << int(Tab::KeptLine) << 15 << 1;
    }
    void valuesOutOfRangeAreNoRecord()
    {
        QFETCH(int, tab);
        QFETCH(int, at);
        QFETCH(int, value);
        auto records = encodeAll(sample());
        QByteArray &data = recordOf(records, Tab(tab));
        QVERIFY(at < data.size());
        TreeModel intact;
        QVERIFY(decodeAll(records, intact));
        data[at] = char(value);
        TreeModel damaged;
        QVERIFY(!decodeAll(records, damaged));
    }

    // A large model is written many records a statement: every record, of every table, comes
    // back in its place, those that fill no whole statement at the end too.
    void manyRecordsReadBackInOrder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        mDatabase store;
        store.BuildConnectionString(dir.path() + '/');
        QVERIFY(store.OpenDatabase());
        std::vector<PersonRow> rows(3);
        rows[0].ID = "A";
        rows[1].ID = "B";
        rows[2].ID = "C";
        rows[2].PrntKey = "A";
        TreeModel model = sample();
        for (int e = 0; e < 75; ++e) {
            Event event;
            event.owner = Ref(Kind::Person, quint32(e % 3));
            event.type = EventTypes::find("OCCU", false);
            event.value = model.text(QString::number(e));
            model.events.add(event);
        }
        NewTreeWriter writer(store);
        QVERIFY(writer.Begin("Family"));
        for (const PersonRow &r : rows)
            QVERIFY(writer.Add(r));
        QVERIFY(ModelStore::writeModelInTransaction(store, "Family", rows, model).ok());
        QVERIFY(writer.Commit());
        const Result<ModelSlice> read = ModelStore::readTree(store, "Family");
        QVERIFY(read.ok());
        QVERIFY(encodeAll(read->model) == encodeAll(model));
        QCOMPARE(read->model.string(read->model.events[75].value), QString("74"));
    }

    // A row deleted by a program that knows nothing of the records leaves the family's child
    // link naming nobody: the tree still reads, and looking up the children of persons does not
    // make room for every index a person could have.
    void aChildLinkNamingNobody()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        mDatabase store;
        store.BuildConnectionString(dir.path() + '/');
        QVERIFY(store.OpenDatabase());
        std::vector<PersonRow> rows(3);
        rows[0].ID = "A";
        rows[1].ID = "B";
        rows[2].ID = "C";
        rows[2].PrntKey = "A";
        NewTreeWriter writer(store);
        QVERIFY(writer.Begin("Family"));
        for (const PersonRow &r : rows)
            QVERIFY(writer.Add(r));
        QVERIFY(ModelStore::writeModelInTransaction(store, "Family", rows, sample()).ok());
        QVERIFY(writer.Commit());
        {
            QSqlQuery query(QSqlDatabase::database(store.ConnectionName(), false));
            QVERIFY(query.exec(QStringLiteral("DELETE FROM \"%1\" WHERE ID = 'C'")
                                   .arg(store.StoredTreeName("Family"))));
        }
        const Result<ModelSlice> read = ModelStore::readTree(store, "Family");
        QVERIFY(read.ok());
        const TreeModel &m = read->model;
        QCOMPARE(m.childLinks.size(), 1u);
        QCOMPARE(m.childLinks[0].child, kNoIndex);
        QVERIFY(m.parentLinksOf(0).empty());
        QCOMPARE(m.childLinksOf(0).size(), size_t(1));
        QVERIFY2(m.bytes() < 64 * 1024 * 1024, qPrintable(QString::number(m.bytes())));
    }
};

QTEST_GUILESS_MAIN(TestRecordCodec)
#include "tst_recordcodec.moc"
