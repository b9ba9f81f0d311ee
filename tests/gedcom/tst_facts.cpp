// The fact-by-fact comparison of two GEDCOM files: pairs of small files where what is kept, lost
// and wrong is known, persons matched across renumbered ids and duplicate names, and the public
// samples compared with themselves and across their encodings.
#include "FactCompare.h"
#include "support_gedcom.h"

#include <QTest>

using namespace GedcomFacts;

class TestFacts : public QObject
{
    Q_OBJECT

private slots:
    void sameFileKeepsEverything();
    void renumberedAndReorderedRecordsCompare();
    void lostFactsAreCountedPerCategory();
    void childMovedToAnotherPartnerIsAWrongLink();
    void duplicateNamesAreToldApartByKin();
    void personWithoutBirthYearOrSuffixIsStillFound();
    void factsAreCountedAsOftenAsTheyOccur();
    void valuesFoundInNotesAreCountedApart();
    void harmlessSpellingDifferencesAreKept();
    void keptAsReadStructuresAreCounted();
    void samplesCompareWithThemselves();
    void utf16SampleEqualsUtf8Sample();
};

namespace {

const QStringList kFamily = {
    QStringLiteral("0 @I1@ INDI"),
    QStringLiteral("1 NAME John /Smith/"),
    QStringLiteral("1 SEX M"),
    QStringLiteral("1 BIRT"),
    QStringLiteral("2 DATE 1 JAN 1800"),
    QStringLiteral("2 PLAC London, England"),
    QStringLiteral("1 OCCU Miller"),
    QStringLiteral("1 FAMS @F1@"),
    QStringLiteral("1 FAMS @F2@"),
    QStringLiteral("1 SOUR @S1@"),
    QStringLiteral("2 PAGE p. 7"),
    QStringLiteral("1 NOTE A miller of London"),
    QStringLiteral("1 OBJE"),
    QStringLiteral("2 FILE photos/john.jpg"),
    QStringLiteral("0 @I2@ INDI"),
    QStringLiteral("1 NAME Mary /Brown/"),
    QStringLiteral("1 SEX F"),
    QStringLiteral("1 BIRT"),
    QStringLiteral("2 DATE 1802"),
    QStringLiteral("1 FAMS @F1@"),
    QStringLiteral("0 @I3@ INDI"),
    QStringLiteral("1 NAME Ann /Green/"),
    QStringLiteral("1 SEX F"),
    QStringLiteral("1 FAMS @F2@"),
    QStringLiteral("0 @I4@ INDI"),
    QStringLiteral("1 NAME Tom /Smith/"),
    QStringLiteral("1 BIRT"),
    QStringLiteral("2 DATE 1825"),
    QStringLiteral("1 FAMC @F1@"),
    QStringLiteral("0 @I5@ INDI"),
    QStringLiteral("1 NAME Kate /Smith/"),
    QStringLiteral("1 BIRT"),
    QStringLiteral("2 DATE 1840"),
    QStringLiteral("1 FAMC @F2@"),
    QStringLiteral("0 @F1@ FAM"),
    QStringLiteral("1 HUSB @I1@"),
    QStringLiteral("1 WIFE @I2@"),
    QStringLiteral("1 CHIL @I4@"),
    QStringLiteral("1 MARR"),
    QStringLiteral("2 DATE 1823"),
    QStringLiteral("0 @F2@ FAM"),
    QStringLiteral("1 HUSB @I1@"),
    QStringLiteral("1 WIFE @I3@"),
    QStringLiteral("1 CHIL @I5@"),
    QStringLiteral("0 @S1@ SOUR"),
    QStringLiteral("1 TITL Parish register"),
};

Comparison compareBytes(const QByteArray &first, const QByteArray &second)
{
    FactFile a;
    FactFile b;
    QString error;
    if (!a.loadBytes(first, &error) || !b.loadBytes(second, &error))
        qFatal("a test file does not read: %s", qPrintable(error));
    return compare(a, b);
}

Comparison compareLines(const QStringList &first, const QStringList &second)
{
    return compareBytes(TestGedcom::file(first), TestGedcom::file(second));
}

Figures figures(const Comparison &c, Category category)
{
    return c.categories[size_t(category)];
}

QStringList lostTexts(const Comparison &c)
{
    QStringList texts;
    for (const LostFact &fact : c.lost)
        texts.append(fact.text);
    return texts;
}

// The lines with `from` replaced by `to` (whole lines).
QStringList replaced(QStringList lines, const QString &from, const QString &to)
{
    const qsizetype at = lines.indexOf(from);
    if (at < 0)
        qFatal("no line %s", qPrintable(from));
    if (to.isNull())
        lines.removeAt(at);
    else
        lines[at] = to;
    return lines;
}

} // namespace

