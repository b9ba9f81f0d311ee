// The mapping of a file onto the rows of one tree: line parents, roots, partners, pedigrees,
// fields, keys, photos and the counts.
#include "Lineage.h"
#include "support_gedcom.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Gedcom;
using TestGedcom::file;
using TestGedcom::row;

class TestMapping : public QObject
{
    Q_OBJECT

private slots:
    void linksFromEitherEnd();
    void lineParentIsThePartnerWhoIsAChild();
    void bothPartnersChildrenMakeAPair();
    void noPartnerAChildTakesTheFirstPointer();
    void roots();
    void furtherPartnersGoIntoTheNotes();
    void firstFamilyWithoutPartner();
    void pedigrees_data();
    void pedigrees();
    void fields();
    void dates_data();
    void dates();
    void keys();
    void photos();
};

namespace {

// Hal and Wyn have a child Cy; Wyn is the child of Mum. Extra lines are added to the body.
QByteArray family(const QStringList &familyLines, const QStringList &extra = {})
{
    QStringList body{
        "0 @H@ INDI", "1 NAME Hal /Hill/", "0 @W@ INDI", "1 NAME Wyn /Wood/", "1 FAMC @P@",
        "0 @M@ INDI", "1 NAME Mum /Wood/", "0 @C@ INDI", "1 NAME Cy /Hill/",  "0 @P@ FAM",
        "1 WIFE @M@", "1 CHIL @W@",        "0 @F@ FAM"};
    return file(body + familyLines + extra);
}

} // namespace

void TestMapping::linksFromEitherEnd()
{
    // Each list: what its own end wrote (a repeat once), then what only the other end wrote, in
    // that end's order.
    const Document doc = Document::fromBytes(file({
        "0 @A@ INDI",  "1 FAMC @F2@", "1 FAMC @F1@", "0 @B@ INDI", "1 FAMC @F1@",
        "0 @C@ INDI",  "1 FAMS @F1@", "0 @D@ INDI",  "0 @E@ INDI", "1 FAMC @F1@",
        "1 FAMC @F1@", "0 @F1@ FAM",  "1 WIFE @D@",  "1 CHIL @E@", "1 CHIL @A@",
        "1 CHIL @A@",  "1 CHIL @X@",  "0 @F2@ FAM",  "1 CHIL @D@",
    }));
    const Lineage lineage(doc);
    enum { A, B, C, D, E, F1 = 0, F2 = 1 };
    auto list = [](std::span<const int> items) {
        return std::vector<int>(items.begin(), items.end());
    };
    auto families = [&](int p) {
        std::vector<int> f;
        for (const Lineage::ChildLink &link : lineage.parents(p))
            f.push_back(link.family);
        return f;
    };
    QCOMPARE(list(lineage.children(F1)), std::vector<int>({E, A, B}));
    QCOMPARE(list(lineage.children(F2)), std::vector<int>({D, A}));
    QCOMPARE(list(lineage.partners(F1)), std::vector<int>({D, C}));
    QCOMPARE(families(A), std::vector<int>({F2, F1}));
    QCOMPARE(families(D), std::vector<int>({F2}));
    QCOMPARE(families(E), std::vector<int>({F1}));
    QCOMPARE(list(lineage.partnerships(D)), std::vector<int>({F1}));
    QCOMPARE(list(lineage.partnerships(C)), std::vector<int>({F1}));
    QVERIFY(lineage.partnerships(A).empty());
    QCOMPARE(lineage.family(F1).lineParent, int(D)); // the partner who is a child
    QCOMPARE(lineage.brokenPointers(), 1);

    // What the mapping takes over: every link line read, once, in node order (the families'
    // lines and the persons' interleave in the file), each with the record it names.
    Lineage again(doc);
    const std::vector<std::pair<int, int>> links = again.takeLinkRecords();
    QCOMPARE(links.size(), size_t(12)); // 6 FAMC and FAMS lines, 6 WIFE and CHIL lines
    for (size_t i = 0; i < links.size(); ++i) {
        const auto [node, record] = links[i];
        QVERIFY(i == 0 || links[i - 1].first < node);
        QCOMPARE(record, doc.findRecord(doc.pointer(node)));
    }
    QCOMPARE(links[10].second, -1); // CHIL @X@: no such record
    QVERIFY(again.takeLinkRecords().empty());
}

