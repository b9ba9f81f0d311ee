// The model of a file kept in the store: written beside the rows of a new tree and read back, it
// writes the very same GEDCOM file as the model made from the file; the tree check is clean; the
// slice around each person holds that person's records; the families by keys are the model's.
#include "AllTagsFile.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "TreeCheck.h"
#include "mDatabase.h"
#include "support_gedcom.h"
#include "support_model.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Genealogy;

class TestStoredModel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_folders = 0;

    // A store with the mapped file as the tree "T".
    std::unique_ptr<mDatabase> stored(const Gedcom::MappedTree &tree)
    {
        auto store = std::make_unique<mDatabase>();
        store->BuildConnectionString(m_dir.filePath(QString::number(++m_folders)) + '/');
        if (!store->OpenDatabase())
            return nullptr;
        NewTreeWriter writer(*store);
        if (!writer.Begin("T"))
            return nullptr;
        const std::vector<PersonRow> rows = TestModel::personRows(TestModel::rows(tree));
        for (const PersonRow &row : rows) {
            if (!writer.Add(row))
                return nullptr;
        }
        if (const Result<void> written =
                ModelStore::writeModelInTransaction(*store, "T", rows, tree.model);
            !written) {
            qWarning() << written.error().text();
            return nullptr;
        }
        if (!writer.Commit())
            return nullptr;
        return store;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void sameFileAfterTheStore_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("every tag 5.5.1") << GedcomFacts::allTagsFile(false);
        QTest::newRow("every tag 7.0") << GedcomFacts::allTagsFile(true);
        for (const char *name : {"royal92.ged", "pres2020.ged", "utf8-bom.ged", "utf16le.ged"}) {
            QFile file(TestGedcom::samplePath(name));
            if (file.open(QIODevice::ReadOnly))
                QTest::newRow(name) << file.readAll();
        }
        // The 7.0 test files (those that hold persons).
        const QDir seven(QStringLiteral(VT_GEDCOM_SAMPLES "/gedcom70"));
        for (const QFileInfo &info : seven.entryInfoList({QStringLiteral("*.ged")}, QDir::Files)) {
            QFile file(info.filePath());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QByteArray bytes = file.readAll();
            if (bytes.contains(" INDI"))
                QTest::newRow(qPrintable(info.fileName())) << bytes;
        }
    }

    void sameFileAfterTheStore()
    {
        QFETCH(QByteArray, bytes);
        const Gedcom::MappedTree mapped = TestModel::map(bytes);
        QVERIFY(mapped.isValid());
        QVERIFY(TestModel::check(mapped).isEmpty());
        auto store = stored(mapped);
        QVERIFY(store);

        const Result<ModelSlice> read = ModelStore::readTree(*store, "T");
        QVERIFY2(read.ok(), qPrintable(read.error().text()));
        Gedcom::MappedTree back;
        back.rows = mapped.rows;
        back.model = read->model;
        QCOMPARE(QList<PersonRecord>(read->rows.cbegin(), read->rows.cend()),
                 TestModel::rows(mapped));
        for (Gedcom::Version version : {Gedcom::Version::Gedcom551, Gedcom::Version::Gedcom70})
            QVERIFY(TestModel::write(back, version) == TestModel::write(mapped, version));
        const Result<QStringList> lines = ModelStore::checkTree(*store, "T");
        QVERIFY(lines.ok());
        QVERIFY2(lines->isEmpty(), qPrintable(lines->mid(0, 5).join('\n')));

        // The families by keys are the model's, numbered alike.
        const Result<std::vector<FamilyKeys>> families = ModelStore::familiesOf(*store, "T");
        QVERIFY(families.ok());
        const std::vector<PersonRow> rows = TestModel::personRows(TestModel::rows(mapped));
        const std::vector<FamilyKeys> expected = familyKeysOf(mapped.model, rows);
        QCOMPARE(families->size(), expected.size());
        for (size_t f = 0; f < expected.size(); ++f) {
            const FamilyKeys &a = (*families)[f], &b = expected[f];
            QCOMPARE(a.id, b.id);
            QCOMPARE(a.partner[0], b.partner[0]);
            QCOMPARE(a.partner[1], b.partner[1]);
            QCOMPARE(a.relation, b.relation);
            QCOMPARE(a.children.size(), b.children.size());
            for (size_t c = 0; c < b.children.size(); ++c) {
                QCOMPARE(a.children[c].key, b.children[c].key);
                QCOMPARE(a.children[c].relation[0], b.children[c].relation[0]);
                QCOMPARE(a.children[c].relation[1], b.children[c].relation[1]);
            }
        }

        // Around each of the first persons: the person's events, citations and families.
        const TreeModel &m = mapped.model;
        for (quint32 p = 0; p < qMin<quint32>(m.personCount(), 40); ++p) {
            const Result<ModelSlice> slice = ModelStore::sliceOf(*store, "T", rows[p].ID);
            QVERIFY2(slice.ok(), qPrintable(slice.error().text()));
            QCOMPARE(slice->rows[0].ID, rows[p].ID);
            const TreeModel &s = slice->model;
            QCOMPARE(s.persons[0].sex, m.persons[p].sex);
            QCOMPARE(s.eventsOf(Ref(Kind::Person, 0)).size(),
                     m.eventsOf(Ref(Kind::Person, p)).size());
            QCOMPARE(s.citationsOf(Ref(Kind::Person, 0)).size(),
                     m.citationsOf(Ref(Kind::Person, p)).size());
            QCOMPARE(s.namesOf(0).size(), m.namesOf(p).size());
            QCOMPARE(s.partnershipsOf(0).size(), m.partnershipsOf(p).size());
            QCOMPARE(s.parentLinksOf(0).size(), m.parentLinksOf(p).size());
            // Every citation's source came along.
            for (const Citation &c : s.citations.all()) {
                if (c.source != kNoIndex)
                    QVERIFY(c.source < s.sources.size());
            }
            // ... and every event's place.
            for (const Event &e : s.events.all()) {
                if (e.place != kNoIndex)
                    QVERIFY(e.place < s.places.size());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestStoredModel)
#include "tst_storedmodel.moc"