void TestFacts::sameFileKeepsEverything()
{
    const Comparison c = compareLines(kFamily, kFamily);
    QVERIFY2(c.isComplete(), qPrintable(report(c, true)));
    QCOMPARE(c.personsFirst, 5);
    QCOMPARE(figures(c, Category::Persons).total, 5);
    QCOMPARE(figures(c, Category::ParentLinks).total, 4); // Tom: John, Mary; Kate: John, Ann
    QCOMPARE(figures(c, Category::PartnerLinks).total, 2);
    QCOMPARE(figures(c, Category::Birth).total, 4);
    QCOMPARE(figures(c, Category::OtherEvents).total, 1);
    QCOMPARE(figures(c, Category::FamilyEvents).total, 1);
    QCOMPARE(figures(c, Category::Citations).total, 1);
    QCOMPARE(figures(c, Category::Notes).total, 1);
    QCOMPARE(figures(c, Category::Media).total, 1);
    QCOMPARE(c.overall(false).kept, c.overall(false).total);
    QVERIFY(report(c, false).contains(QStringLiteral("wrong parent links (in the second file "
                                                     "only): 0")));
}

void TestFacts::renumberedAndReorderedRecordsCompare()
{
    // Every id changed, the persons in another order, the families' lines shuffled.
    QStringList second;
    for (QString line : kFamily) {
        line.replace(QLatin1String("@I"), QLatin1String("@P9"))
            .replace(QLatin1String("@F"), QLatin1String("@FAM"))
            .replace(QLatin1String("@S1@"), QLatin1String("@SRC@"));
        second.append(line);
    }
    // Move the first person (14 lines) behind the others.
    const QStringList john = second.mid(0, 14);
    second = second.mid(14) + john;
    const Comparison c = compareLines(kFamily, second);
    QVERIFY2(c.isComplete(), qPrintable(report(c, true)));
    QCOMPARE(c.overall(false).kept, compareLines(kFamily, kFamily).overall(false).kept);
}

void TestFacts::lostFactsAreCountedPerCategory()
{
    QStringList second = replaced(kFamily, QStringLiteral("2 PLAC London, England"), QString());
    second = replaced(second, QStringLiteral("1 SEX F"), QString()); // Mary's
    second = replaced(second, QStringLiteral("2 PAGE p. 7"), QStringLiteral("2 PAGE p. 8"));
    second = replaced(second, QStringLiteral("1 NOTE A miller of London"), QString());
    second = replaced(second, QStringLiteral("2 FILE photos/john.jpg"),
                      QStringLiteral("2 FILE elsewhere/john.jpg")); // the same file name
    const Comparison c = compareLines(kFamily, second);
    QCOMPARE(figures(c, Category::Birth).kept, 3);
    QCOMPARE(figures(c, Category::Sex).kept, 2);
    QCOMPARE(figures(c, Category::Sex).total, 3);
    QCOMPARE(figures(c, Category::Citations).kept, 0);
    QCOMPARE(figures(c, Category::Notes).kept, 0);
    QCOMPARE(figures(c, Category::Media).kept, 1);
    QCOMPARE(figures(c, Category::ParentLinks).kept, 4);
    QVERIFY(c.wrongParentLinks.isEmpty());
    QCOMPARE(lostTexts(c),
             QStringList({QStringLiteral("John Smith (1800): BIRT | 1 JAN 1800 | London, England"),
                          QStringLiteral("John Smith (1800): SOUR Parish register | PAGE p. 7"),
                          QStringLiteral("John Smith (1800): NOTE A miller of London"),
                          QStringLiteral("Mary Brown (1802): SEX F")}));
    const auto perTag = c.lostPerTag();
    QCOMPARE(perTag.value({Category::Birth, "BIRT"}), 1);
    QCOMPARE(perTag.value({Category::Sex, "SEX"}), 1);
    QVERIFY(!c.isComplete());
    // A file that lost everything keeps nothing, and a missing person loses its links.
    const Comparison empty = compareLines(kFamily, {});
    QCOMPARE(empty.overall(false).kept, 0);
    QCOMPARE(empty.lost.size(), size_t(empty.overall(false).total));
}

