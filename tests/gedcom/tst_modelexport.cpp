// Rows and the genealogical model written as GEDCOM 5.5.1 and 7.0: each version's syntax, the
// rows of trees made by hand, dates in either version, photos, relations, and the structures
// kept as read with their pointers.
#include "support_gedcom.h"
#include "support_model.h"

#include "RowRules.h"

#include <QTest>

using namespace Gedcom;
using namespace Genealogy;

namespace {

QList<QByteArray> lines(const QByteArray &data)
{
    QByteArray text = data;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    return text.split('\n');
}

// The lines that follow `line` (exactly), up to the next line of the same or a higher level.
QList<QByteArray> under(const QByteArray &data, const QByteArray &line)
{
    const QList<QByteArray> all = lines(data);
    const qsizetype at = all.indexOf(line);
    if (at < 0)
        return {QByteArray("<missing> ") + line};
    const int level = line.left(line.indexOf(' ')).toInt();
    QList<QByteArray> result;
    for (qsizetype i = at + 1; i < all.size(); ++i) {
        if (all[i].left(all[i].indexOf(' ')).toInt() <= level)
            break;
        result.append(all[i]);
    }
    return result;
}

PersonRecord row(const QString &id, const QString &parent, const QString &given,
                 const QString &surname)
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = given;
    r.Sname = surname;
    return r;
}

} // namespace

class TestModelExport : public QObject
{
    Q_OBJECT

private slots:
    void eachVersionItsOwnSyntax();
    void handMadeRowsBecomeFamilies();
    void parentKeysTheLinksCannotSay();
    void datesInEitherVersion();
    void photosOfTheFolderOnce();
    void relationsOfFamiliesAndChildren();
    void keptPointersNameTheWrittenRecords();
    void wordsOfEachVersion();
    void sourcesRepositoriesAndObjects();
};

void TestModelExport::eachVersionItsOwnSyntax()
{
    const QString longNote = QStringLiteral("Word @ home ").repeated(40);
    const MappedTree tree = TestModel::map(
        TestGedcom::file({"0 @I1@ INDI", "1 NAME Ann /Lee/", "1 NOTE " + longNote, "1 SNOTE @N1@",
                          "1 _FLAG yes", "1 BIRT", "2 PLAC Bath", "3 FORM Town", "3 MAP",
                          "4 LATI N51.4", "4 LONG W2.4", "0 @N1@ SNOTE Shared words"},
                         {"1 GEDC", "2 VERS 7.0", "1 SCHMA", "2 TAG _FLAG https://example.com/flag",
                          "2 TAG _UNUSED https://example.com/unused"}));
    QVERIFY(tree.isValid());
    const QByteArray seven = TestModel::write(tree, Version::Gedcom70);
    QVERIFY(seven.startsWith("\xEF\xBB\xBF"));
    QVERIFY(!seven.contains(" CONC "));
    QCOMPARE(under(seven, "1 SCHMA"), QList<QByteArray>{"2 TAG _FLAG https://example.com/flag"});
    QVERIFY(seven.contains("\n0 @N1@ SNOTE Shared words\n"));
    QVERIFY(seven.contains("\n1 SNOTE @N1@\n"));
    QCOMPARE(under(seven, "2 PLAC Bath"),
             (QList<QByteArray>{"3 FORM Town", "3 MAP", "4 LATI N51.4", "4 LONG W2.4"}));
    QVERIFY(seven.contains("\n1 _FLAG yes\n"));

    const QByteArray old = TestModel::write(tree, Version::Gedcom551);
    QVERIFY(!old.startsWith("\xEF\xBB\xBF"));
    QVERIFY(!old.contains("SCHMA"));
    QVERIFY(old.contains("\n0 @N1@ NOTE Shared words\n"));
    QVERIFY(old.contains(" CONC "));
    for (const QByteArray &line : lines(old))
        QVERIFY2(line.size() < 255, line.constData());
    // Both read back to the same notes.
    for (const QByteArray &written : {seven, old}) {
        const MappedTree again = TestModel::map(written);
        QCOMPARE(again.rows[0].record.Notes, longNote);
        QCOMPARE(again.model.string(again.model.notes[0].text), QStringLiteral("Shared words"));
    }
}

