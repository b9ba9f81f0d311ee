// Writing one tree: header, the lines of a person, line lengths and escapes, parent keys that
// are no links, partner pairs, photos, and writing the file whole or not at all.
#include "support_gedcom.h"

#include "Utf8.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Gedcom;

namespace {

PersonRecord person(const QString &id, const QString &parent, const QString &fname = {},
                    const QString &sname = {})
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = fname;
    r.Sname = sname;
    return r;
}

ExportResult write(const QList<PersonRecord> &rows, Version version = Version::Gedcom551,
                   std::function<QStringList(const QString &)> photos = {})
{
    ExportOptions options;
    options.version = version;
    options.photosOf = std::move(photos);
    options.timestamp = QDateTime(QDate(2024, 12, 9), QTime(8, 5, 3), Qt::UTC);
    return exportRows(rows, options);
}

// The lines of the record that begins with `start`, up to the next record.
QByteArray recordText(const QByteArray &data, const QByteArray &start)
{
    const qsizetype from = data.indexOf(start + '\n');
    if (from < 0)
        return {};
    const qsizetype to = data.indexOf("\n0 ", from);
    return data.mid(from, to - from + 1);
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void headers();
    void personLines_data();
    void personLines();
    void lineLimits_data();
    void lineLimits();
    void parentKeysThatAreNoLinks();
    void partnerPairs();
    void parentOfSeveralPartners();
    void photos();
    void atomicWrite();
};

void TestExport::headers()
{
    const QByteArray v551 = write({person("A", "ROOT")}).data;
    QVERIFY(v551.startsWith("0 HEAD\n1 SOUR VelkinTree\n2 VERS "));
    for (const char *line : {"\n1 DATE 9 DEC 2024\n2 TIME 08:05:03\n1 SUBM @X1@\n",
                             "\n1 GEDC\n2 VERS 5.5.1\n2 FORM LINEAGE-LINKED\n1 CHAR UTF-8\n",
                             "\n0 @X1@ SUBM\n1 NAME "})
        QVERIFY2(v551.contains(line), line);
    QVERIFY(v551.endsWith("\n0 TRLR\n"));

    const QByteArray v70 = write({person("A", "ROOT")}, Version::Gedcom70).data;
    QVERIFY(v70.startsWith("\xEF\xBB\xBF"
                           "0 HEAD\n1 GEDC\n2 VERS 7.0\n1 SOUR VelkinTree\n"));
    QVERIFY(v70.contains("\n2 TIME 08:05:03Z\n"));
    QVERIFY(!v70.contains("CHAR"));
}

void TestExport::personLines_data()
{
    QTest::addColumn<bool>("v7");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("5.5.1") << false
                           << QByteArray("0 @I1@ INDI\n1 NAME Ann /Lee/\n2 GIVN Ann\n2 SURN Lee\n"
                                         "1 BIRT\n2 DATE 12 MAR 1950\n2 PLAC York\n"
                                         "1 DEAT\n2 DATE (after the war)\n1 RESI\n"
                                         "2 ADDR 1 Main St\n3 CONT Flat 2\n3 ADR1 1 Main St\n"
                                         "3 CITY York\n3 CTRY UK\n1 FAMS @F1@\n"
                                         "1 NOTE a@@b\n2 CONT @@line\n"
                                         "1 REFN K1\n2 TYPE VelkinTree\n");
    QTest::newRow("7.0") << true
                         << QByteArray("0 @I1@ INDI\n1 NAME Ann /Lee/\n2 GIVN Ann\n2 SURN Lee\n"
                                       "1 BIRT\n2 DATE 12 MAR 1950\n2 PLAC York\n"
                                       "1 DEAT\n2 DATE\n3 PHRASE after the war\n1 RESI\n"
                                       "2 ADDR 1 Main St\n3 CONT Flat 2\n3 CITY York\n"
                                       "3 CTRY UK\n1 FAMS @F1@\n1 NOTE a@b\n2 CONT @@line\n"
                                       "1 REFN K1\n2 TYPE VelkinTree\n");
}

void TestExport::personLines()
{
    QFETCH(bool, v7);
    QFETCH(QByteArray, expected);
    PersonRecord r = person("K1", "ROOT", "Ann", "Lee");
    r.PrtFname = "Bob";
    r.PrtSname = "Ray";
    r.Bdate = "1950-03-12";
    r.Bplace = "York";
    r.Ddate = "after the war";
    r.Laddress = "1 Main St\nFlat 2";
    r.Lcity = "York";
    r.Lcountry = "UK";
    r.Notes = "a@b\r\n@line";
    const ExportResult result = write({r}, v7 ? Version::Gedcom70 : Version::Gedcom551);
    QCOMPARE(recordText(result.data, "0 @I1@ INDI"), expected);
    QCOMPARE(recordText(result.data, "0 @I2@ INDI"),
             QByteArray("0 @I2@ INDI\n1 NAME Bob /Ray/\n2 GIVN Bob\n2 SURN Ray\n1 FAMS @F1@\n"));
    QCOMPARE(recordText(result.data, "0 @F1@ FAM"),
             QByteArray("0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n"));
    QCOMPARE(result.rows, 1);
    QCOMPARE(result.persons, 2);
}