void TestFacts::childMovedToAnotherPartnerIsAWrongLink()
{
    // Kate comes back as Mary's daughter: Ann's link is lost, Mary's is wrong.
    QStringList second = replaced(kFamily, QStringLiteral("1 CHIL @I5@"), QString());
    second.insert(second.indexOf(QStringLiteral("1 CHIL @I4@")) + 1, QStringLiteral("1 CHIL @I5@"));
    second = replaced(second, QStringLiteral("1 FAMC @F2@"), QStringLiteral("1 FAMC @F1@"));
    const Comparison c = compareLines(kFamily, second);
    QCOMPARE(c.wrongParentLinks,
             (QList<QPair<QString, QString>>{
                 {QStringLiteral("Kate Smith (1840)"), QStringLiteral("Mary Brown (1802)")}}));
    QCOMPARE(c.childrenWithWrongParent(), 1);
    QCOMPARE(figures(c, Category::ParentLinks).kept, 3);
    QVERIFY(lostTexts(c).contains(QStringLiteral("Kate Smith (1840): child of Ann Green (-)")));
    QVERIFY(c.wrongPartnerLinks.isEmpty());
    QVERIFY(
        report(c, false).contains(QStringLiteral("Kate Smith (1840): child of Mary Brown (1802)")));

    // A partner who comes back twice (a full record and a name-only one) is a wrong partner.
    QStringList twice =
        replaced(kFamily, QStringLiteral("1 WIFE @I3@"), QStringLiteral("1 WIFE @I9@"));
    twice << QStringLiteral("0 @I9@ INDI") << QStringLiteral("1 NAME Ann /Green/")
          << QStringLiteral("1 BIRT") << QStringLiteral("2 DATE 1790");
    const Comparison d = compareLines(kFamily, twice);
    QCOMPARE(d.onlyInSecond,
             QStringList{QStringLiteral("Ann Green (1790) [only in the second file]")});
    QCOMPARE(d.wrongPartnerLinks.size(), 1);
    QCOMPARE(d.wrongParentLinks.size(), 1);
    QCOMPARE(figures(d, Category::PartnerLinks).kept, 1);
}