void TestModelExport::handMadeRowsBecomeFamilies()
{
    QList<PersonRecord> rows;
    PersonRecord root = row("R", "ROOT", "Ann", "Lee");
    root.PrtFname = "Bob";
    root.PrtSname = "Ray";
    root.Bdate = "1950-03-12";
    root.Laddress = "1 Main St";
    root.Notes = "First\n\nSecond paragraph";
    rows << root << row("C1", "R", "Cid", "Lee") << row("C2", "R", "Cal", "Lee")
         << row("O", "gone", "Orphan", "") << row("S", "S", "Self", "")
         << row("L", "root", "Low", "") << row("X", "", "Outside", "");
    ExportOptions options;
    options.timestamp = QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    const QByteArray first = writeTree(rows, TreeModel(), options).data;
    const MappedTree tree = TestModel::map(first);
    QCOMPARE(TestModel::check(tree), QStringList());
    // Every row comes back with its parent; the partner columns made a partner of their own.
    QCOMPARE(tree.rows.size(), rows.size() + 1);
    for (const PersonRecord &before : rows) {
        const int at = TestModel::rowOf(tree, before.ID);
        QVERIFY2(at >= 0, qPrintable(before.ID));
        const PersonRecord &after = tree.rows[at].record;
        QCOMPARE(after.PrntKey, before.PrntKey);
        QCOMPARE(after.PrtFname, before.PrtFname);
        QCOMPARE(after.Notes, before.Notes);
    }
    const PersonRecord &back = tree.rows[TestModel::rowOf(tree, "R")].record;
    QCOMPARE(back.Bdate, QStringLiteral("12 MAR 1950"));
    QCOMPARE(back.Laddress, QStringLiteral("1 Main St"));
    const PersonRecord &partner = tree.rows.back().record;
    QCOMPARE(partner.Fname, QStringLiteral("Bob"));
    QVERIFY(partner.PrntKey.isEmpty()); // outside the line
    // From then on the same bytes.
    const QByteArray second = TestModel::write(tree, Version::Gedcom551);
    QCOMPARE(TestModel::write(TestModel::map(second), Version::Gedcom551), second);
}

void TestModelExport::parentKeysTheLinksCannotSay()
{
    MappedTree tree = TestModel::map(
        TestGedcom::file({"0 @A@ INDI", "1 FAMS @F@", "0 @B@ INDI", "1 FAMS @F@", "0 @K@ INDI",
                          "1 FAMC @F@", "0 @F@ FAM", "1 HUSB @A@", "1 WIFE @B@", "1 CHIL @K@"}));
    QCOMPARE(tree.rows[2].record.PrntKey, QStringLiteral("A"));
    const QByteArray plain = TestModel::write(tree, Version::Gedcom551);
    QVERIFY(!plain.contains("_PRNTKEY"));
    // The user made the child's line run through the other partner, and the partner a root.
    tree.rows[2].record.PrntKey = "B";
    tree.rows[1].record.PrntKey = "ROOT";
    const QByteArray written = TestModel::write(tree, Version::Gedcom70);
    QVERIFY(written.contains("\n1 _PRNTKEY B\n"));
    QVERIFY(written.contains("\n1 _PRNTKEY ROOT\n"));
    QVERIFY(written.contains("2 TAG _PRNTKEY "));
    const MappedTree again = TestModel::map(written);
    QCOMPARE(again.rows[2].record.PrntKey, QStringLiteral("B"));
    QCOMPARE(again.rows[1].record.PrntKey, QStringLiteral("ROOT"));
}

