// The public sample files: every person accounted for, a sample of names, dates and places
// checked by hand against the files, the UTF-16 copy read like the UTF-8 one, and a second
// import of one file kept apart from the first.
#include "support_gedcom.h"

#include <QSet>
#include <QTest>

using namespace Gedcom;
using TestGedcom::row;

class TestSamples : public QObject
{
    Q_OBJECT

private slots:
    void royal92();
    void pres2020();
    void utf16ReadsLikeUtf8();
    void secondImportIsKeptApart();
};

namespace {

void checkCounts(const ImportPlan &plan, qsizetype persons, qsizetype families)
{
    const ImportCounts &c = plan.counts;
    QCOMPARE(c.persons, persons);
    QCOMPARE(c.families, families);
    QCOMPARE(c.rows + c.partners + c.noted, c.persons);
    QCOMPARE(plan.rows.size(), c.rows);
    QCOMPARE(c.brokenPointers, 0);
    QCOMPARE(c.duplicateXrefs, 0);
    QCOMPARE(c.malformedLines, 0);
}

} // namespace

void TestSamples::royal92()
{
    VT_REQUIRE_SAMPLE(path, "royal92.ged");
    const ImportPlan plan = planImportFile(path, {});
    QVERIFY2(plan.isValid(), qPrintable(plan.error.text()));
    checkCounts(plan, 3010, 1422);
    QVERIFY(plan.summary().contains(QStringLiteral("unknown tags: COMM (1)")));

    const PersonRecord victoria = row(plan, "I1");
    QCOMPARE(victoria.Fname, QStringLiteral("Victoria"));
    QCOMPARE(victoria.Sname, QStringLiteral("Hanover"));
    QCOMPARE(victoria.Bdate, QStringLiteral("24 MAY 1819"));
    QCOMPARE(victoria.Bplace, QStringLiteral("Kensington,Palace,London,England"));
    QCOMPARE(victoria.Ddate, QStringLiteral("22 JAN 1901"));
    QCOMPARE(victoria.Dplace, QStringLiteral("Osborne House,Isle of Wight,England"));
    QCOMPARE(victoria.PrntKey, QStringLiteral("I133")); // F42: HUSB I133, CHIL I1
    // F1: HUSB I2 (Albert), WIFE I1; both are children, so Albert is the line parent.
    QCOMPARE(victoria.PrtFname, QStringLiteral("Albert Augustus Charles"));
    QVERIFY(victoria.Notes.startsWith(QStringLiteral(
        "Title: Queen of England\nBurial: Royal Mausoleum,Frogmore,Berkshire,England\n")));
    QVERIFY(victoria.Notes.endsWith(QStringLiteral("Children listed under: I2\nPartner ID: I2")));
    QVERIFY(row(plan, "I2").Notes.endsWith(QStringLiteral("\nPartner ID: I1")));

    const PersonRecord vicky = row(plan, "I3"); // NAME Victoria Adelaide Mary//
    QCOMPARE(vicky.Fname, QStringLiteral("Victoria Adelaide Mary"));
    QCOMPARE(vicky.Sname, QString());
    QCOMPARE(vicky.PrntKey, QStringLiteral("I2"));
    QCOMPARE(vicky.Ddate, QStringLiteral("5 AUG 1901")); // written " 5 AUG 1901"
    QCOMPARE(vicky.Dplace, QStringLiteral("Friedrichshof,Near,Kronberg,Taunus"));
}

void TestSamples::pres2020()
{
    VT_REQUIRE_SAMPLE(path, "pres2020.ged");
    const ImportPlan plan = planImportFile(path, {});
    QVERIFY2(plan.isValid(), qPrintable(plan.error.text()));
    checkCounts(plan, 2322, 1115);
    QCOMPARE(plan.counts.photosMissing, 91); // the media folder did not travel with the file

    const PersonRecord lincoln = row(plan, "I317");
    QCOMPARE(lincoln.Fname + QLatin1Char(' ') + lincoln.Sname, QStringLiteral("Abraham Lincoln"));
    QCOMPARE(lincoln.Bdate, QStringLiteral("12 FEB 1809"));
    QCOMPARE(lincoln.Bplace, QStringLiteral("Sinking Spring, Hodgenville, Larue, Kentucky, USA"));
    QCOMPARE(lincoln.Ddate, QStringLiteral("15 APR 1865"));
    QCOMPARE(lincoln.Dplace, QStringLiteral("Washington, District of Columbia, USA"));
    QCOMPARE(lincoln.PrntKey, QStringLiteral("I318")); // F173: HUSB Thomas Lincoln
    // NOTE @N14@ is joined from CONC lines; OCCU and BURI become lines.
    QVERIFY(lincoln.Notes.startsWith(QStringLiteral(
        "Won the 1860 election over the two democratic candidates Stephen A. Douglas")));
    QVERIFY(lincoln.Notes.contains(QStringLiteral(
        "\nOccupation: US President No. 16, Republican, 4 MAR 1861, Washington, District of "
        "Columbia, USA\n")));
    QVERIFY(
        lincoln.Notes.contains(QStringLiteral("\nBurial: Springfield, Sangamon, Illinois, USA")));

    const PersonRecord washington = row(plan, "I395");
    QCOMPARE(washington.Bdate, QStringLiteral("11 FEB 1732"));
    QCOMPARE(washington.Bplace, QStringLiteral("Pope's Creek, Westmoreland, Virginia, USA"));
    QCOMPARE(washington.Ddate, QStringLiteral("14 DEC 1799"));

    const PersonRecord clinton = row(plan, "I1");
    QCOMPARE(clinton.Fname, QStringLiteral("William Jefferson"));
    QCOMPARE(clinton.Bplace, QStringLiteral("Hope, Hempstead, Arkansas, USA"));
}

void TestSamples::utf16ReadsLikeUtf8()
{
    VT_REQUIRE_SAMPLE(utf8, "utf8-bom.ged");
    VT_REQUIRE_SAMPLE(utf16, "utf16le.ged");
    const ImportPlan a = planImportFile(utf8, {}), b = planImportFile(utf16, {});
    QCOMPARE(a.counts.persons, 3);
    QCOMPARE(TestGedcom::rows(b), TestGedcom::rows(a));
    QCOMPARE(b.summary(), a.summary());
    // Joe's second family is an adoption.
    QCOMPARE(row(a, "I3").PrntKey, QStringLiteral("I1"));
    QVERIFY(row(a, "I3").Notes.contains(QStringLiteral("Also child of: Robert Eugene Williams "
                                                       "(adopted)")));
}

void TestSamples::secondImportIsKeptApart()
{
    VT_REQUIRE_SAMPLE(path, "royal92.ged");
    const ImportPlan first = planImportFile(path, {});
    QSet<QString> taken;
    for (const PlannedRow &r : first.rows)
        taken.insert(r.record.ID);
    ImportContext context;
    context.isKeyTaken = [&taken](const QString &key) { return taken.contains(key); };
    const ImportPlan second = planImportFile(path, context);
    QCOMPARE(second.rows.size(), first.rows.size());
    for (qsizetype i = 0; i < second.rows.size(); ++i) {
        const PersonRecord &a = first.rows[i].record, &b = second.rows[i].record;
        QVERIFY(!taken.contains(b.ID));
        QCOMPARE(b.ID, a.ID + QStringLiteral("-2"));
        QCOMPARE(b.PrntKey,
                 a.PrntKey == QLatin1String("ROOT") ? a.PrntKey : a.PrntKey + QStringLiteral("-2"));
    }
}

QTEST_GUILESS_MAIN(TestSamples)
#include "tst_samples.moc"