void TestFacts::duplicateNamesAreToldApartByKin()
{
    // Two William Marshals without dates: one is Ann's father, the other Ben's. The second file
    // lists them the other way round under other ids.
    const QStringList first{QStringLiteral("0 @I1@ INDI"),
                            QStringLiteral("1 NAME William /Marshal/"),
                            QStringLiteral("1 OCCU Earl"),
                            QStringLiteral("0 @I2@ INDI"),
                            QStringLiteral("1 NAME William /Marshal/"),
                            QStringLiteral("1 OCCU Knight"),
                            QStringLiteral("0 @I3@ INDI"),
                            QStringLiteral("1 NAME Ann //"),
                            QStringLiteral("0 @I4@ INDI"),
                            QStringLiteral("1 NAME Ben //"),
                            QStringLiteral("0 @F1@ FAM"),
                            QStringLiteral("1 HUSB @I1@"),
                            QStringLiteral("1 CHIL @I3@"),
                            QStringLiteral("0 @F2@ FAM"),
                            QStringLiteral("1 HUSB @I2@"),
                            QStringLiteral("1 CHIL @I4@")};
    const QStringList second{QStringLiteral("0 @X3@ INDI"),
                             QStringLiteral("1 NAME Ann"),
                             QStringLiteral("0 @X2@ INDI"),
                             QStringLiteral("1 NAME William /Marshal/"),
                             QStringLiteral("1 OCCU Knight"),
                             QStringLiteral("0 @X1@ INDI"),
                             QStringLiteral("1 NAME William /Marshal/"),
                             QStringLiteral("1 OCCU Earl"),
                             QStringLiteral("0 @X4@ INDI"),
                             QStringLiteral("1 NAME Ben"),
                             QStringLiteral("0 @G2@ FAM"),
                             QStringLiteral("1 HUSB @X2@"),
                             QStringLiteral("1 CHIL @X4@"),
                             QStringLiteral("0 @G1@ FAM"),
                             QStringLiteral("1 HUSB @X1@"),
                             QStringLiteral("1 CHIL @X3@")};
    const Comparison c = compareLines(first, second);
    QVERIFY2(c.isComplete(), qPrintable(report(c, true)));
    QCOMPARE(figures(c, Category::OtherEvents).kept, 2);

    // Told apart by their parents when their kin are alike.
    const QStringList children{QStringLiteral("0 @I1@ INDI"),  QStringLiteral("1 NAME John /Doe/"),
                               QStringLiteral("1 BIRT"),       QStringLiteral("2 DATE 1900"),
                               QStringLiteral("1 OCCU Baker"), QStringLiteral("1 FAMC @F1@"),
                               QStringLiteral("0 @I2@ INDI"),  QStringLiteral("1 NAME John /Doe/"),
                               QStringLiteral("1 BIRT"),       QStringLiteral("2 DATE 1900"),
                               QStringLiteral("1 OCCU Smith"), QStringLiteral("1 FAMC @F2@"),
                               QStringLiteral("0 @I3@ INDI"),  QStringLiteral("1 NAME Al /Doe/"),
                               QStringLiteral("0 @I4@ INDI"),  QStringLiteral("1 NAME Bo /Doe/"),
                               QStringLiteral("0 @F1@ FAM"),   QStringLiteral("1 HUSB @I3@"),
                               QStringLiteral("1 CHIL @I1@"),  QStringLiteral("0 @F2@ FAM"),
                               QStringLiteral("1 HUSB @I4@"),  QStringLiteral("1 CHIL @I2@")};
    QStringList swapped = children;
    // The two Johns change places.
    std::rotate(swapped.begin(), swapped.begin() + 6, swapped.begin() + 12);
    const Comparison d = compareLines(children, swapped);
    QVERIFY2(d.isComplete(), qPrintable(report(d, true)));
}

void TestFacts::personWithoutBirthYearOrSuffixIsStillFound()
{
    // John's birth and Tom's suffix are lost; both are still found, so their other facts and
    // links count as kept.
    QStringList first = replaced(kFamily, QStringLiteral("1 NAME Tom /Smith/"),
                                 QStringLiteral("1 NAME Tom /Smith/ jr."));
    QStringList second = replaced(kFamily, QStringLiteral("2 DATE 1 JAN 1800"), QString());
    second = replaced(second, QStringLiteral("2 PLAC London, England"), QString());
    second = replaced(second, QStringLiteral("1 BIRT"), QString());
    const Comparison c = compareLines(first, second);
    QVERIFY(c.onlyInSecond.isEmpty());
    QCOMPARE(figures(c, Category::Persons).kept, 5);
    QCOMPARE(figures(c, Category::ParentLinks).kept, 4);
    QVERIFY(c.wrongParentLinks.isEmpty());
    QCOMPARE(lostTexts(c), QStringList({QStringLiteral("John Smith (1800): BIRT | 1 JAN 1800 | "
                                                       "London, England"),
                                        QStringLiteral("Tom Smith jr. (1825): NAME Tom /Smith/ "
                                                       "jr.")}));
    // A name that lost its prefix and particle is still its person's, when no other person of
    // that year fits.
    first = replaced(kFamily, QStringLiteral("1 NAME John /Smith/"),
                     QStringLiteral("1 NAME Sir John /de Smith/"));
    const Comparison d = compareLines(first, kFamily);
    QVERIFY(d.onlyInSecond.isEmpty());
    QCOMPARE(figures(d, Category::ParentLinks).kept, 4);
    QCOMPARE(lostTexts(d), QStringList{QStringLiteral("Sir John de Smith (1800): NAME Sir John "
                                                      "/de Smith/")});
}

