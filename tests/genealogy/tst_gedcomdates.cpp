// The GEDCOM date grammar of the model: reading both versions' values, normalising blanks and
// case, sort ranges in every calendar, and writing a value in either version.
#include "Calendars.h"
#include "GedcomDate.h"

#include <QTest>

using namespace Genealogy;

class TestDates : public QObject
{
    Q_OBJECT

private slots:
    void kinds_data();
    void kinds();
    void normalisesBlanksAndCase_data();
    void normalisesBlanksAndCase();
    void ranges_data();
    void ranges();
    void calendarsAgreeWithKnownDays();
    void dualYearsReckonTheLaterYear();
    void writesEachVersion_data();
    void writesEachVersion();
    void rowTextKeepsPhrases();
    void hostileValuesStayBounded();
};

void TestDates::kinds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::newRow("empty") << "   " << int(DateKind::None);
    QTest::newRow("year") << "1850" << int(DateKind::Exact);
    QTest::newRow("about, lower case") << "abt 1850" << int(DateKind::About);
    QTest::newRow("calculated") << "CAL 12 MAR 1850" << int(DateKind::Calculated);
    QTest::newRow("estimated") << "EST MAR 1850" << int(DateKind::Estimated);
    QTest::newRow("before") << "BEF 1850" << int(DateKind::Before);
    QTest::newRow("after") << "AFT 1850" << int(DateKind::After);
    QTest::newRow("between") << "BET 1850 AND 1860" << int(DateKind::Between);
    QTest::newRow("from") << "FROM 1850" << int(DateKind::From);
    QTest::newRow("to") << "TO 1850" << int(DateKind::To);
    QTest::newRow("from to") << "FROM 1850 TO 1860" << int(DateKind::FromTo);
    QTest::newRow("5.5.1 phrase") << "(during the war)" << int(DateKind::Phrase);
    QTest::newRow("interpreted") << "INT 1850 (about then)" << int(DateKind::Exact);
    QTest::newRow("julian escape") << "@#DJULIAN@ 1 JAN 1700" << int(DateKind::Exact);
    QTest::newRow("french escape, two words") << "@#DFRENCH R@ 1 VEND 3" << int(DateKind::Exact);
    QTest::newRow("7.0 hebrew") << "HEBREW 26 TVT 27" << int(DateKind::Exact);
    QTest::newRow("7.0 extension calendar") << "_CAL 8 _MONTH 190 _EPOCH" << int(DateKind::Exact);
    QTest::newRow("7.0 extension month")
        << "BET FRENCH_R 2 _JOUR 8 AND _CALENDRIER 4 COMP 8" << int(DateKind::Between);
    QTest::newRow("bce") << "12 AUG 1401 BCE" << int(DateKind::Exact);
    QTest::newRow("b.c.") << "44 B.C." << int(DateKind::Exact);
    QTest::newRow("dual year") << "12 FEB 1675/76" << int(DateKind::Exact);
    QTest::newRow("not a date") << "about 1850" << int(DateKind::Unparsed);
    QTest::newRow("between without and") << "BET 1850" << int(DateKind::Unparsed);
    QTest::newRow("day without month") << "12 1850" << int(DateKind::Unparsed);
    QTest::newRow("hebrew month in gregorian") << "1 TSH 1850" << int(DateKind::Unparsed);
    QTest::newRow("day 0") << "0 JAN 1850" << int(DateKind::Unparsed);
    QTest::newRow("dual year in hebrew") << "HEBREW 5600/01" << int(DateKind::Unparsed);
}

void TestDates::kinds()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QCOMPARE(int(GedcomDate::parse(text).kind), kind);
}

void TestDates::normalisesBlanksAndCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normalized");
    QTest::newRow("runs of blanks") << "ABT    1969"
                                    << "ABT 1969";
    QTest::newRow("tabs and padding") << " \tabt\t12  mar 1850  "
                                      << "ABT 12 MAR 1850";
    QTest::newRow("phrase keeps its blanks") << "INT  1850  (about   then)"
                                             << "INT 1850 (about   then)";
    QTest::newRow("not a date: trimmed only") << "  about    1850 "
                                              << "about    1850";
    QTest::newRow("5.5.1 phrase as given") << "( in  the war )"
                                           << "( in  the war )";
    QTest::newRow("escape kept") << "@#djulian@  1 jan 1700"
                                 << "@#DJULIAN@ 1 JAN 1700";
    QTest::newRow("in the model's form: trimmed only") << "  FROM 1850 TO 12 MAR 1860 "
                                                       << "FROM 1850 TO 12 MAR 1860";
    QTest::newRow("upper case, not a date") << "UNKNOWN"
                                            << "UNKNOWN";
}

void TestDates::normalisesBlanksAndCase()
{
    QFETCH(QString, text);
    QFETCH(QString, normalized);
    QCOMPARE(GedcomDate::normalized(text), normalized);
}