void TestMapping::lineParentIsThePartnerWhoIsAChild()
{
    // Wyn is the only partner who is a child: the line parent, though she is WIFE. Cy lists no
    // FAMC: the family's CHIL is enough.
    const ImportPlan plan = TestGedcom::plan(family({"1 HUSB @H@", "1 WIFE @W@", "1 CHIL @C@"}));
    QCOMPARE(row(plan, "C").PrntKey, QStringLiteral("W"));
    QCOMPARE(row(plan, "W").PrntKey, QStringLiteral("M"));
    QCOMPARE(row(plan, "W").PrtFname, QStringLiteral("Hal"));
    QCOMPARE(row(plan, "W").PrtSname, QStringLiteral("Hill"));
    QCOMPARE(row(plan, "M").PrntKey, QStringLiteral("ROOT"));
    QVERIFY(!TestGedcom::hasRow(plan, "H"));
    QCOMPARE(plan.counts.partners, 1);
}

void TestMapping::bothPartnersChildrenMakeAPair()
{
    // Hal becomes a child too (of a family without partners): both are children, so the first
    // pointer is the line parent, and the two rows name each other.
    const ImportPlan plan = TestGedcom::plan(
        family({"1 HUSB @H@", "1 WIFE @W@", "1 CHIL @C@"}, {"0 @Q@ FAM", "1 CHIL @H@"}));
    QCOMPARE(row(plan, "C").PrntKey, QStringLiteral("H"));
    QCOMPARE(row(plan, "H").PrntKey, QStringLiteral("ROOT"));
    const PersonRecord hal = row(plan, "H"), wyn = row(plan, "W");
    QCOMPARE(hal.PrtFname + hal.PrtSname, QStringLiteral("WynWood"));
    QCOMPARE(wyn.PrtFname + wyn.PrtSname, QStringLiteral("HalHill"));
    QCOMPARE(hal.Notes, QStringLiteral("Partner ID: W"));
    QCOMPARE(wyn.Notes, QStringLiteral("Children listed under: H\nPartner ID: H"));
}

void TestMapping::noPartnerAChildTakesTheFirstPointer()
{
    // Nobody's child, WIFE written first: she is the line parent.
    const ImportPlan plan =
        TestGedcom::plan(file({"0 @H@ INDI", "0 @W@ INDI", "0 @C@ INDI", "0 @F@ FAM", "1 WIFE @W@",
                               "1 HUSB @H@", "1 CHIL @C@"}));
    QCOMPARE(row(plan, "C").PrntKey, QStringLiteral("W"));
    QVERIFY(!TestGedcom::hasRow(plan, "H"));
}

void TestMapping::roots()
{
    const ImportPlan plan = TestGedcom::plan(file({
        "0 @A@ INDI",
        "0 @K@ INDI",
        "1 FAMC @F0@",
        "0 @F0@ FAM",
        "1 CHIL @K@", // no partners
        "0 @X@ INDI",
        "0 @Y@ INDI",
        "0 @F1@ FAM",
        "1 HUSB @Y@",
        "1 WIFE @X@",
    }));
    QCOMPARE(row(plan, "A").PrntKey, QStringLiteral("ROOT"));
    QCOMPARE(row(plan, "K").PrntKey, QStringLiteral("ROOT"));
    QCOMPARE(row(plan, "Y").PrntKey, QStringLiteral("ROOT"));
    QVERIFY(!TestGedcom::hasRow(plan, "X")); // only a partner
    QCOMPARE(plan.counts.rows, 3);
    QCOMPARE(plan.counts.partners, 1);
}

