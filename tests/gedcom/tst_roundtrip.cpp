// rows -> export -> import gives the rows again on every column (ISO and numeric dates come back
// in GEDCOM form, CR LF in notes as LF), and a second export is byte for byte the first.
#include "support_gedcom.h"

#include "DateText.h"

#include <QTest>

using namespace Gedcom;

namespace {

// A tree with the awkward values a real one collects.
QList<PersonRecord> awkwardTree()
{
    auto make = [](const QString &id, const QString &parent, const QString &fname,
                   const QString &sname) {
        PersonRecord r;
        r.ID = id;
        r.PrntKey = parent;
        r.Fname = fname;
        r.Sname = sname;
        return r;
    };
    QList<PersonRecord> rows;
    PersonRecord root = make("R", "ROOT", "Ann", "Lee");
    root.PrtFname = "Bob";
    root.PrtSname = "Ray";
    root.Bdate = "1950-03-12";
    root.Ddate = "12.3.01";
    root.Bplace = "York, Yorkshire, England";
    root.Notes = "First line\r\nsecond line\rthird\n\nafter a blank line";
    rows << root;
    PersonRecord child = make("C1", "R", "  Spaced  ", "Name with / slash");
    child.Bdate = "ABT 1900";
    child.Ddate = "after the war";
    child.Laddress = "1 Main St\nFlat 2";
    child.Lcity = "Town";
    child.Notes = QStringLiteral("é @ 漢字 word ").repeated(60) + "@start\n@@double";
    rows << child;
    PersonRecord mail = make("C2", "R", "@lead", "a@b");
    mail.PrtSname = "Only surname";
    mail.Lcountry = "Land";
    mail.Bdate = "(in brackets)";
    mail.Ddate = " 1900 ";
    rows << mail;
    rows << make("G1", "C2", QString(), QString());        // no name at all
    rows << make("ROOTLESS", "gone", "Orphan", QString()); // parent key that names no row
    rows << make("SELF", "SELF", "Own", "Parent");
    rows << make("X", "Y", "In", "Cycle") << make("Y", "X", "Other", "Cycle");
    PersonRecord l = make("L", "C1", "Lou", "Lake"), q = make("Q", "C2", "Quin", "Quay");
    l.PrtFname = q.Fname;
    l.PrtSname = q.Sname;
    q.PrtFname = l.Fname;
    q.PrtSname = l.Sname;
    l.Notes = "Partner ID: Q";
    q.Notes = "Own words\nChildren listed under: L\nPartner ID: L";
    rows << l << q << make("LK", "L", "Pair", "Child") << make("QK", "Q", "Her", "Own");
    PersonRecord fake = make("F", "ROOT", "Fake", "Lines");
    fake.Notes = "Partner ID: nobody";
    rows << fake;
    PersonRecord unicode = make("Ü-1", "ROOT", "Zoë", "Ångström");
    unicode.PrtFname = "😀";
    unicode.Bdate = "2 Oct 1822";
    unicode.Notes = QString(2000, QChar(0x6F22));
    rows << unicode;
    return rows;
}

// What an import gives back for a row: dates in GEDCOM form, line breaks as LF.
PersonRecord expectedBack(PersonRecord r, Version version)
{
    for (QString *date : {&r.Bdate, &r.Ddate}) {
        const QString converted = DateText::fromNumeric(*date);
        if (!converted.isEmpty())
            *date = converted;
        // A date typed with extra blanks comes back as that date, its blanks single.
        else if (const DateText::Written written = DateText::toGedcom(*date, version);
                 written.isDate)
            *date = written.value;
    }
    r.Notes.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    r.Notes.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return r;
}

} // namespace

class TestRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void awkwardRows_data();
    void awkwardRows();
    void samples_data();
    void samples();
};

void TestRoundTrip::awkwardRows_data()
{
    QTest::addColumn<bool>("v7");
    QTest::newRow("5.5.1") << false;
    QTest::newRow("7.0") << true;
}

void TestRoundTrip::awkwardRows()
{
    QFETCH(bool, v7);
    const Version version = v7 ? Version::Gedcom70 : Version::Gedcom551;
    const QList<PersonRecord> tree = awkwardTree();
    QByteArray first;
    const QList<PersonRecord> back = TestGedcom::roundTrip(tree, version, &first);
    QCOMPARE(back.size(), tree.size());
    for (qsizetype i = 0; i < tree.size(); ++i)
        QCOMPARE(back[i], expectedBack(tree[i], version));
    QVERIFY(!first.contains("Partner ID: Q")); // the pair L-Q was written as one family
    QVERIFY(first.contains("Partner ID: nobody"));

    QByteArray second;
    TestGedcom::roundTrip(back, version, &second);
    QCOMPARE(TestGedcom::withoutTimestamp(second), TestGedcom::withoutTimestamp(first));
}

void TestRoundTrip::samples_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("v7");
    for (const char *name : {"royal92.ged", "pres2020.ged"}) {
        QTest::addRow("%s 5.5.1", name) << QString::fromLatin1(name) << false;
        QTest::addRow("%s 7.0", name) << QString::fromLatin1(name) << true;
    }
}

// A real tree: import it, then export and import again.
void TestRoundTrip::samples()
{
    QFETCH(QString, name);
    QFETCH(bool, v7);
    VT_REQUIRE_SAMPLE(path, name.toLatin1().constData());
    const Version version = v7 ? Version::Gedcom70 : Version::Gedcom551;
    const QList<PersonRecord> tree = TestGedcom::rows(planImportFile(path, {}));
    QVERIFY(tree.size() > 1000);
    QByteArray first, second;
    const QList<PersonRecord> back = TestGedcom::roundTrip(tree, version, &first);
    QCOMPARE(back.size(), tree.size());
    for (qsizetype i = 0; i < tree.size(); ++i)
        QCOMPARE(back[i], expectedBack(tree[i], version));
    TestGedcom::roundTrip(back, version, &second);
    QVERIFY(TestGedcom::withoutTimestamp(second) == TestGedcom::withoutTimestamp(first));
}

QTEST_GUILESS_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