void TestDates::ranges_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    const qint64 jan1850 = Calendars::fromGregorian(1850, 1, 1);
    const qint64 dec1850 = Calendars::fromGregorian(1850, 12, 31);
    QTest::newRow("a year") << "1850" << jan1850 << dec1850;
    QTest::newRow("a month") << "FEB 1852" << Calendars::fromGregorian(1852, 2, 1)
                             << Calendars::fromGregorian(1852, 2, 29);
    QTest::newRow("a day") << "12 MAR 1850" << Calendars::fromGregorian(1850, 3, 12)
                           << Calendars::fromGregorian(1850, 3, 12);
    QTest::newRow("about a year spans it") << "ABT 1850" << jan1850 << dec1850;
    QTest::newRow("between two years")
        << "BET 1850 AND 1860" << jan1850 << Calendars::fromGregorian(1860, 12, 31);
    QTest::newRow("julian day") << "@#DJULIAN@ 1 JAN 1700" << Calendars::fromJulian(1700, 1, 1)
                                << Calendars::fromJulian(1700, 1, 1);
    QTest::newRow("1 BCE is year 0")
        << "1 BCE" << Calendars::fromGregorian(0, 1, 1) << Calendars::fromGregorian(0, 12, 31);
    // A range that ends before it begins is kept as written but gives no days to sort by.
    QTest::newRow("between backwards has none")
        << "BET 1900 AND 1850" << qint64(DateRange::kUnknown) << qint64(DateRange::kUnknown);
    QTest::newRow("period backwards has none")
        << "FROM 2 MAR 1850 TO 1 MAR 1850" << qint64(DateRange::kUnknown)
        << qint64(DateRange::kUnknown);
    QTest::newRow("between within one year") << "BET MAR 1850 AND 1850" << jan1850 << dec1850;
    QTest::newRow("phrase has none")
        << "(unknown)" << qint64(DateRange::kUnknown) << qint64(DateRange::kUnknown);
    QTest::newRow("extension calendar has none")
        << "_CAL 8 _MONTH 190" << qint64(DateRange::kUnknown) << qint64(DateRange::kUnknown);
}

void TestDates::ranges()
{
    QFETCH(QString, text);
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    const DateValue value = GedcomDate::parse(text);
    const DateRange r = GedcomDate::range(value);
    QCOMPARE(qint64(r.from), from);
    QCOMPARE(qint64(r.to), to);
    QCOMPARE(GedcomDate::isReversed(value),
             QByteArray(QTest::currentDataTag()).contains("backwards"));
}

void TestDates::calendarsAgreeWithKnownDays()
{
    // The Gregorian reform: 4 October 1582 (Julian) was followed by 15 October 1582.
    QCOMPARE(Calendars::fromJulian(1582, 10, 4) + 1, Calendars::fromGregorian(1582, 10, 15));
    QCOMPARE(Calendars::fromGregorian(2000, 1, 1), qint64(2451545));
    // 1 Vendemiaire I was 22 September 1792; 1 Vendemiaire XII was 24 September 1803.
    QCOMPARE(Calendars::fromFrench(1, 1, 1), Calendars::fromGregorian(1792, 9, 22));
    QCOMPARE(Calendars::fromFrench(12, 1, 1), Calendars::fromGregorian(1803, 9, 24));
    // Rosh Hashanah 5784 was 16 September 2023; 1 Nisan 5784 was 9 April 2024 (a leap year:
    // Adar I and Adar II both come before Nisan).
    QCOMPARE(Calendars::fromHebrew(5784, 1, 1), Calendars::fromGregorian(2023, 9, 16));
    QCOMPARE(Calendars::fromHebrew(5784, 8, 1), Calendars::fromGregorian(2024, 4, 9));
    QCOMPARE(Calendars::daysInMonth(Calendars::Hebrew, 5783, 7), 0); // no Adar II
    QCOMPARE(Calendars::daysInMonth(Calendars::French, 3, 13), 6);   // a sextile year
}

void TestDates::dualYearsReckonTheLaterYear()
{
    for (const char *text : {"1675/76", "1675/1676", "12 FEB 1675/6"}) {
        const DateValue v = GedcomDate::parse(QString::fromLatin1(text));
        QVERIFY2(v.isDate(), text);
        QCOMPARE(v.first.reckonedYear(), qint64(1676));
    }
    QCOMPARE(GedcomDate::parse(u"1699/00").first.reckonedYear(), qint64(1700));
}

