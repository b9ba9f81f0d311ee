// The public sample files through the mapping onto rows and model and back: the second write is
// byte for byte the first, the tree check is clean on both imports, and no parent or partner
// link appears that the file lacks.
#include "support_gedcom.h"
#include "support_model.h"

#include <QDirIterator>
#include <QTest>

using namespace Gedcom;

class TestModelRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void samples_data();
    void samples();
    void awkwardFiles_data();
    void awkwardFiles();
    void datesWithoutAYear();
    void phrasesUnderADate();
};

void TestModelRoundTrip::samples_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("version7");
    for (const char *name : {"royal92.ged", "pres2020.ged", "utf8-bom.ged", "utf16le.ged"}) {
        const QString path = TestGedcom::samplePath(name);
        if (!path.isEmpty())
            QTest::newRow(name) << path << false;
    }
    const QString folder = QStringLiteral(VT_GEDCOM_SAMPLES "/gedcom70");
    QStringList files = QDir(folder).entryList({QStringLiteral("*.ged")}, QDir::Files, QDir::Name);
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << QDir(folder).filePath(file) << true;
    if (QTest::currentDataTag() == nullptr && files.isEmpty() &&
        TestGedcom::samplePath("royal92.ged").isEmpty())
        QSKIP("The public GEDCOM samples are not there.");
}

void TestModelRoundTrip::samples()
{
    QFETCH(QString, path);
    QFETCH(bool, version7);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    const Version version = version7 ? Version::Gedcom70 : Version::Gedcom551;

    const MappedTree first = TestModel::map(original);
    QVERIFY2(first.isValid(), qPrintable(first.error.text()));
    QCOMPARE(TestModel::check(first), QStringList());
    const QByteArray written = TestModel::write(first, version);

    const MappedTree second = TestModel::map(written);
    QVERIFY2(second.isValid(), qPrintable(second.error.text()));
    QCOMPARE(TestModel::check(second), QStringList());
    QCOMPARE(second.rows.size(), first.rows.size());
    const QByteArray again = TestModel::write(second, version);
    if (again != written) {
        const QList<QByteArray> a = written.split('\n'), b = again.split('\n');
        for (qsizetype i = 0; i < qMin(a.size(), b.size()); ++i) {
            if (a[i] != b[i]) {
                qWarning("line %lld differs:\n  %s\n  %s", static_cast<long long>(i + 1),
                         a[i].constData(), b[i].constData());
                break;
            }
        }
    }
    QVERIFY(again == written);

    // No link the file lacks; every link of the file that the model can hold comes back.
    const TestModel::Links before = TestModel::links(original);
    const TestModel::Links after = TestModel::links(again);
    for (const QString &link : after.parents)
        QVERIFY2(before.parents.contains(link), qPrintable(link));
    for (const QString &link : after.partners)
        QVERIFY2(before.partners.contains(link), qPrintable(link));
}