void TestMapping::furtherPartnersGoIntoTheNotes()
{
    const ImportPlan plan = TestGedcom::plan(file({
        "0 @P@ INDI",   "1 NAME Pat /Pine/",
        "1 FAMS @F2@",  "1 FAMS @F1@", // F2 first
        "0 @A@ INDI",   "1 NAME Ann /Ash/",
        "1 BIRT",       "2 DATE 1801",
        "1 DEAT",       "2 DATE 1850",
        "0 @B@ INDI",   "1 NAME Bea /Birch/",
        "1 BIRT",       "2 DATE 1790",
        "2 PLAC York",  "1 DEAT",
        "2 DATE 1820",  "0 @K1@ INDI",
        "0 @K2@ INDI",  "0 @F1@ FAM",
        "1 HUSB @P@",   "1 WIFE @A@",
        "1 MARR",       "2 DATE 1825",
        "2 PLAC Leeds", "1 CHIL @K1@",
        "0 @F2@ FAM",   "1 HUSB @P@",
        "1 WIFE @B@",   "1 MARR",
        "2 DATE 1810",  "1 CHIL @K2@",
    }));
    const PersonRecord pat = row(plan, "P");
    QCOMPARE(pat.PrtFname + QLatin1Char(' ') + pat.PrtSname, QStringLiteral("Bea Birch"));
    QCOMPARE(pat.Notes, QStringLiteral("Marriage: 1810\n"
                                       "Marriage with Ann Ash: 1825, Leeds\n"
                                       "Partner born: 1790, York\n"
                                       "Partner died: 1820\n"
                                       "Also partner of: Ann Ash (1801–1850)"));
    QCOMPARE(row(plan, "K1").PrntKey, QStringLiteral("P"));
    QCOMPARE(row(plan, "K2").PrntKey, QStringLiteral("P"));
    const ImportCounts &c = plan.counts;
    QCOMPARE(QList<qsizetype>({c.persons, c.rows, c.partners, c.noted}),
             QList<qsizetype>({5, 3, 1, 1}));
    QVERIFY(plan.summary().startsWith(
        QStringLiteral("Read 5 persons: 3 rows, 1 partner, 1 noted in the notes of a row.")));
}

// The partner names come from the first family the person heads even when it names no other
// partner: its children are not a later partner's.
void TestMapping::firstFamilyWithoutPartner()
{
    const ImportPlan plan = TestGedcom::plan(
        file({"0 @P@ INDI", "1 NAME Pat /Pine/", "1 FAMS @F1@", "1 FAMS @F2@", "0 @B@ INDI",
              "1 NAME Bea /Birch/", "0 @K@ INDI", "0 @F1@ FAM", "1 HUSB @P@", "1 CHIL @K@",
              "0 @F2@ FAM", "1 HUSB @P@", "1 WIFE @B@"}));
    const PersonRecord pat = row(plan, "P");
    QCOMPARE(pat.PrtFname + pat.PrtSname, QString());
    QCOMPARE(pat.Notes, QStringLiteral("Also partner of: Bea Birch"));
    QCOMPARE(row(plan, "K").PrntKey, QStringLiteral("P"));
    const ImportCounts &c = plan.counts;
    QCOMPARE(QList<qsizetype>({c.persons, c.rows, c.partners, c.noted}),
             QList<qsizetype>({3, 2, 0, 1}));
}

void TestMapping::pedigrees_data()
{
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("notes");
    QTest::newRow("first birth family wins")
        << QStringList{"1 FAMC @F1@", "2 PEDI adopted", "1 FAMC @F2@", "1 FAMC @F3@",
                       "2 PEDI FOSTER"}
        << "B"
        << "Also child of: Al Kay (adopted)\nAlso child of: Di Moe (FOSTER)";
    QTest::newRow("BIRTH in any case")
        << QStringList{"1 FAMC @F1@", "2 PEDI foster", "1 FAMC @F3@", "2 PEDI Birth"} << "D"
        << "Also child of: Al Kay (foster)";
    QTest::newRow("no birth family: the first")
        << QStringList{"1 FAMC @F3@", "2 PEDI adopted", "1 FAMC @F1@", "2 PEDI sealing"} << "D"
        << "Also child of: Al Kay (sealing)";
}

void TestMapping::pedigrees()
{
    QFETCH(QStringList, links);
    QFETCH(QString, parent);
    QFETCH(QString, notes);
    const ImportPlan plan = TestGedcom::plan(
        file(QStringList{"0 @K@ INDI"} + links +
             QStringList{"0 @A@ INDI", "1 NAME Al /Kay/", "0 @B@ INDI", "1 NAME Bo /Lund/",
                         "0 @D@ INDI", "1 NAME Di /Moe/", "0 @F1@ FAM", "1 HUSB @A@", "0 @F2@ FAM",
                         "1 HUSB @B@", "0 @F3@ FAM", "1 WIFE @D@"}));
    QCOMPARE(row(plan, "K").PrntKey, parent);
    QCOMPARE(row(plan, "K").Notes, notes);
}

