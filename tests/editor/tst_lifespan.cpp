#include "FileDialog.h"
#include "LifeSpan.h"

#include <QTest>

class TestLifeSpan : public QObject
{
    Q_OBJECT

private slots:
    void yearOf_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("year");
        QTest::newRow("four digits") << "1901" << 1901;
        QTest::newRow("iso date") << "1950-06-30" << 1950;
        QTest::newRow("written date") << "12 March 1888" << 1888;
        QTest::newRow("month first") << "March 12, 1888" << 1888;
        QTest::newRow("month and year") << "May 1950" << 1950;
        QTest::newRow("about") << "about 1900" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("four letters") << "abcd" << 0;
        QTest::newRow("three digits") << "190" << 0;
        QTest::newRow("invalid day") << "1950-02-30" << 0;

        // Numeric dates, whatever the user's locale: the year is first or last.
        QTest::newRow("day month short year") << "5/6/45" << 1945;
        QTest::newRow("short year 10") << "3/4/10" << 2010;
        QTest::newRow("window 29") << "1/1/29" << 2029;
        QTest::newRow("window 30") << "1/1/30" << 1930;
        QTest::newRow("window 00") << "1.1.00" << 2000;
        QTest::newRow("dotted") << "30.06.1950" << 1950;
        QTest::newRow("month first") << "6-30-1950" << 1950;
        QTest::newRow("year first") << "1950/6/30" << 1950;
        QTest::newRow("no such day or month") << "13/13/1950" << 0;
        QTest::newRow("not a leap year") << "29.02.1900" << 0;
        QTest::newRow("mixed separators") << "5/6.1945" << 0;