void TestFacts::factsAreCountedAsOftenAsTheyOccur()
{
    QStringList first = kFamily;
    first.insert(first.indexOf(QStringLiteral("1 OCCU Miller")) + 1,
                 QStringLiteral("1 OCCU Miller"));
    Comparison c = compareLines(first, kFamily);
    QCOMPARE(figures(c, Category::OtherEvents).total, 2);
    QCOMPARE(figures(c, Category::OtherEvents).kept, 1);
    // More in the second file than in the first is not a loss.
    c = compareLines(kFamily, first);
    QVERIFY(c.isComplete());
}

void TestFacts::valuesFoundInNotesAreCountedApart()
{
    QStringList second = replaced(kFamily, QStringLiteral("1 OCCU Miller"), QString());
    second = replaced(second, QStringLiteral("1 NOTE A miller of London"),
                      QStringLiteral("1 NOTE A miller of London"));
    second.insert(second.indexOf(QStringLiteral("1 NOTE A miller of London")) + 1,
                  QStringLiteral("2 CONT Occupation: miller"));
    const Comparison c = compareLines(kFamily, second);
    const Figures other = figures(c, Category::OtherEvents);
    QCOMPARE(other.kept, 0);
    QCOMPARE(other.inNotes, 1);
    QCOMPARE(other.percentWithNotes(), 100.0);
    // The note itself changed (a line was added), and is found in the notes again.
    QCOMPARE(figures(c, Category::Notes).inNotes, 1);
    QVERIFY(report(c, true).contains(QStringLiteral("(in notes)")));
}

void TestFacts::harmlessSpellingDifferencesAreKept()
{
    const QStringList first{QStringLiteral("0 @I1@ INDI"),
                            QStringLiteral("1 NAME Anna/Smith/"),
                            QStringLiteral("1 BIRT"),
                            QStringLiteral("2 DATE ABT    1969"),
                            QStringLiteral("2 PLAC Bath ,Somerset,  England"),
                            QStringLiteral("1 DEAT Y"),
                            QStringLiteral("1 FAMC @F1@"),
                            QStringLiteral("2 PEDI birth"),
                            QStringLiteral("0 @I2@ INDI"),
                            QStringLiteral("1 NAME Jo /Smith/"),
                            QStringLiteral("0 @F1@ FAM"),
                            QStringLiteral("1 HUSB @I2@"),
                            QStringLiteral("1 CHIL @I1@")};
    const QStringList second{QStringLiteral("0 @I1@ INDI"),
                             QStringLiteral("1 NAME Anna /Smith/"),
                             QStringLiteral("1 BIRT"),
                             QStringLiteral("2 DATE abt 1969"),
                             QStringLiteral("2 PLAC Bath, Somerset, England"),
                             QStringLiteral("1 DEAT"),
                             QStringLiteral("1 FAMC @F1@"),
                             QStringLiteral("0 @I2@ INDI"),
                             QStringLiteral("1 NAME Jo /Smith/"),
                             QStringLiteral("0 @F1@ FAM"),
                             QStringLiteral("1 HUSB @I2@"),
                             QStringLiteral("1 CHIL @I1@")};
    const Comparison c = compareLines(first, second);
    QVERIFY2(c.isComplete(), qPrintable(report(c, true)));
    // A pedigree other than birth is a fact: lost when the second file leaves it out.
    const Comparison adopted = compareLines(
        replaced(first, QStringLiteral("2 PEDI birth"), QStringLiteral("2 PEDI adopted")), second);
    QCOMPARE(figures(adopted, Category::Pedigree).total, 1);
    QCOMPARE(figures(adopted, Category::Pedigree).kept, 0);
    // "DIV N" is not a divorce.
    const Comparison divorce = compareLines(
        QStringList(kFamily) << QStringLiteral("0 @F9@ FAM") << QStringLiteral("1 DIV N"),
        QStringList(kFamily) << QStringLiteral("0 @F9@ FAM") << QStringLiteral("1 DIV Y"));
    QCOMPARE(figures(divorce, Category::FamilyEvents).kept, 1);
    QCOMPARE(figures(divorce, Category::FamilyEvents).total, 2);
}