void TestMapping::fields()
{
    const ImportPlan plan = TestGedcom::plan(file({
        "0 @I1@ INDI",
        "1 NAME John Q /Public/ Jr.",
        "2 GIVN Johnny",
        "1 NAME Jack /Pub/",
        "2 TYPE aka",
        "1 BIRT",
        "2 DATE (at Easter)",
        "2 PLAC Town",
        "1 DEAT",
        "2 DATE ABT 1900",
        "1 RESI",
        "2 ADDR Old St 1",
        "1 RESI",
        "2 ADDR Main St 1",
        "3 CONT Flat 2",
        "3 CITY Newtown",
        "3 CTRY Land",
        "1 OCCU Smith",
        "2 DATE 1880",
        "1 BURI",
        "2 DATE 3 MAY 1901",
        "2 PLAC Yard",
        "1 CHR",
        "2 PLAC Church",
        "1 NOTE Inline a@@b",
        "2 CONT line two",
        "1 NOTE @N1@",
        "1 SNOTE @N2@",
        "0 @N1@ NOTE Record",
        "1 CONC ed note",
        "0 @N2@ SNOTE Shared",
        "0 @I2@ INDI",
        "1 RESI",
        "2 ADDR",
        "3 ADR1 Line one",
        "3 ADR2 Line two",
        "3 CITY C",
    }));
    const PersonRecord john = row(plan, "I1");
    QCOMPARE(john.Fname, QStringLiteral("Johnny"));
    QCOMPARE(john.Sname, QStringLiteral("Public"));
    QCOMPARE(john.Bdate, QStringLiteral("at Easter"));
    QCOMPARE(john.Bplace, QStringLiteral("Town"));
    QCOMPARE(john.Ddate, QStringLiteral("ABT 1900"));
    QCOMPARE(john.Laddress, QStringLiteral("Main St 1\nFlat 2"));
    QCOMPARE(john.Lcity, QStringLiteral("Newtown"));
    QCOMPARE(john.Lcountry, QStringLiteral("Land"));
    QCOMPARE(john.Notes, QStringLiteral("Inline a@b\nline two\nRecorded note\nShared\n"
                                        "Name suffix: Jr.\nAlso known as (aka): Jack Pub\n"
                                        "Residence: Old St 1\nOccupation: Smith, 1880\n"
                                        "Burial: 3 MAY 1901, Yard\nChristening: Church"));
    QCOMPARE(row(plan, "I2").Laddress, QStringLiteral("Line one\nLine two"));
    QCOMPARE(row(plan, "I2").Lcity, QStringLiteral("C"));
}

void TestMapping::dates_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QStringList>("date");
    QTest::addColumn<QString>("expected");
    QTest::newRow("as written") << "5.5.1" << QStringList{"2 DATE BET 1900 AND 1910"}
                                << "BET 1900 AND 1910";
    QTest::newRow("padded") << "5.5" << QStringList{"2 DATE  5 AUG 1901"} << "5 AUG 1901";
    QTest::newRow("5.5.1 phrase") << "5.5.1" << QStringList{"2 DATE (about Easter)"}
                                  << "about Easter";
    QTest::newRow("interpreted") << "5.5.1" << QStringList{"2 DATE INT 1900 (census)"}
                                 << "INT 1900 (census)";
    QTest::newRow("7.0 phrase") << "7.0" << QStringList{"2 DATE", "3 PHRASE about Easter"}
                                << "about Easter";
    QTest::newRow("7.0 date and phrase")
        << "7.0" << QStringList{"2 DATE 1900", "3 PHRASE turn of it"} << "1900 (turn of it)";
}

void TestMapping::dates()
{
    QFETCH(QString, version);
    QFETCH(QStringList, date);
    QFETCH(QString, expected);
    const ImportPlan plan = TestGedcom::plan(TestGedcom::file(
        QStringList{"0 @I1@ INDI", "1 BIRT"} + date, {"1 GEDC", "2 VERS " + version}));
    QCOMPARE(row(plan, "I1").Bdate, expected);
}