void TestModelExport::datesInEitherVersion()
{
    const MappedTree tree = TestModel::map(
        TestGedcom::file({"0 @I1@ INDI", "1 BIRT", "2 DATE INT 1 JAN 1900 (New Year)", "1 CHR",
                          "2 DATE @#DJULIAN@ 1 JAN 1700", "1 BAPM", "2 DATE 12 FEB 1675/76",
                          "1 BURI", "2 DATE 44 B.C.", "1 CREM", "2 DATE (in the war)", "1 GRAD",
                          "2 DATE about 1850", "1 EVEN", "2 DATE @#DROMAN@ 12 ANNO 456"}));
    const QByteArray seven = TestModel::write(tree, Version::Gedcom70);
    QCOMPARE(under(seven, "1 BIRT"), (QList<QByteArray>{"2 DATE 1 JAN 1900", "3 PHRASE New Year"}));
    QCOMPARE(under(seven, "1 CHR"), QList<QByteArray>{"2 DATE JULIAN 1 JAN 1700"});
    QCOMPARE(under(seven, "1 BAPM"),
             (QList<QByteArray>{"2 DATE 12 FEB 1676", "3 PHRASE 12 FEB 1675/76"}));
    QCOMPARE(under(seven, "1 BURI"), QList<QByteArray>{"2 DATE 44 BCE"});
    QCOMPARE(under(seven, "1 CREM"), (QList<QByteArray>{"2 DATE", "3 PHRASE in the war"}));
    QCOMPARE(under(seven, "1 GRAD"), QList<QByteArray>{"2 DATE about 1850"});
    QCOMPARE(under(seven, "1 EVEN"),
             (QList<QByteArray>{"2 DATE", "3 PHRASE @@#DROMAN@ 12 ANNO 456"}));
    // And back: the 7.0 file read and written as 5.5.1.
    const QByteArray old = TestModel::write(TestModel::map(seven), Version::Gedcom551);
    QCOMPARE(under(old, "1 BIRT"), QList<QByteArray>{"2 DATE INT 1 JAN 1900 (New Year)"});
    QCOMPARE(under(old, "1 CHR"), QList<QByteArray>{"2 DATE @#DJULIAN@ 1 JAN 1700"});
    QCOMPARE(under(old, "1 BURI"), QList<QByteArray>{"2 DATE 44 B.C."});
    QCOMPARE(under(old, "1 CREM"), QList<QByteArray>{"2 DATE (in the war)"});
}

void TestModelExport::photosOfTheFolderOnce()
{
    const MappedTree tree = TestModel::map(TestGedcom::file(
        {"0 @I1@ INDI", "1 OBJE @O1@", "0 @O1@ OBJE", "1 FILE C:\\pics\\Face.JPG", "2 FORM jpg"}));
    ExportOptions options;
    options.photosOf = [](const QString &id) {
        return id == QLatin1String("I1")
                   ? QStringList{"/data/Photos/I1/face.jpg", "/data/Photos/I1/other.png"}
                   : QStringList();
    };
    const QByteArray old = writeTree(TestModel::rows(tree), tree.model, options).data;
    int objects = 0;
    for (const QByteArray &line : under(old, "0 @I1@ INDI"))
        objects += line.startsWith("1 OBJE");
    QCOMPARE(objects, 2);
    QVERIFY(old.contains("\n2 FILE /data/Photos/I1/other.png\n3 FORM png\n"));
    QVERIFY(!old.contains("face.jpg"));
    options.version = Version::Gedcom70;
    const QByteArray seven = writeTree(TestModel::rows(tree), tree.model, options).data;
    QVERIFY(seven.contains("\n1 OBJE @O1@\n1 OBJE @O2@\n"));
    QVERIFY(seven.contains(
        "\n0 @O2@ OBJE\n1 FILE file:///data/Photos/I1/other.png\n2 FORM image/png\n"));
}