void TestModelRoundTrip::awkwardFiles_data()
{
    QTest::addColumn<QStringList>("body");
    QTest::newRow("a second FAM of an id")
        << QStringList{"0 @I1@ INDI", "1 FAMS @F1@",   "0 @F1@ FAM",  "1 HUSB @I1@", "0 @F1@ FAM",
                       "1 HUSB @I1@", "1 WIFE @VOID@", "1 CHIL @I1@", "1 MARR Y"};
    QTest::newRow("a second INDI of an id") << QStringList{
        "0 @I1@ INDI", "1 FAMC @F1@", "0 @I2@ INDI", "1 FAMS @F1@", "0 @I1@ INDI", "1 SEX F",
        "1 FAMC @F1@", "1 FAMS @F1@", "1 FAMC @F1@", "0 @F1@ FAM",  "1 HUSB @I2@", "1 CHIL @I1@"};
    QTest::newRow("a tag longer than a line") << QStringList{
        "0 @I1@ INDI", "1 _" + QString(300, QLatin1Char('X')) + " value",
        "2 _" + QString(260, QLatin1Char('Y')) + " " + QString(300, QLatin1Char('v'))};
    QTest::newRow("a long tag before letters of several bytes")
        << QStringList{"0 @I1@ INDI", "2 _" + QString(300, QChar(0x4E2D)) + " " +
                                          QString(400, QChar(0x00E9)) + QString(3, QChar(0))};
    QTest::newRow("kept under consumed lines") << QStringList{
        "0 @I1@ INDI", "1 BIRT",      "2 DATE 1900", "3 TIME 12:00",      "2 PLAC York",
        "3 _LOC @L1@", "3 MAP",       "4 LATI N1",   "4 LONG E1",         "4 _ALT 12",
        "1 DEAT",      "2 DATE 1950", "2 PLAC York", "3 FORM Other form", "0 @L1@ _LOC",
        "1 NAME York"};
    QTest::newRow("lines with nothing to say")
        << QStringList{"0 @I1@ INDI", "1 NAME", "1 BIRT",     "2 DATE",      "1 DEAT",
                       "2 PLAC",      "1 NOTE", "1 SEX",      "1 RESI",      "2 ADDR",
                       "1 FAMC @F1@", "2 PEDI", "0 @F1@ FAM", "1 CHIL @I1@", "1 DIV N"};
    QTest::newRow("pointers anywhere") << QStringList{
        "0 @I2@ INDI",      "1 SNOTE Not a pointer", "1 NOTE",      "2 DATE 1900", "1 NOTE Plain",
        "0 @I1@ INDI",      "1 NOTE @I1@",           "1 SOUR @F1@", "1 OBJE @I1@", "1 ASSO @F1@",
        "1 ALIA Name",      "1 FAMC @I1@",           "1 FAMS @S1@", "0 @F1@ FAM",  "1 HUSB @F1@",
        "1 CHIL @NOWHERE@", "0 @S1@ SOUR",           "1 REPO @I1@", "1 NOTE @S1@"};
    QTest::newRow("text that looks like GEDCOM") << QStringList{"0 @I1@ INDI",
                                                                "1 NOTE @@I1@@ and @#DJULIAN@ 1700",
                                                                "2 CONT 1 NAME not a line",
                                                                "2 CONC  with a leading blank ",
                                                                "1 EVEN @@",
                                                                "2 TYPE @#X@",
                                                                "1 BIRT",
                                                                "2 DATE @#DJULIAN@ 1 JAN 1700",
                                                                "1 CHR",
                                                                "2 DATE 1 JAN 1700 (@a phrase@)"};
    QTest::newRow("ids where tags should be") << QStringList{
        "0 @I1@ INDI", "1 CHIL @VOID", "2 @@@ FAM", "1 @X@ _TAG value", "0 @R@ @ODD@ value"};
    QTest::newRow("second lines where the first says nothing") << QStringList{
        "0 @I1@ INDI",    "1 NAME A /B/",    "2 GIVN",      "2 GIVN Ann",  "2 SURN",
        "1 BIRT",         "2 DATE",          "2 DATE 1900", "2 PLAC York", "3 MAP",
        "3 MAP",          "4 LATI N1",       "4 LONG E1",   "1 CHR",       "2 TYPE",
        "2 TYPE Private", "2 AGE",           "2 AGE 2d",    "2 SOUR @S1@", "3 PAGE",
        "3 PAGE 7",       "0 @I2@ INDI",     "1 BIRT",      "2 PLAC York", "0 @S1@ SOUR",
        "1 TITL",         "1 TITL Register", "0 @R1@ REPO", "1 NAME",      "1 NAME Archive"};
    QTest::newRow("a second valid line that the model writes later") << QStringList{
        "0 @I1@ INDI", "1 SEX M",      "1 SEX F",     "1 NAME A /B/", "1 FAMC @F1@", "1 BIRT",
        "2 PLAC York", "2 PLAC Leeds", "2 DATE 1900", "0 @I2@ INDI",  "0 @F1@ FAM",  "1 CHIL @I1@",
        "1 CHIL @I2@", "1 CHIL @I1@",  "1 MARR",      "1 WIFE @I2@",  "1 WIFE @I2@"};
    QTest::newRow("a person in every role")
        << QStringList{"0 @I1@ INDI",   "1 FAMS @F1@", "1 FAMC @F1@", "1 FAMS @F2@", "1 FAMC @F2@",
                       "2 PEDI foster", "0 @F1@ FAM",  "1 HUSB @I1@", "1 WIFE @I1@", "1 CHIL @I1@",
                       "0 @F2@ FAM",    "1 WIFE @I1@", "1 CHIL @I1@"};
}

void TestModelRoundTrip::awkwardFiles()
{
    QFETCH(QStringList, body);
    for (const Version version : {Version::Gedcom551, Version::Gedcom70}) {
        const MappedTree first = TestModel::map(TestGedcom::file(body));
        QVERIFY2(first.isValid(), qPrintable(first.error.text()));
        QCOMPARE(TestModel::check(first), QStringList());
        const QByteArray written = TestModel::write(first, version);
        const MappedTree second = TestModel::map(written);
        QCOMPARE(TestModel::check(second), QStringList());
        QCOMPARE(QString::fromUtf8(TestModel::write(second, version)), QString::fromUtf8(written));
    }
}