void TestMapping::keys()
{
    // The REFN this program wrote is the key; in another program's file it is not.
    const QStringList refn{"0 @I1@ INDI", "1 REFN K7"};
    QVERIFY(TestGedcom::hasRow(TestGedcom::plan(TestGedcom::ownFile(refn)), "K7"));
    QVERIFY(TestGedcom::hasRow(TestGedcom::plan(file(refn)), "I1"));

    ImportContext context;
    context.isKeyTaken = [](const QString &key) { return key == "I5" || key == "I5-2"; };
    const ImportPlan plan = TestGedcom::plan(file({
                                                 "0 @root@ INDI",
                                                 "0 @Ab@ INDI",
                                                 "0 @AB@ INDI",
                                                 "0 @I5@ INDI",
                                                 "0 @C@ INDI",
                                                 "0 @F@ FAM",
                                                 "1 HUSB @AB@",
                                                 "1 CHIL @C@",
                                             }),
                                             context);
    QStringList keys;
    for (const PlannedRow &r : plan.rows)
        keys << r.record.ID;
    QCOMPARE(keys, QStringList({"root-2", "Ab", "AB-2", "I5-3", "C"}));
    QCOMPARE(row(plan, "C").PrntKey, QStringLiteral("AB-2"));

    // Many rows wanting one key get the next free suffix each (and quickly).
    QStringList many;
    for (int i = 0; i < 5000; ++i)
        many << QStringLiteral("0 @I%1@ INDI").arg(i) << "1 REFN A";
    const ImportPlan same = TestGedcom::plan(TestGedcom::ownFile(many));
    QCOMPARE(same.rows[0].record.ID, QStringLiteral("A"));
    QCOMPARE(same.rows[4999].record.ID, QStringLiteral("A-5000"));
}

void TestMapping::photos()
{
    QTemporaryDir dir;
    for (const char *name : {"media/a.jpg", "b.jpg", "sub/b.jpg", "c d.jpg"}) {
        const QString path = dir.filePath(QLatin1String(name));
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("image");
    }
    ImportContext context;
    context.gedcomFolder = dir.path();
    auto names = [](const ImportPlan &plan) {
        QStringList result;
        for (const PhotoCopy &photo : plan.rows.value(0).photos)
            result << photo.name + QLatin1Char('=') + QDir(photo.source).dirName();
        return result;
    };

    const ImportPlan v551 = TestGedcom::plan(file({
                                                 "0 @I1@ INDI",
                                                 "1 OBJE",
                                                 "2 FILE media/a.jpg",
                                                 "1 OBJE @O1@",
                                                 "1 OBJE",
                                                 "2 FILE C:\\Photos\\media\\a.jpg",
                                                 "1 OBJE",
                                                 "2 FILE http://example.org/y.jpg",
                                                 "1 OBJE",
                                                 "2 FILE " + dir.filePath("c d.jpg"),
                                                 "0 @O1@ OBJE",
                                                 "1 FILE b.jpg",
                                                 "1 FILE sub/b.jpg",
                                             }),
                                             context);
    QCOMPARE(names(v551),
             QStringList({"a.jpg=a.jpg", "b.jpg=b.jpg", "b (2).jpg=b.jpg", "c d.jpg=c d.jpg"}));
    QCOMPARE(v551.counts.photos, 4);
    QCOMPARE(v551.counts.photosRemote, 1);

    const ImportPlan v70 = TestGedcom::plan(TestGedcom::file(
                                                {
                                                    "0 @I1@ INDI",
                                                    "1 OBJE @O1@",
                                                    "0 @O1@ OBJE",
                                                    "1 FILE media/a.jpg",
                                                    "2 FORM image/jpeg",
                                                    "1 FILE c%20d.jpg",
                                                    "1 FILE file://" + dir.filePath("b.jpg"),
                                                    "1 FILE https://x.org/a",
                                                },
                                                {"1 GEDC", "2 VERS 7.0"}),
                                            context);
    QCOMPARE(names(v70), QStringList({"a.jpg=a.jpg", "c d.jpg=c d.jpg", "b.jpg=b.jpg"}));
    QCOMPARE(v70.counts.photosRemote, 1);
}

QTEST_GUILESS_MAIN(TestMapping)
#include "tst_mapping.moc"