void TestDates::writesEachVersion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QString>("v551");
    QTest::addColumn<QString>("v70");
    QTest::addColumn<QString>("v70phrase");
    QTest::newRow("plain") << "abt 1850"
                           << ""
                           << "ABT 1850"
                           << "ABT 1850"
                           << "";
    QTest::newRow("julian") << "@#DJULIAN@ 1 JAN 1700"
                            << ""
                            << "@#DJULIAN@ 1 JAN 1700"
                            << "JULIAN 1 JAN 1700"
                            << "";
    QTest::newRow("french from 7.0") << "FRENCH_R 27 THER 77"
                                     << ""
                                     << "@#DFRENCH R@ 27 THER 77"
                                     << "FRENCH_R 27 THER 77"
                                     << "";
    QTest::newRow("bce") << "44 B.C."
                         << ""
                         << "44 B.C."
                         << "44 BCE"
                         << "";
    QTest::newRow("dual year") << "12 FEB 1675/76"
                               << ""
                               << "12 FEB 1675/76"
                               << "12 FEB 1676"
                               << "12 FEB 1675/76";
    QTest::newRow("7.0 phrase under a date") << "1850"
                                             << "about then"
                                             << "INT 1850 (about then)"
                                             << "1850"
                                             << "about then";
    QTest::newRow("5.5.1 phrase") << "(in the war)"
                                  << ""
                                  << "(in the war)"
                                  << ""
                                  << "in the war";
    QTest::newRow("range with a phrase") << "BET 1850 AND 1860"
                                         << "the fifties"
                                         << "(BET 1850 AND 1860 (the fifties))"
                                         << "BET 1850 AND 1860"
                                         << "the fifties";
}

void TestDates::writesEachVersion()
{
    QFETCH(QString, text);
    QFETCH(QString, phrase);
    QFETCH(QString, v551);
    QFETCH(QString, v70);
    QFETCH(QString, v70phrase);
    DateValue value = GedcomDate::parse(text);
    if (!phrase.isEmpty())
        value.phrase = phrase;
    const GedcomDate::Written old = GedcomDate::write(value, DateSyntax::Gedcom551);
    const GedcomDate::Written seven = GedcomDate::write(value, DateSyntax::Gedcom70);
    QVERIFY(old.ok);
    QVERIFY(seven.ok);
    QCOMPARE(old.value, v551);
    QVERIFY(old.phrase.isEmpty());
    QCOMPARE(seven.value, v70);
    QCOMPARE(seven.phrase, v70phrase);
    // What is written reads back as the same date; what 5.5.1 cannot say stays a phrase.
    const DateKind back = GedcomDate::parse(old.value).kind;
    if (old.value.startsWith(QLatin1Char('(')))
        QCOMPARE(int(back), int(DateKind::Phrase));
    else
        QCOMPARE(int(back), int(value.kind));
}

void TestDates::rowTextKeepsPhrases()
{
    QCOMPARE(GedcomDate::rowText(u"ABT    1969", u""), QStringLiteral("ABT 1969"));
    QCOMPARE(GedcomDate::rowText(u"(in the war)", u""), QStringLiteral("in the war"));
    QCOMPARE(GedcomDate::rowText(u"", u"in the war"), QStringLiteral("in the war"));
    QCOMPARE(GedcomDate::rowText(u" 1850 ", u"about then"), QStringLiteral("1850 (about then)"));
    // An extension calendar cannot be said in 5.5.1: the caller writes a phrase.
    QVERIFY(!GedcomDate::write(GedcomDate::parse(u"_CAL 8 _MONTH 190"), DateSyntax::Gedcom551).ok);
    QVERIFY(!GedcomDate::write(GedcomDate::parse(u"FRENCH_R 2 _JOUR 8"), DateSyntax::Gedcom551).ok);
    QCOMPARE(
        GedcomDate::write(GedcomDate::parse(u"FRENCH_R 2 _JOUR 8"), DateSyntax::Gedcom70).value,
        QStringLiteral("FRENCH_R 2 _JOUR 8"));
    QVERIFY(!GedcomDate::write(GedcomDate::parse(u"about 1850"), DateSyntax::Gedcom70).ok);
}

void TestDates::hostileValuesStayBounded()
{
    // Years far beyond any calendar give no range rather than overflow.
    QVERIFY(!GedcomDate::range(GedcomDate::parse(u"999999999")).isKnown());
    QVERIFY(!GedcomDate::range(GedcomDate::parse(u"FRENCH_R 999999999")).isKnown());
    QVERIFY(GedcomDate::range(GedcomDate::parse(u"FRENCH_R 3999")).isKnown());
    // Many words, unbalanced parentheses.
    const QString many = QStringLiteral("ABT ").repeated(5000) + QStringLiteral("1850");
    QCOMPARE(int(GedcomDate::parse(many).kind), int(DateKind::Unparsed));
    QCOMPARE(int(GedcomDate::parse(u"1850 (a (b) c").kind), int(DateKind::Unparsed));
    QCOMPARE(int(GedcomDate::parse(u"()").kind), int(DateKind::Phrase));
}

QTEST_GUILESS_MAIN(TestDates)
#include "tst_gedcomdates.moc"