// A day and month with no year is no date of either grammar, but it is one as the file gives
// it: written back as it stands, not turned into a phrase, whether it sits in a row's birth or
// death or in an event of the model.
void TestModelRoundTrip::datesWithoutAYear()
{
    const QByteArray file = TestGedcom::file(
        {"0 @I1@ INDI", "1 NAME Catherine /Stuart/", "1 BIRT", "2 DATE 10 JAN", "2 PLAC London",
         "1 CHR", "2 DATE 20 JUL", "1 DEAT", "2 DATE JAN", "0 @I2@ INDI", "1 BIRT",
         "2 DATE in the spring", "0 @F1@ FAM", "1 HUSB @I1@", "1 MARR", "2 DATE 20 JUL"});
    const MappedTree first = TestModel::map(file);
    QVERIFY2(first.isValid(), qPrintable(first.error.text()));
    QCOMPARE(TestModel::rows(first).value(TestModel::rowOf(first, "I1")).Bdate, QString("10 JAN"));
    const QString written = QString::fromUtf8(TestModel::write(first, Version::Gedcom551));
    for (const char *date : {"2 DATE 10 JAN\n", "2 DATE 20 JUL\n", "2 DATE JAN\n"})
        QVERIFY2(written.contains(QLatin1String(date)), qPrintable(written));
    QCOMPARE(written.count(QLatin1String("2 DATE 20 JUL\n")), 2);
    // Words that are no date stay a phrase.
    QVERIFY2(written.contains(QLatin1String("2 DATE (in the spring)")), qPrintable(written));
    // Again through the mapping: the same file.
    QCOMPARE(
        QString::fromUtf8(TestModel::write(TestModel::map(written.toUtf8()), Version::Gedcom551)),
        written);
    // 7.0 writes it as it writes such a date of an event.
    const QString written7 = QString::fromUtf8(TestModel::write(first, Version::Gedcom70));
    QVERIFY2(written7.contains(QLatin1String("2 DATE 10 JAN\n")), qPrintable(written7));
    QVERIFY2(written7.contains(QLatin1String("2 DATE 20 JUL\n")), qPrintable(written7));
}

// Two PHRASE lines under a DATE (a 7.0 structure in a file read as 5.5.1): the first is the
// date's, the second stays as read under it. Written in 5.5.1 the date becomes "(first)", which
// holds its phrase already: the kept PHRASE read back is not joined to it, the birth keeps its
// record and its place before the death, and nothing is lost.
void TestModelRoundTrip::phrasesUnderADate()
{
    const QByteArray file = TestGedcom::file(
        {"0 @X1@ INDI", "1 NAME Jon /Lund/", "1 BIRT", "2 DATE", "3 PHRASE sometime in spring",
         "3 PHRASE after the thaw", "1 DEAT", "2 DATE FROM 1990 TO 1991", "1 EVEN", "2 DATE",
         "3 PHRASE in summer", "3 PHRASE or autumn", "1 CHR", "2 DATE (early)", "3 PHRASE later",
         "1 BURI", "2 DATE INT 1850 (about then)", "3 PHRASE near"});
    for (const Version version : {Version::Gedcom551, Version::Gedcom70}) {
        const MappedTree first = TestModel::map(file);
        QVERIFY2(first.isValid(), qPrintable(first.error.text()));
        QCOMPARE(TestModel::rows(first).value(0).Bdate, QString("sometime in spring"));
        const QString written = QString::fromUtf8(TestModel::write(first, version));
        for (const char *phrase : {"sometime in spring", "after the thaw", "in summer", "or autumn",
                                   "early", "later", "about then", "near"})
            QVERIFY2(written.contains(QLatin1String(phrase)), qPrintable(written));
        QVERIFY2(written.indexOf(QLatin1String("1 BIRT")) <
                     written.indexOf(QLatin1String("1 DEAT")),
                 qPrintable(written));
        const MappedTree second = TestModel::map(written.toUtf8());
        QCOMPARE(TestModel::check(second), QStringList());
        QCOMPARE(TestModel::rows(second).value(0).Bdate, QString("sometime in spring"));
        QCOMPARE(QString::fromUtf8(TestModel::write(second, version)), written);
    }
}

QTEST_GUILESS_MAIN(TestModelRoundTrip)
#include "tst_modelroundtrip.moc"