void TestExport::lineLimits_data()
{
    QTest::addColumn<QString>("notes");
    QTest::addColumn<bool>("spacesKept");
    QTest::newRow("ASCII") << QString(1000, QLatin1Char('x')) << true;
    QTest::newRow("two-byte letters") << QString(601, QChar(0xE9)) << true;
    QTest::newRow("four-byte letters") << QStringLiteral("😀").repeated(301) << true;
    QTest::newRow("words") << QStringLiteral("word ").repeated(300) << true;
    QTest::newRow("at signs") << QStringLiteral("a@").repeated(400) + QStringLiteral("@") << true;
    QTest::newRow("mixed") << QStringLiteral("é @ 漢字 word ").repeated(120) << true;
    QTest::newRow("long run of spaces")
        << QLatin1Char('x') + QString(300, QLatin1Char(' ')) + 'y' << false;
}

// 5.5.1 lines stay within 255 bytes, CONC pieces within 246, cut between whole characters and
// escapes, never before a space; the value reads back the same. 7.0 has no CONC.
void TestExport::lineLimits()
{
    QFETCH(QString, notes);
    QFETCH(bool, spacesKept);
    PersonRecord r = person("K1", "ROOT");
    r.Notes = notes + QLatin1Char('\n') + notes;
    const QByteArray data = write({r}).data;
    int conc = 0;
    for (const QByteArray &line : data.split('\n')) {
        QVERIFY2(line.size() + 1 <= 255, line.constData());
        QVERIFY(Utf8::isValid(line));
        if (line.contains('@') && !line.startsWith("1 SUBM") && !line.contains(" @I") &&
            !line.contains(" @F") && !line.contains("@X1@"))
            QVERIFY2(line.count('@') % 2 == 0, line.constData());
        if (line.startsWith("2 CONC ")) {
            ++conc;
            QVERIFY(line.size() - 7 <= 246);
            if (spacesKept)
                QVERIFY2(!line.startsWith("2 CONC  "), line.constData());
        }
    }
    QVERIFY(conc > 0);
    QCOMPARE(TestGedcom::row(TestGedcom::plan(data), "K1").Notes, r.Notes);

    const QByteArray v70 = write({r}, Version::Gedcom70).data;
    QVERIFY(!v70.contains("CONC"));
    QCOMPARE(TestGedcom::row(TestGedcom::plan(v70), "K1").Notes, r.Notes);
}

void TestExport::parentKeysThatAreNoLinks()
{
    const QList<PersonRecord> rows{
        person("A", "ROOT"), person("B", "nobody"), person("C", "C"), person("D", "E"),
        person("E", "D"),    person("F", "root"),   person("G", "E"),
    };
    const QByteArray data = write(rows).data;
    QVERIFY(recordText(data, "0 @I2@ INDI").contains("\n1 _PRNTKEY nobody\n"));
    QVERIFY(recordText(data, "0 @I3@ INDI").contains("\n1 _PRNTKEY C\n"));
    // In the cycle D-E, D comes first and keeps its key as text; E stays D's child.
    QVERIFY(recordText(data, "0 @I4@ INDI").contains("\n1 _PRNTKEY E\n"));
    QVERIFY(!recordText(data, "0 @I5@ INDI").contains("_PRNTKEY"));
    QVERIFY(recordText(data, "0 @I5@ INDI").contains("\n1 FAMC @F"));
    QVERIFY(recordText(data, "0 @I6@ INDI").contains("\n1 _PRNTKEY root\n"));
    QCOMPARE(TestGedcom::roundTrip(rows, Version::Gedcom551), rows);
    QCOMPARE(TestGedcom::roundTrip(rows, Version::Gedcom70), rows);
}