void TestModelExport::relationsOfFamiliesAndChildren()
{
    MappedTree tree = TestModel::map(
        TestGedcom::file({"0 @A@ INDI", "0 @B@ INDI", "0 @K@ INDI", "1 FAMC @F@", "2 PEDI step",
                          "0 @F@ FAM", "1 HUSB @A@", "1 WIFE @B@", "1 CHIL @K@"}));
    ChildLink &link = tree.model.childLinks.edit(0);
    QCOMPARE(int(link.relation[0]), int(ChildRelation::Other));
    QCOMPARE(tree.model.string(link.phrase), QStringLiteral("step"));
    link.relation[0] = ChildRelation::Birth;
    link.relation[1] = ChildRelation::Adopted;
    link.phrase = {};
    tree.model.families.edit(0).relation = FamilyRelation::CivilUnion;
    const QByteArray old = TestModel::write(tree, Version::Gedcom551);
    QCOMPARE(under(old, "1 FAMC @F1@"), (QList<QByteArray>{"2 PEDI birth", "2 _PEDI2 adopted"}));
    QVERIFY(old.contains("\n1 _RELTYPE CIVIL_UNION\n"));
    const MappedTree again = TestModel::map(old);
    QCOMPARE(int(again.model.childLinks[0].relation[0]), int(ChildRelation::Birth));
    QCOMPARE(int(again.model.childLinks[0].relation[1]), int(ChildRelation::Adopted));
    QCOMPARE(int(again.model.families[0].relation), int(FamilyRelation::CivilUnion));
    // 7.0 writes the other relation with its phrase.
    const MappedTree step = TestModel::map(
        TestGedcom::file({"0 @K@ INDI", "1 FAMC @F@", "2 PEDI step", "0 @F@ FAM", "1 CHIL @K@"}));
    QCOMPARE(under(TestModel::write(step, Version::Gedcom70), "1 FAMC @F1@"),
             (QList<QByteArray>{"2 PEDI OTHER", "3 PHRASE step"}));
}

void TestModelExport::keptPointersNameTheWrittenRecords()
{
    const MappedTree tree = TestModel::map(TestGedcom::file(
        {"0 @P77@ INDI", "1 _LINK @P99@", "2 _NOTE about", "0 @P99@ INDI", "1 _GONE @NOWHERE@",
         "0 @Q@ _PLACE", "1 _OF @P99@", "0 @U@ SUBM", "1 NAME Me"},
        {"1 GEDC", "2 VERS 5.5.1", "1 SUBM @U@"}));
    const QByteArray written = TestModel::write(tree, Version::Gedcom551);
    QCOMPARE(under(written, "0 @I1@ INDI").mid(0, 2),
             (QList<QByteArray>{"1 _LINK @I2@", "2 _NOTE about"}));
    QVERIFY(written.contains("\n1 _GONE @VOID@\n"));
    QVERIFY(written.contains("\n0 @X1@ _PLACE\n1 _OF @I2@\n"));
    // The file's own submitter is kept; none is made.
    QVERIFY(written.contains("\n1 SUBM @X2@\n"));
    QVERIFY(written.contains("\n0 @X2@ SUBM\n1 NAME Me\n"));
    QCOMPARE(written.count(" SUBM"), 2);
}

