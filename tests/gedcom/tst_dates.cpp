// Dates between a row's free text and GEDCOM date values.
#include "DateText.h"

#include <QTest>

using namespace Gedcom;

class TestDates : public QObject
{
    Q_OBJECT

private slots:
    void gedcomDates_data();
    void gedcomDates();
    void numericDates_data();
    void numericDates();
    void written_data();
    void written();
};

void TestDates::gedcomDates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("in551");
    QTest::addColumn<bool>("in70");
    const struct
    {
        const char *text;
        bool in551, in70;
    } cases[] = {
        {"1900", true, true},
        {"12 MAR 1950", true, true},
        {"MAR 1950", true, true},
        {"2 Oct 1822", true, false}, // older files write months in any case
        {"abt 1900", true, false},
        {"BET 1900 AND 1910", true, true},
        {"FROM 1900 TO 1905", true, true},
        {"TO 1905", true, true},
        {"BEF 1 JAN 1900", true, true},
        {"AFT JAN 1900", true, true},
        {"EST 1900", true, true},
        {"INT 1900 (from the census)", true, false},
        {"(about Easter)", false, false}, // a phrase is text, not a date
        {"1699/00", true, false},
        {"44 B.C.", true, false},
        {"44 BCE", false, true},
        {"@#DJULIAN@ 1 JAN 1700", true, false},
        {"JULIAN 1 JAN 1700", false, true},
        {"@#DHEBREW@ 1 TSH 5760", true, false},
        {"HEBREW 1 TSH 5760", false, true},
        {"@#DFRENCH R@ 1 VEND 2", true, false},
        {"FRENCH_R 1 VEND 2", false, true},
        {"1 JAN", false, false},
        {"1  JAN 1900", false, false},
        {" 1900", false, false},
        {"BET 1900", false, false},
        {"1 FOO 1900", false, false},
        {"1900-01-01", false, false},
        {"last winter", false, false},
    };
    for (const auto &c : cases)
        QTest::newRow(c.text) << QString::fromUtf8(c.text) << c.in551 << c.in70;
}

void TestDates::gedcomDates()
{
    QFETCH(QString, text);
    QFETCH(bool, in551);
    QFETCH(bool, in70);
    QCOMPARE(DateText::isGedcomDate(text, Version::Gedcom551), in551);
    QCOMPARE(DateText::isGedcomDate(text, Version::Gedcom70), in70);
}

void TestDates::numericDates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const char *const cases[][2] = {
        {"1950-03-12", "12 MAR 1950"},
        {"1950-03", "MAR 1950"},
        {"12.3.1950", "12 MAR 1950"},
        {"12/03/50", "12 MAR 1950"},
        {"1-2-29", "1 FEB 2029"},
        {"1.2.30", "1 FEB 1930"},
        {"01.02.00", "1 FEB 2000"},
        {"29.02.2000", "29 FEB 2000"},
        {"1950/3/12", "12 MAR 1950"},
        {"31.02.1950", ""},
        {"29.02.1900", ""},
        {"12.13.1950", ""},
        {"12.3", ""},
        {"12.3.1950.1", ""},
        {"12.3-1950", ""},
        {"1950", ""},
        {"a.b.c", ""},
        {"12.3.195", ""},
    };
    for (const auto &c : cases)
        QTest::newRow(c[0]) << QString::fromLatin1(c[0]) << QString::fromLatin1(c[1]);
}

void TestDates::numericDates()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(DateText::fromNumeric(text), expected);
}

void TestDates::written_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("v7");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("phrase");
    QTest::newRow("date") << "1 JAN 1900" << false << "1 JAN 1900"
                          << "";
    QTest::newRow("5.5.1 case") << "2 Oct 1822" << false << "2 Oct 1822"
                                << "";
    QTest::newRow("7.0 case") << "2 Oct 1822" << true << ""
                              << "2 Oct 1822";
    QTest::newRow("ISO") << "1950-03-12" << true << "12 MAR 1950"
                         << "";
    QTest::newRow("numeric") << "12.3.50" << false << "12 MAR 1950"
                             << "";
    QTest::newRow("extra blanks") << " ABT    1850 " << false << "ABT 1850"
                                  << "";
    QTest::newRow("7.0 extra blanks") << "BET 1800  AND 1810" << true << "BET 1800 AND 1810"
                                      << "";
    QTest::newRow("5.5.1 phrase") << "at Easter" << false << "(at Easter)"
                                  << "";
    QTest::newRow("7.0 phrase") << "at Easter" << true << ""
                                << "at Easter";
    QTest::newRow("parentheses") << "(x)" << false << "((x))"
                                 << "";
    QTest::newRow("empty") << "" << false << ""
                           << "";
}

void TestDates::written()
{
    QFETCH(QString, text);
    QFETCH(bool, v7);
    QFETCH(QString, value);
    QFETCH(QString, phrase);
    const DateText::Written written =
        DateText::toGedcom(text, v7 ? Version::Gedcom70 : Version::Gedcom551);
    QCOMPARE(written.value, value);
    QCOMPARE(written.phrase, phrase);
    // What the import reads back: the text, or the converted date.
    QCOMPARE(DateText::fromGedcom(written.value, written.phrase),
             DateText::fromNumeric(text).isEmpty() && text.simplified() == text ? text : value);
}

QTEST_GUILESS_MAIN(TestDates)
#include "tst_dates.moc"