void TestFacts::keptAsReadStructuresAreCounted()
{
    QStringList first = kFamily;
    first.insert(first.indexOf(QStringLiteral("2 PLAC London, England")) + 1,
                 QStringLiteral("3 _GOV Greater London"));
    first.insert(first.indexOf(QStringLiteral("1 OCCU Miller")) + 1,
                 QStringLiteral("2 _SINCE 1820"));
    first << QStringLiteral("0 @X1@ _VENDOR settings") << QStringLiteral("1 _COLOUR red")
          << QStringLiteral("2 _SHADE dark") << QStringLiteral("1 CUSTOM unknown tag");
    Comparison c = compareLines(first, first);
    QVERIFY(c.isComplete());
    QCOMPARE(figures(c, Category::KeptAsRead).total, 6);
    c = compareLines(first, kFamily);
    QCOMPARE(figures(c, Category::KeptAsRead).kept, 0);
    QVERIFY(lostTexts(c).contains(
        QStringLiteral("John Smith (1800): BIRT 1 JAN 1800 > PLAC > _GOV Greater London")));
    QVERIFY(lostTexts(c).contains(QStringLiteral("(file): _VENDOR > _COLOUR > _SHADE dark")));
    // The rest of the occupation is still there.
    QCOMPARE(figures(c, Category::OtherEvents).kept, 1);
}

void TestFacts::samplesCompareWithThemselves()
{
    VT_REQUIRE_SAMPLE(royal, "royal92.ged");
    Comparison c;
    QString error;
    QVERIFY2(compareFiles(royal, royal, &c, &error), qPrintable(error));
    QVERIFY(c.isComplete());
    QCOMPARE(c.personsFirst, 3010);
    QCOMPARE(figures(c, Category::Persons).total, 3010);
    QVERIFY(figures(c, Category::ParentLinks).total > 3000);
    const QString pres = TestGedcom::samplePath("pres2020.ged");
    QVERIFY2(compareFiles(pres, pres, &c, &error), qPrintable(error));
    QVERIFY(c.isComplete());
    QCOMPARE(c.personsFirst, 2322);
    // A file that is not GEDCOM is refused with the reason.
    QVERIFY(!compareFiles(royal, QStringLiteral("/nonexistent/file.ged"), &c, &error));
    QVERIFY(error.contains(QStringLiteral("/nonexistent/file.ged")));
}

void TestFacts::utf16SampleEqualsUtf8Sample()
{
    VT_REQUIRE_SAMPLE(utf8, "utf8-bom.ged");
    const QString utf16 = TestGedcom::samplePath("utf16le.ged");
    Comparison c;
    QString error;
    QVERIFY2(compareFiles(utf8, utf16, &c, &error), qPrintable(error));
    QVERIFY2(c.isComplete(), qPrintable(report(c, true)));
    QCOMPARE(c.personsFirst, 3);
    QVERIFY(c.overall(false).total > 30);
}

QTEST_GUILESS_MAIN(TestFacts)
#include "tst_facts.moc"
