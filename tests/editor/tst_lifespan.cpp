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
        QTest::newRow("about birth") << "about 1900"
                                     << "1950"
                                     << "about 1900 - 1950 (1950)";
        QTest::newRow("no birth") << ""
                                  << "1950"
                                  << "";
        QTest::newRow("alive") << "1901"
                               << ""
                               << "1901";
        QTest::newRow("letters") << "abcd"
                                 << "1950"
                                 << "abcd - 1950 (1950)";
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