        // Genealogical forms.
        QTest::newRow("day MON year") << "12 MAR 1901" << 1901;
        QTest::newRow("MON year") << "MAR 1901" << 1901;
        QTest::newRow("short written year") << "12 Mar 45" << 1945;
        QTest::newRow("no such day") << "31 FEB 1901" << 0;
        QTest::newRow("ABT") << "ABT 1900" << 1900;
        QTest::newRow("abt lower case, date") << "abt 12 Mar 1901" << 1901;
        QTest::newRow("BEF") << "BEF 1900" << 1900;
        QTest::newRow("AFT") << "AFT 1900" << 1900;
        QTest::newRow("EST three digits") << "EST 950" << 950;
        QTest::newRow("BET AND") << "BET 1900 AND 1910" << 1900;
        QTest::newRow("FROM TO") << "FROM MAR 1900 TO 1910" << 1900;
        // A range that ends before it begins says no year to count an age from.
        QTest::newRow("BET AND backwards") << "BET 1900 AND 1850" << 0;
        QTest::newRow("FROM TO backwards") << "from 1900 to 12 MAR 1850" << 0;
        QTest::newRow("BET AND within one year") << "BET MAR 1900 AND 1900" << 1900;
        QTest::newRow("TO") << "TO 1910" << 1910;
        QTest::newRow("INT with phrase") << "INT 1900 (about then)" << 1900;
        // A dual year is one year in two reckonings: the later number is today's.
        QTest::newRow("dual year") << "1901/02" << 1902;
        QTest::newRow("dual year written in full") << "1675/1676" << 1676;
        QTest::newRow("dual year, one digit") << "1675/6" << 1676;
        QTest::newRow("dual year over a century") << "1699/00" << 1700;
        QTest::newRow("dual year over a decade") << "1679/0" << 1680;
        QTest::newRow("dual year in a date") << "12 MAR 1701/02" << 1702;
        QTest::newRow("dual year in full in a date") << "ABT 12 MAR 1701/1702" << 1702;
        QTest::newRow("dual year in a phrase") << "(about 1675/76)" << 1676;
        QTest::newRow("ISO date in a phrase") << "(born 1950/06/30)" << 1950;
        QTest::newRow("not a dual year: the first") << "1675/80" << 1675;
        QTest::newRow("year and month") << "1950/06" << 1950;
        QTest::newRow("years apart in full") << "1675/1680" << 0;
        QTest::newRow("years backwards") << "1676/1675" << 0;
        QTest::newRow("second longer than first") << "999/01000" << 0;
        QTest::newRow("dual with a short first year") << "75/76" << 0;
        QTest::newRow("phrase") << "(about 1900)" << 1900;
        QTest::newRow("phrase without year") << "(unknown)" << 0;
        QTest::newRow("julian leap day") << "@#DJULIAN@ 29 FEB 1700" << 1700;
        QTest::newRow("other calendar") << "@#DHEBREW@ 5660" << 0;
        QTest::newRow("qualifier alone") << "ABT" << 0;
    }
    void yearOf()
    {
        QFETCH(QString, text);
        QFETCH(int, year);
        QCOMPARE(LifeSpan::YearOf(text), year);
    }

    void text_data()
    {
        QTest::addColumn<QString>("bdate");
        QTest::addColumn<QString>("ddate");
        QTest::addColumn<QString>("expected");
        QTest::newRow("both years") << "1901"
                                    << "1950"
                                    << "1901 - 1950 (49)";
        // A date that gives no year gives no age (not the other year, not a negative one).
        QTest::newRow("about birth") << "about 1900"
                                     << "1950"
                                     << "about 1900 - 1950";
        QTest::newRow("unreadable death") << "1629"
                                          << "in the war"
                                          << "1629 - in the war";
        QTest::newRow("dual death year") << "1629"
                                         << "1675/1676"
                                         << "1629 - 1675/1676 (47)";
        QTest::newRow("short dual death year") << "1629"
                                               << "1675/76"
                                               << "1629 - 1675/76 (47)";
        QTest::newRow("dual birth year") << "1699/00"
                                         << "1750"
                                         << "1699/00 - 1750 (50)";
        QTest::newRow("no birth") << ""
                                  << "1950"
                                  << "";
        QTest::newRow("alive") << "1901"
                               << ""
                               << "1901";
        QTest::newRow("letters") << "abcd"
                                 << "1950"
                                 << "abcd - 1950";
        QTest::newRow("short years") << "5/6/45"
                                     << "3/4/10"
                                     << "5/6/45 - 3/4/10 (65)";
        QTest::newRow("genealogical") << "ABT 1900"
                                      << "BET 1950 AND 1951"
                                      << "ABT 1900 - BET 1950 AND 1951 (50)";
        QTest::newRow("death range backwards") << "1850"
                                               << "FROM 1900 TO 1850"
                                               << "1850 - FROM 1900 TO 1850";
        QTest::newRow("dates") << "1901-01-05"
                               << "2 May 1950"
                               << "1901-01-05 - 2 May 1950 (49)";
    }
    void text()
    {
        QFETCH(QString, bdate);
        QFETCH(QString, ddate);
        QFETCH(QString, expected);
        QCOMPARE(LifeSpan::Text(bdate, ddate), expected);
    }

    void yearsText_data()
    {
        QTest::addColumn<QString>("bdate");
        QTest::addColumn<QString>("ddate");
        QTest::addColumn<QString>("expected");
        QTest::newRow("both") << "1901"
                              << "1950"
                              << "1901 - 1950";
        QTest::newRow("living") << "1901"
                                << ""
                                << "1901";
        QTest::newRow("no birth") << ""
                                  << "1950"
                                  << "- 1950";
        QTest::newRow("neither") << ""
                                 << ""
                                 << "";
        QTest::newRow("dual death year") << "1629"
                                         << "1675/1676"
                                         << "1629 - 1676";
        QTest::newRow("unreadable death: not living") << "1629"
                                                      << "in the war"
                                                      << "1629 - ?";
        QTest::newRow("only an unreadable death") << "abcd"
                                                  << "in the war"
                                                  << "- ?";
    }
    void yearsText()
    {
        QFETCH(QString, bdate);
        QFETCH(QString, ddate);
        QFETCH(QString, expected);
        QCOMPARE(LifeSpan::YearsText(bdate, ddate), expected);
    }

    void nameText() { QCOMPARE(LifeSpan::NameText("Anna", "Berg"), QString("Anna Berg")); }

    void fileDialogFilters()
    {
        FileDialog dlg;
        dlg.setFilter("Bitmap files (*.BMP)|*.BMP|JPEG files|*.JPG;*.jpeg");
        const QStringList filters = dlg.qtNameFilters();
        QCOMPARE(filters.size(), 2);
        QCOMPARE(filters.at(0), QString("Bitmap files (*.BMP *.bmp)"));
        QCOMPARE(filters.at(1), QString("JPEG files (*.JPG *.jpg *.jpeg *.JPEG)"));
    }

    void fileDialogSelectionResult()
    {
        QCOMPARE(FileDialog::selectionResult({}), QString());
        QCOMPARE(FileDialog::selectionResult({"/p/a.jpg"}), QString("/p/a.jpg"));
        QCOMPARE(FileDialog::selectionResult({"/p/a.jpg", "/p/b.png"}),
                 QString("/p") + QChar(u'\0') + "a.jpg" + QChar(u'\0') + "b.png");
    }

    void fileDialogDriver()
    {
        FileDialog dlg;
        dlg.setFileName("before");
        {
            ScopedFileDialogDriver driver([](const FileDialog &) { return std::nullopt; });
            QVERIFY(!dlg.ShowOpen());
            QCOMPARE(dlg.FileName(), QString("before"));
        }
        {
            ScopedFileDialogDriver driver([](const FileDialog &d) {
                return std::optional<QString>(d.DialogTitle() + "/x.png");
            });
            dlg.setDialogTitle("/t");
            QVERIFY(dlg.ShowOpen());
            QCOMPARE(dlg.FileName(), QString("/t/x.png"));
        }
        QVERIFY(!FileDialog::hasDriver());
    }
};

QTEST_MAIN(TestLifeSpan)
#include "tst_lifespan.moc"
