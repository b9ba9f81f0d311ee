// The store's rules for the texts of a tree: which keys have a photo folder, and how numeric
// dates read (the life-span years and the GEDCOM export both build on this reading).
#include "DateReader.h"
#include "PhotoFolders.h"

#include <QTest>

class TestRules : public QObject
{
    Q_OBJECT

private slots:
    void photoFolders()
    {
        QCOMPARE(PhotoFolders::Root("/d/Data/"), QString("/d/Data/Photos/"));
        QCOMPARE(PhotoFolders::Root("/d/Data"), QString("/d/Data/Photos/"));
        QCOMPARE(PhotoFolders::FolderOf("/d/Data", "K1"), QString("/d/Data/Photos/K1/"));
        QCOMPARE(PhotoFolders::FolderOf("/d/Data/", "A1"), QString("/d/Data/Photos/A1/"));
        QCOMPARE(PhotoFolders::FolderOf("/d/Data/", "Ann Berg's"),
                 QString("/d/Data/Photos/Ann Berg's/"));

        QVERIFY(PhotoFolders::IsPlainName("K1"));
        QVERIFY(PhotoFolders::IsPlainName("Ann Berg's"));
        const QString withNul = QString("a") + QChar(u'\0') + "b";
        for (const QString &key :
             {QString(), QString("."), QString(".."), QString("a/b"), QString("..\\x"), withNul}) {
            QVERIFY2(!PhotoFolders::IsPlainName(key), qPrintable(key));
            QVERIFY2(PhotoFolders::FolderOf("/d/Data/", key).isEmpty(), qPrintable(key));
        }
    }

    void numericDates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("julian");
        QTest::addColumn<QString>("read"); // "year-month-day monthFirst digits", or "" for none
        const struct
        {
            const char *text;
            bool julian;
            const char *read;
        } cases[] = {
            {"1950-06-30", false, "1950-6-30 0 4"},
            {"1950/6/30", false, "1950-6-30 0 4"},
            {"30.06.1950", false, "1950-6-30 0 4"},
            {"6-30-1950", false, "1950-6-30 1 4"}, // only month first names a day
            {"5/6/45", false, "1945-6-5 0 2"},
            {"1.2.5", false, "2005-2-1 0 1"},
            {"1.1.29", false, "2029-1-1 0 2"},
            {"1.1.30", false, "1930-1-1 0 2"},
            {"1950-03", false, "1950-3-0 0 4"},
            {"1950/03", false, ""},
            {"1950-3", false, ""},
            {"29.02.1900", false, ""},
            {"29.02.1900", true, "1900-2-29 0 4"},
            {"13/13/1950", false, ""},
            {"5/6.1945", false, ""},
            {"1950-06-300", false, ""},
            {"123.1.1950", false, ""},
            {"1.2.3.4", false, ""},
            {"1950", false, ""},
            {" 1.2.1950", false, ""},
        };
        for (const auto &c : cases)
            QTest::newRow(c.text) << QString::fromLatin1(c.text) << c.julian
                                  << QString::fromLatin1(c.read);
    }
    void numericDates()
    {
        QFETCH(QString, text);
        QFETCH(bool, julian);
        QFETCH(QString, read);
        const auto date = DateReader::ReadNumeric(text, julian ? DateReader::Calendar::Julian
                                                               : DateReader::Calendar::Gregorian);
        const QString got = date ? QString("%1-%2-%3 %4 %5")
                                       .arg(date->year)
                                       .arg(date->month)
                                       .arg(date->day)
                                       .arg(int(date->monthFirst))
                                       .arg(date->yearDigits)
                                 : QString();
        QCOMPARE(got, read);
    }

    // Dual years: the later number is today's year; anything else is none. Found by fuzzing:
    // a long run of digits after a slash in a longer text once overflowed the reading.
    void dualYears()
    {
        QCOMPARE(DateReader::DualYear(u"1675/76"), std::optional<int>(1676));
        QCOMPARE(DateReader::DualYear(u"1699/00"), std::optional<int>(1700));
        QCOMPARE(DateReader::DualYear(u"1675/80"), std::nullopt);
        QCOMPARE(DateReader::DualYear(u";BEF %31 405DEC 18/77777777799"), std::nullopt);
        QCOMPARE(DateReader::DualYear(u"1777/77777777799"), std::nullopt);
        QCOMPARE(DateReader::DualYear(u"0000000001999/2000"), std::nullopt);
        QCOMPARE(DateReader::DualYear(u"001/02"), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