void TestModelExport::wordsOfEachVersion()
{
    const MappedTree old = TestModel::map(TestGedcom::file(
        {"0 @I1@ INDI", "1 NAME Jo /Lee/", "2 TYPE aka", "1 NAME Joey", "2 TYPE stage name",
         "1 RESN locked", "1 ASSO @I2@", "2 RELA Godfather", "1 FAMC @F1@", "2 PEDI adopted",
         "0 @I2@ INDI", "1 SEX m", "0 @F1@ FAM", "1 CHIL @I1@"}));
    const QByteArray seven = TestModel::write(old, Version::Gedcom70);
    QCOMPARE(under(seven, "1 NAME Jo /Lee/"), QList<QByteArray>{"2 TYPE AKA"});
    QCOMPARE(under(seven, "1 NAME Joey"),
             (QList<QByteArray>{"2 TYPE OTHER", "3 PHRASE stage name"}));
    QVERIFY(seven.contains("\n1 RESN LOCKED\n"));
    QCOMPARE(under(seven, "1 ASSO @I2@"),
             (QList<QByteArray>{"2 ROLE OTHER", "3 PHRASE Godfather"}));
    QCOMPARE(under(seven, "1 FAMC @F1@"), QList<QByteArray>{"2 PEDI ADOPTED"});
    QVERIFY(seven.contains("\n1 SEX M\n"));
    // And back to 5.5.1 from the 7.0 file.
    const QByteArray back = TestModel::write(TestModel::map(seven), Version::Gedcom551);
    QCOMPARE(under(back, "1 NAME Joey"), QList<QByteArray>{"2 TYPE stage name"});
    QCOMPARE(under(back, "1 ASSO @I2@"), QList<QByteArray>{"2 RELA Godfather"});
    QVERIFY(back.contains("\n1 RESN locked\n"));
    QCOMPARE(under(back, "1 FAMC @F1@"), QList<QByteArray>{"2 PEDI adopted"});

    // A name changed in the details window (its pieces, no line as written) is written from
    // its pieces, never as an empty NAME line.
    MappedTree edited = old;
    for (quint32 n = 0; n < edited.model.names.size(); ++n) {
        if (edited.model.string(edited.model.names[n].value) != QLatin1String("Joey"))
            continue;
        Name &name = edited.model.names.edit(n);
        name.flags &= quint8(~Name::HasValue);
        name.value = Text();
        name.given = edited.model.text(QStringView(u"Joseph"));
        name.surname = edited.model.text(QStringView(u"Lee"));
    }
    const QByteArray renamed = TestModel::write(edited, Version::Gedcom551);
    QCOMPARE(under(renamed, "1 NAME Joseph /Lee/"),
             (QList<QByteArray>{"2 TYPE stage name", "2 GIVN Joseph", "2 SURN Lee"}));
    // One changed there by an earlier version kept its line but not its flag: the line stays.
    MappedTree earlier = old;
    for (quint32 n = 0; n < earlier.model.names.size(); ++n)
        if (earlier.model.string(earlier.model.names[n].value) == QLatin1String("Joey"))
            earlier.model.names.edit(n).flags &= quint8(~Name::HasValue);
    QVERIFY(TestModel::write(earlier, Version::Gedcom551).contains("\n1 NAME Joey\n"));
}

void TestModelExport::sourcesRepositoriesAndObjects()
{
    const MappedTree tree = TestModel::map(TestGedcom::file(
        {"0 @I1@ INDI",     "1 OBJE",         "2 FILE face.jpg", "3 FORM jpg", "2 TITL Face",
         "2 _CROP x",       "1 SOUR @S1@",    "2 PAGE 3",        "2 QUAY 2",   "0 @S1@ SOUR",
         "1 TITL Register", "1 REPO @R1@",    "2 CALN A-1",      "2 CALN B-2", "3 MEDI Book",
         "0 @R1@ REPO",     "1 NAME Archive", "1 ADDR High St",  "2 CITY Ely", "1 PHON 123"}));
    const QByteArray old = TestModel::write(tree, Version::Gedcom551);
    QCOMPARE(under(old, "1 OBJE"),
             (QList<QByteArray>{"2 FILE face.jpg", "3 FORM jpg", "2 TITL Face", "2 _CROP x"}));
    QCOMPARE(under(old, "1 REPO @R1@"),
             (QList<QByteArray>{"2 CALN A-1", "2 CALN B-2", "3 MEDI Book"}));
    QCOMPARE(under(old, "0 @R1@ REPO"),
             (QList<QByteArray>{"1 NAME Archive", "1 ADDR High St", "2 CITY Ely", "1 PHON 123"}));
    QCOMPARE(under(old, "1 SOUR @S1@"), (QList<QByteArray>{"2 PAGE 3", "2 QUAY 2"}));
    // 7.0 has no inline objects: the object becomes a record, its own lines with it.
    const QByteArray seven = TestModel::write(tree, Version::Gedcom70);
    QVERIFY(seven.contains("\n1 OBJE @O1@\n"));
    QCOMPARE(under(seven, "0 @O1@ OBJE"),
             (QList<QByteArray>{"1 FILE face.jpg", "2 FORM jpg", "2 TITL Face", "1 _CROP x"}));
}

QTEST_GUILESS_MAIN(TestModelExport)
#include "tst_modelexport.moc"
