// The generated file that holds every tag the genealogical model knows: the same bytes every
// time, well-formed in both versions (read by the program's reader without a complaint), every
// tag present with every substructure, and every kind of fact there to be compared.
#include "AllTagsFile.h"
#include "FactCompare.h"
#include "GedcomTree.h"
#include "Import.h"

#include <QTest>

using namespace GedcomFacts;

class TestAllTags : public QObject
{
    Q_OBJECT

private slots:
    void sameBytesEveryTime();
    void readsCleanly_data();
    void readsCleanly();
    void holdsEveryTag_data();
    void holdsEveryTag();
    void everyEventHasEverySubstructure_data();
    void everyEventHasEverySubstructure();
    void everyCategoryHasFacts_data();
    void everyCategoryHasFacts();
};

namespace {

GedcomTree readTree(bool version7)
{
    GedcomTree tree;
    QString error;
    if (!tree.loadBytes(allTagsFile(version7), &error))
        qFatal("the generated file does not read: %s", qPrintable(error));
    return tree;
}

// Every node with the tag whose parent has the parent tag (any parent when empty).
QList<int> nodes(const GedcomTree &tree, const QByteArray &tag, const QByteArray &parent = {})
{
    QList<int> found;
    for (int i = 0; i < tree.nodeCount(); ++i) {
        const GedcomTree::Node &n = tree.node(i);
        if (n.tag == tag &&
            (parent.isEmpty() || (n.parent >= 0 && tree.node(n.parent).tag == parent)))
            found.append(i);
    }
    return found;
}

QStringList values(const GedcomTree &tree, const QByteArray &tag, const QByteArray &parent = {})
{
    QStringList result;
    for (const int i : nodes(tree, tag, parent))
        result.append(tree.node(i).value);
    return result;
}

const QList<QByteArray> kPersonEvents{
    "BIRT", "CHR",  "BAPM", "BARM", "BASM", "BLES", "CHRA", "CONF", "FCOM", "ORDN",
    "NATU", "EMIG", "IMMI", "CENS", "PROB", "WILL", "GRAD", "RETI", "DEAT", "BURI",
    "CREM", "ADOP", "EVEN", "CAST", "DSCR", "EDUC", "IDNO", "NATI", "NCHI", "NMR",
    "OCCU", "PROP", "RELI", "RESI", "SSN",  "TITL", "FACT"};
const QList<QByteArray> kFamilyEvents{"MARR", "DIV",  "ENGA", "MARB", "MARC", "MARL",
                                      "MARS", "ANUL", "DIVF", "CENS", "EVEN", "RESI"};

} // namespace

void TestAllTags::sameBytesEveryTime()
{
    QCOMPARE(allTagsFile(false), allTagsFile(false));
    QCOMPARE(allTagsFile(true), allTagsFile(true));
    QVERIFY(allTagsFile(false) != allTagsFile(true));
}

void TestAllTags::readsCleanly_data()
{
    QTest::addColumn<bool>("version7");
    QTest::newRow("5.5.1") << false;
    QTest::newRow("7.0") << true;
}

void TestAllTags::readsCleanly()
{
    QFETCH(bool, version7);
    const QByteArray bytes = allTagsFile(version7);
    const Gedcom::Document doc = Gedcom::Document::fromBytes(bytes);
    QVERIFY2(doc.isValid(), qPrintable(doc.error().text()));
    QCOMPARE(doc.isVersion7(), version7);
    const Gedcom::ReadStats &stats = doc.stats();
    QCOMPARE(stats.malformedLines, 0);
    QCOMPARE(stats.levelJumps, 0);
    QCOMPARE(stats.strayContinuations, 0);
    QCOMPARE(stats.duplicateXrefs, 0);
    QVERIFY(!stats.trailerMissing);
    for (const auto &[tag, count] : stats.unknownTags)
        QVERIFY2(tag.startsWith('_'), tag.constData()); // only extension tags are unknown
    QVERIFY(!stats.unknownTags.isEmpty());

    // Every pointer names a record.
    const GedcomTree tree = readTree(version7);
    for (int i = 0; i < tree.nodeCount(); ++i) {
        const QByteArray &pointer = tree.node(i).pointer;
        QVERIFY2(pointer.isEmpty() || tree.record(pointer) >= 0, pointer.constData());
    }
    // 5.5.1 lines stay short (long values go on CONC lines) and double every @; 7.0 has no CONC.
    const QList<QByteArray> lines = bytes.split('\n');
    const bool conc = std::any_of(lines.cbegin(), lines.cend(),
                                  [](const QByteArray &l) { return l.contains(" CONC "); });
    QCOMPARE(conc, !version7);
    if (!version7) {
        for (const QByteArray &line : lines)
            QVERIFY2(line.size() <= 255, line.constData());
        QVERIFY(bytes.contains("someone@@example.org"));
    }
    QVERIFY(tree.record("@N1@") >= 0 &&
            tree.node(tree.record("@N1@")).value.contains(QStringLiteral("clerk@example.org")));

    // The program's own import accounts for every person.
    const Gedcom::ImportPlan plan = Gedcom::planImport(doc, {});
    QVERIFY2(plan.isValid(), qPrintable(plan.error.text()));
    QCOMPARE(plan.counts.persons, 16);
    QCOMPARE(plan.counts.families, 7);
    QCOMPARE(plan.counts.brokenPointers, 0);
}

