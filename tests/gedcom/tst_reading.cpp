// Reading lines and records liberally: line ends, blanks, case, continuations, escapes, levels,
// unknown tags, duplicate records and broken pointers.
#include "support_gedcom.h"

#include <QTest>

using namespace Gedcom;
using TestGedcom::file;

class TestReading : public QObject
{
    Q_OBJECT

private slots:
    void lineEnds_data();
    void lineEnds();
    void looseLines();
    void continuations();
    void escapes_data();
    void escapes();
    void levelJumps();
    void unknownTagsAreCounted();
    void duplicateRecordsFirstWins();
    void brokenPointersAreCounted();
};

void TestReading::lineEnds_data()
{
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("CR") << QByteArray("\r");
    QTest::newRow("LF CR") << QByteArray("\n\r");
}

void TestReading::lineEnds()
{
    QFETCH(QByteArray, lineEnd);
    const QByteArray lf = file({"0 @I1@ INDI", "1 NAME Ann /Lee/", "1 NOTE first", "2 CONT second",
                                "1 BIRT", "2 DATE 1900", "2 PLAC York"});
    QByteArray bytes = lf;
    bytes.replace("\n", lineEnd);
    const ImportPlan plan = TestGedcom::plan(bytes);
    QCOMPARE(plan.counts.malformedLines, 0);
    QCOMPARE(TestGedcom::rows(plan), TestGedcom::rows(TestGedcom::plan(lf)));
    const PersonRecord row = TestGedcom::row(plan, "I1");
    QCOMPARE(row.Notes, QStringLiteral("first\nsecond"));
    QCOMPARE(row.Bplace, QStringLiteral("York"));
}

// Blanks before the level, blank lines, tags in any case, a very long line.
void TestReading::looseLines()
{
    const QString longNote(300000, QLatin1Char('x'));
    const QByteArray bytes = file({"  0 @I1@ INDI", "", "\t1 name Ann /Lee/", "   ", "1 Birt",
                                   "  2 date 1900", "1 NOTE " + longNote});
    const ImportPlan plan = TestGedcom::plan(bytes);
    QCOMPARE(plan.counts.malformedLines, 0);
    const PersonRecord row = TestGedcom::row(plan, "I1");
    QCOMPARE(row.Fname, QStringLiteral("Ann"));
    QCOMPARE(row.Bdate, QStringLiteral("1900"));
    QCOMPARE(row.Notes, longNote);
}

void TestReading::continuations()
{
    const ImportPlan plan = TestGedcom::plan(file({
        "0 @I1@ INDI",
        "1 NOTE Won the elec",
        "2 CONC tion",
        "2 CONT  of 1860",
        "2 CONT",
        "2 CONT end ",
        "1 NAME Ann /Lee/",
        "0 CONC nothing to continue",
    }));
    const PersonRecord row = TestGedcom::row(plan, "I1");
    QCOMPARE(row.Notes, QStringLiteral("Won the election\n of 1860\n\nend "));
    QCOMPARE(row.Sname, QStringLiteral("Lee"));
    QCOMPARE(plan.counts.strayContinuations, 1);
}

void TestReading::escapes_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("expected");
    QTest::newRow("5.5.1 inner") << "5.5.1"
                                 << "mail a@@b.org"
                                 << "mail a@b.org";
    QTest::newRow("5.5.1 leading") << "5.5.1"
                                   << "@@home"
                                   << "@home";
    QTest::newRow("5.5.1 calendar escape") << "5.5.1"
                                           << "@#DJULIAN@ 1700"
                                           << "@#DJULIAN@ 1700";
    QTest::newRow("7.0 inner stays") << "7.0"
                                     << "mail a@@b.org"
                                     << "mail a@@b.org";
    QTest::newRow("7.0 leading") << "7.0"
                                 << "@@home"
                                 << "@home";
}

void TestReading::escapes()
{
    QFETCH(QString, version);
    QFETCH(QString, written);
    QFETCH(QString, expected);
    const ImportPlan plan =
        TestGedcom::plan(TestGedcom::file({"0 @I1@ INDI", "1 NOTE " + written, "2 CONT " + written},
                                          {"1 GEDC", "2 VERS " + version}));
    QCOMPARE(TestGedcom::row(plan, "I1").Notes, expected + QLatin1Char('\n') + expected);
}

// A level more than one below the line before is read as one below it, and counted.
void TestReading::levelJumps()
{
    const ImportPlan plan = TestGedcom::plan(
        file({"0 @I1@ INDI", "1 BIRT", "3 DATE 1900", "5 PLAC York", "1 DEAT", "2 DATE 1950"}));
    const PersonRecord row = TestGedcom::row(plan, "I1");
    QCOMPARE(row.Bdate, QStringLiteral("1900"));
    QCOMPARE(row.Bplace, QString()); // PLAC is now under DATE
    QCOMPARE(row.Ddate, QStringLiteral("1950"));
    QCOMPARE(plan.counts.levelJumps, 2);
}

void TestReading::unknownTagsAreCounted()
{
    const ImportPlan plan = TestGedcom::plan(file({
        "0 @I1@ INDI",
        "1 _UID 1234",
        "1 _uid 5678",
        "1 FOO bar",
        "2 BIRT", // under FOO: standard
        "1 SOUR @S1@",
        "2 PAGE 4",
        "1 CHAN",
        "2 DATE 1 JAN 2000",
        "0 @S1@ SOUR",
        "1 TITL Book",
        "0 @X1@ _PLAC",
        "1 NAME Somewhere",
    }));
    const QList<QPair<QByteArray, qsizetype>> expected{{"FOO", 1}, {"_PLAC", 1}, {"_UID", 2}};
    QCOMPARE(plan.counts.unknownTags, expected);
    QVERIFY(plan.summary().contains(QStringLiteral("_UID (2)")));
    QCOMPARE(plan.counts.persons, 1);
}

void TestReading::duplicateRecordsFirstWins()
{
    const ImportPlan plan = TestGedcom::plan(file({
        "0 @I1@ INDI",
        "1 NAME First /One/",
        "0 @I1@ INDI",
        "1 NAME Second /One/",
        "0 @I2@ INDI",
        "1 NAME Child /One/",
        "1 FAMC @F1@",
        "0 @F1@ FAM",
        "1 HUSB @I1@",
        "1 CHIL @I2@",
    }));
    QCOMPARE(plan.counts.duplicateXrefs, 1);
    QCOMPARE(plan.counts.persons, 2);
    QCOMPARE(TestGedcom::row(plan, "I1").Fname, QStringLiteral("First"));
    QCOMPARE(TestGedcom::row(plan, "I2").PrntKey, QStringLiteral("I1"));
}

void TestReading::brokenPointersAreCounted()
{
    const ImportPlan plan = TestGedcom::plan(file({
        "0 @I1@ INDI",
        "1 FAMS @F9@",
        "1 NOTE @N9@",
        "1 SOUR @S9@",
        "1 FAMC @VOID@",
        "0 @F1@ FAM",
        "1 HUSB @I1@",
        "1 CHIL @F1@", // a family is no child
        "1 WIFE @I7@",
    }));
    QCOMPARE(plan.counts.brokenPointers, 5);
    QCOMPARE(TestGedcom::row(plan, "I1").PrntKey, QStringLiteral("ROOT"));
    QVERIFY(plan.summary().contains(QStringLiteral("5 pointers to missing records")));
}

QTEST_GUILESS_MAIN(TestReading)
#include "tst_reading.moc"