void TestExport::partnerPairs()
{
    // L and Q are both children: written as one family, the partner lines left to the import.
    PersonRecord l = person("L", "R1", "Lou", "Lake"), q = person("Q", "R2", "Quin", "Quay");
    l.PrtFname = q.Fname;
    l.PrtSname = q.Sname;
    q.PrtFname = l.Fname;
    q.PrtSname = l.Sname;
    l.Notes = "Own note\nPartner ID: Q";
    q.Notes = "Children listed under: L\nPartner ID: L";
    const QList<PersonRecord> rows{person("R1", "ROOT"), person("R2", "ROOT"), l, q,
                                   person("K", "L")};
    const ExportResult shared = write(rows);
    QCOMPARE(shared.persons, 5);
    QCOMPARE(shared.families, 3);
    QVERIFY(!shared.data.contains("Partner ID"));
    QVERIFY(!shared.data.contains("Children listed under"));
    QCOMPARE(TestGedcom::roundTrip(rows, Version::Gedcom551), rows);

    // Names that do not match, or a line parent that is a root while the other is a child:
    // no pair; the lines stay as text and each row gets a partner of its own.
    QList<PersonRecord> other = rows;
    other[2].PrtFname = "Quincy";
    QList<PersonRecord> rootLine = rows;
    rootLine[2].PrntKey = "ROOT";
    for (const QList<PersonRecord> &variant : {other, rootLine}) {
        const ExportResult apart = write(variant);
        QCOMPARE(apart.persons, 7);
        QVERIFY(apart.data.contains("\n2 CONT Partner ID: Q\n"));
        QCOMPARE(TestGedcom::roundTrip(variant, Version::Gedcom551), variant);
        QCOMPARE(TestGedcom::roundTrip(variant, Version::Gedcom70), variant);
    }
}

// A row an earlier import made for a parent of several partners names only the first partner:
// its children are written in a family with the parent alone (the row does not tell their other
// parent), the named partner in a family of the two; reading that back gives the rows again.
void TestExport::parentOfSeveralPartners()
{
    PersonRecord george = person("G", "ROOT", "George", "King");
    george.PrtFname = "Maria";
    george.PrtSname = "Fitz";
    george.Notes = "Also partner of: Caroline Brun (1768-1821)";
    const QList<PersonRecord> rows{george, person("C", "G", "Charlotte", "King")};
    const ExportResult written = write(rows);
    QCOMPARE(written.families, 2);
    QCOMPARE(written.persons, 3);
    const QByteArray children = recordText(written.data, "0 @F1@ FAM");
    QVERIFY2(children.contains("1 CHIL @I2@"), children.constData());
    QVERIFY2(!children.contains("WIFE"), children.constData());
    const QByteArray couple = recordText(written.data, "0 @F2@ FAM");
    QVERIFY2(couple.contains("1 WIFE @I3@"), couple.constData());
    QVERIFY2(!couple.contains("CHIL"), couple.constData());
    QCOMPARE(TestGedcom::roundTrip(rows, Version::Gedcom551), rows);

    // One partner only: the children stay with that partner, as always.
    QList<PersonRecord> single = rows;
    single[0].Notes = "Also partner in the business";
    const ExportResult one = write(single);
    QCOMPARE(one.families, 1);
    QVERIFY(recordText(one.data, "0 @F1@ FAM").contains("1 WIFE @I3@"));
}

void TestExport::photos()
{
    auto photos = [](const QString &id) {
        return id == "K1" ? QStringList{"/p/b.jpg", "/p/A c.png"} : QStringList{};
    };
    const QList<PersonRecord> rows{person("K1", "ROOT"), person("K2", "ROOT")};
    QVERIFY(write(rows, Version::Gedcom551, photos)
                .data.contains("\n1 OBJE\n2 FILE /p/A c.png\n3 FORM png\n"
                               "1 OBJE\n2 FILE /p/b.jpg\n3 FORM jpg\n"));
    const QByteArray v70 = write(rows, Version::Gedcom70, photos).data;
    QVERIFY(v70.contains("\n1 OBJE @O1@\n1 OBJE @O2@\n"));
    QVERIFY(v70.contains("\n0 @O1@ OBJE\n1 FILE file:///p/A%20c.png\n2 FORM image/png\n"
                         "0 @O2@ OBJE\n1 FILE file:///p/b.jpg\n2 FORM image/jpeg\n"));
}

void TestExport::atomicWrite()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("tree.ged");
    QVERIFY(writeFileAtomically(target, "first"));
    QVERIFY(writeFileAtomically(target, "second"));
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("second"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"tree.ged"});

    const Result<void> missing = writeFileAtomically(dir.filePath("missing/tree.ged"), "x");
    QVERIFY(!missing);
    QVERIFY(!missing.error().text().isEmpty());
    QCOMPARE(missing.error().code(), ErrorCode::Missing);
    QCOMPARE(missing.error().where(), dir.filePath("missing/tree.ged"));
    QVERIFY(QDir(dir.path()).mkdir("folder.ged"));
    const Result<void> folder = writeFileAtomically(dir.filePath("folder.ged"), "x");
    QCOMPARE(folder.error().code(), ErrorCode::InvalidInput);
    QVERIFY(QFileInfo(dir.filePath("folder.ged")).isDir());
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