void TestAllTags::holdsEveryTag_data()
{
    readsCleanly_data();
}

void TestAllTags::holdsEveryTag()
{
    QFETCH(bool, version7);
    const GedcomTree tree = readTree(version7);
    for (const QByteArray &tag : kPersonEvents)
        QVERIFY2(!nodes(tree, tag, "INDI").isEmpty(), tag.constData());
    for (const QByteArray &tag : kFamilyEvents)
        QVERIFY2(!nodes(tree, tag, "FAM").isEmpty(), tag.constData());
    QList<QByteArray> ordinances{"BAPL", "CONL", "ENDL", "SLGC"};
    if (version7)
        ordinances << "INIL";
    for (const QByteArray &tag : ordinances)
        QVERIFY2(!nodes(tree, tag, "INDI").isEmpty(), tag.constData());
    QVERIFY(!nodes(tree, "SLGS", "FAM").isEmpty());
    for (const char *tag : {"NPFX", "GIVN", "NICK", "SPFX", "SURN", "NSFX"})
        QVERIFY2(!nodes(tree, tag, "NAME").isEmpty(), tag);
    for (const char *tag : {"ASSO", "ALIA", "RESN", "REFN", "CHAN", "ANCI", "DESI", "SUBM"})
        QVERIFY2(!nodes(tree, tag, "INDI").isEmpty(), tag);
    for (const char *record : {"SOUR", "REPO", "OBJE", "SUBM", "_VENDOR"})
        QVERIFY2(!nodes(tree, record, {}).isEmpty(), record);
    QVERIFY(tree.record("@N1@") >= 0);
    QCOMPARE(tree.node(tree.record("@N1@")).tag, version7 ? QByteArray("SNOTE") : "NOTE");
    QVERIFY(!nodes(tree, version7 ? "SNOTE" : "NOTE", "CHR").isEmpty()); // a shared note

    // Each sex, name type and pedigree the version has.
    QStringList sexes = values(tree, "SEX", "INDI");
    sexes.removeDuplicates();
    sexes.sort();
    QCOMPARE(sexes, version7 ? QStringList({"F", "M", "X"}) : QStringList({"F", "M", "U"}));
    const QStringList types = values(tree, "TYPE", "NAME");
    const QStringList pedigrees = values(tree, "PEDI", "FAMC");
    for (const char *type : {"birth", "aka", "immigrant", "married", "professional"})
        QVERIFY2(types.contains(QLatin1String(type), Qt::CaseInsensitive), type);
    for (const char *pedigree : {"birth", "adopted", "foster", "sealing"})
        QVERIFY2(pedigrees.contains(QLatin1String(pedigree), Qt::CaseInsensitive), pedigree);
    if (version7) {
        QVERIFY(types.contains(QStringLiteral("OTHER")) && pedigrees.contains("OTHER"));
        QVERIFY(!nodes(tree, "PHRASE", "PEDI").isEmpty());
        QVERIFY(!nodes(tree, "TAG", "SCHMA").isEmpty());
    }
    // Each kind of date.
    const QString dates = values(tree, "DATE").join(QLatin1Char('|'));
    for (const char *kind :
         {"ABT", "CAL", "EST", "BEF", "AFT", "BET", "FROM", "TO ", "JULIAN", "HEBREW", "FRENCH"})
        QVERIFY2(dates.contains(QLatin1String(kind)), kind);
    if (version7) {
        QVERIFY(!nodes(tree, "PHRASE", "DATE").isEmpty());
        QVERIFY(!nodes(tree, "TIME", "DATE").isEmpty());
    } else {
        QVERIFY(dates.contains(QStringLiteral("INT 1915 (about then)")));
        QVERIFY(dates.contains(QStringLiteral("1750/51")));
        QVERIFY(dates.contains(QStringLiteral("ABT    1904")));
    }
    // Extension tags at several levels, under records and below structures.
    QSet<int> extensionDepths;
    for (int i = 0; i < tree.nodeCount(); ++i) {
        if (tree.node(i).tag.startsWith('_'))
            extensionDepths.insert(tree.node(i).depth);
    }
    for (const int depth : {0, 1, 2, 3})
        QVERIFY2(extensionDepths.contains(depth), QByteArray::number(depth).constData());
}

void TestAllTags::everyEventHasEverySubstructure_data()
{
    readsCleanly_data();
}

void TestAllTags::everyEventHasEverySubstructure()
{
    QFETCH(bool, version7);
    const GedcomTree tree = readTree(version7);
    const auto check = [&tree](const QByteArray &tag, const QByteArray &parent,
                               const QList<const char *> &wanted) {
        for (const int event : nodes(tree, tag, parent)) {
            if (std::all_of(wanted.cbegin(), wanted.cend(), [&](const char *sub) {
                    // A note may be a shared one (7.0: SNOTE).
                    return tree.child(event, sub) >= 0 ||
                           (!qstrcmp(sub, "NOTE") && tree.child(event, "SNOTE") >= 0);
                }))
                return true;
        }
        return false;
    };
    const QList<const char *> details{"TYPE", "DATE", "PLAC", "ADDR", "AGNC",
                                      "RELI", "CAUS", "NOTE", "SOUR", "OBJE"};
    for (const QByteArray &tag : kPersonEvents)
        QVERIFY2(check(tag, "INDI", QList<const char *>(details) << "AGE"), tag.constData());
    for (const QByteArray &tag : kFamilyEvents)
        QVERIFY2(check(tag, "FAM",
                       QList<const char *>(details) << "HUSB"
                                                    << "WIFE"),
                 tag.constData());
    // The substructures have theirs: the place its form and map, the citation its page,
    // quality and data with text.
    QVERIFY(check("PLAC", "BIRT", {"FORM", "MAP"}));
    QVERIFY(check("MAP", "PLAC", {"LATI", "LONG"}));
    QVERIFY(check("SOUR", "BIRT", {"PAGE", "QUAY", "DATA", "EVEN", "NOTE", "OBJE"}));
    QVERIFY(check("DATA", "SOUR", {"DATE", "TEXT"}));
    QVERIFY(!nodes(tree, "RESN", "BAPM").isEmpty() || !nodes(tree, "RESN", "CHR").isEmpty());
}

void TestAllTags::everyCategoryHasFacts_data()
{
    readsCleanly_data();
}

void TestAllTags::everyCategoryHasFacts()
{
    QFETCH(bool, version7);
    FactFile first;
    FactFile second;
    QString error;
    QVERIFY(first.loadBytes(allTagsFile(version7), &error));
    QVERIFY(second.loadBytes(allTagsFile(version7), &error));
    const Comparison c = compare(first, second);
    QVERIFY2(c.isComplete(), qPrintable(report(c, true)));
    QCOMPARE(c.personsFirst, 16);
    for (int i = 0; i < kCategoryCount; ++i)
        QVERIFY2(c.categories[size_t(i)].total > 0, qPrintable(categoryName(Category(i))));
    // Each person is known by a name and year of its own.
    for (const Person &person : first.persons())
        QVERIFY2(!person.key.endsWith(QLatin1Char(']')) && !person.year.isEmpty(),
                 qPrintable(person.key));
}

QTEST_GUILESS_MAIN(TestAllTags)
#include "tst_alltags.moc"
