// The links between persons that every chart walks (PrntKey and families together, each person
// once) and the relationship calculator over them, on small trees made by hand.
#include "KinshipIndex.h"
#include "Relationship.h"
#include "RelationshipTerms.h"

#include <QTest>

using namespace Genealogy;

namespace {

PersonRow row(const QString &id, const QString &parent = QString())
{
    PersonRow r;
    r.ID = id;
    r.PrntKey = parent;
    return r;
}

FamilyKeys family(const QString &a, const QString &b, const QStringList &children)
{
    FamilyKeys f;
    f.partner[0] = a;
    f.partner[1] = b;
    for (const QString &c : children)
        f.children.push_back({c, {ChildRelation::Birth, ChildRelation::Birth}});
    return f;
}

QStringList keys(const KinshipIndex &index, std::span<const int> persons)
{
    QStringList out;
    for (int p : persons)
        out << (p < 0 ? QStringLiteral("-") : index.key(p));
    return out;
}

// A family of four generations:
//
//   G1 + G2                     (great-grandparents)
//   ├── A1 + W1 ── B1 ── C1 ── D1
//   │        └── B2 (+ X: B3 is X's child with W1, B2's half-brother; E3 is B3's child)
//   └── A2 ── B4 ── C4
//
// Rows name some parents by PrntKey, families the rest; S is W1's second husband.
struct Sample
{
    std::vector<PersonRow> rows;
    std::vector<FamilyKeys> families;
    KinshipIndex index;

    Sample()
    {
        rows = {row("G1", "ROOT"), row("G2"),        row("A1", "G1"), row("A2"),
                row("W1"),         row("B1", "A1"),  row("B2"),       row("B3"),
                row("X"),          row("C1", "B1"),  row("D1"),       row("B4", "A2"),
                row("C4", "B4"),   row("Z", "ROOT"), row("E3")};
        families = {family("G1", "G2", {"A1", "A2"}), family("A1", "W1", {"B1", "B2"}),
                    family("X", "W1", {"B3"}), family("C1", "", {"D1"}), family("B3", "", {"E3"})};
        index = KinshipIndex::build(rows, families);
        index.setSex(index.indexOf("A1"), Sex::Male);
        index.setSex(index.indexOf("W1"), Sex::Female);
        index.setSex(index.indexOf("B2"), Sex::Male);
        index.setSex(index.indexOf("B3"), Sex::Male);
        index.setSex(index.indexOf("X"), Sex::Male);
        index.setSex(index.indexOf("C4"), Sex::Female);
    }
    int operator[](const char *key) const { return index.indexOf(QString::fromLatin1(key)); }
    QStringList relate(const char *a, const char *b)
    {
        RelationshipCalculator calculator(index);
        return calculator.relate((*this)[a], (*this)[b]).lines(index);
    }
};

} // namespace

class tst_kinship : public QObject
{
    Q_OBJECT

private slots:
    void linksComeFromRowsAndFamiliesOnce()
    {
        const Sample s;
        // G1's children: A1 by PrntKey, then the family's A1 (already there) and A2.
        QCOMPARE(keys(s.index, s.index.children(s["G1"])), QStringList({"A1", "A2"}));
        QCOMPARE(keys(s.index, s.index.children(s["G2"])), QStringList({"A1", "A2"}));
        // The co-parent of a PrntKey child is completed by the family that names it too.
        QCOMPARE(keys(s.index, s.index.coParents(s["G1"])), QStringList({"G2", "G2"}));
        QCOMPARE(keys(s.index, s.index.parents(s["A1"])), QStringList({"G1", "G2"}));
        QCOMPARE(keys(s.index, s.index.parents(s["A2"])), QStringList({"G1", "G2"}));
        QCOMPARE(keys(s.index, s.index.children(s["W1"])), QStringList({"B1", "B2", "B3"}));
        QCOMPARE(keys(s.index, s.index.coParents(s["W1"])), QStringList({"A1", "A1", "X"}));
        QCOMPARE(keys(s.index, s.index.partners(s["W1"])), QStringList({"A1", "X"}));
        // A family with one partner: a child with one parent, no partner.
        QCOMPARE(keys(s.index, s.index.parents(s["D1"])), QStringList({"C1"}));
        QCOMPARE(keys(s.index, s.index.coParents(s["C1"])), QStringList({"-"}));
        QVERIFY(s.index.partners(s["C1"]).empty());
        // Roots, persons outside the line and unknown keys have no parents.
        QVERIFY(s.index.parents(s["G1"]).empty());
        QVERIFY(s.index.parents(s["Z"]).empty());
        QCOMPARE(s.index.indexOf("nobody"), -1);
        QCOMPARE(s.index.indexOf("g1"), -1); // exact, as PrntKey is matched
    }

    void faultyLinksAreLeftOut()
    {
        // A person who is its own parent, a family naming unknown persons, a partner who is
        // also the family's child, a duplicate key: no loop, no crash, nothing invented.
        const std::vector<PersonRow> rows{row("P", "P"), row("Q", "nobody"), row("P", "Q")};
        const std::vector<FamilyKeys> families{family("P", "ghost", {"Q", "P", "ghost"}),
                                               family("P", "P", {"Q"})};
        const KinshipIndex index = KinshipIndex::build(rows, families);
        QCOMPARE(index.count(), 3);
        QCOMPARE(index.indexOf("P"), 0);
        QCOMPARE(keys(index, index.children(0)), QStringList({"Q"}));
        QCOMPARE(keys(index, index.parents(1)), QStringList({"P"}));
        QVERIFY(index.parents(0).empty());
        QVERIFY(index.partners(0).empty());
        // The second row of a taken key is a person of its own with its own parent.
        QCOMPARE(keys(index, index.parents(2)), QStringList({"Q"}));
    }

    void termsInPlainEnglish_data()
    {
        QTest::addColumn<int>("up");
        QTest::addColumn<int>("down");
        QTest::addColumn<int>("sex");
        QTest::addColumn<QString>("term");
        const int m = int(Sex::Male), f = int(Sex::Female), u = int(Sex::None);
        QTest::newRow("father") << 0 << 1 << m << "father";
        QTest::newRow("parent") << 0 << 1 << u << "parent";
        QTest::newRow("grandmother") << 0 << 2 << f << "grandmother";
        QTest::newRow("3x great") << 0 << 5 << m << "great-great-great-grandfather";
        QTest::newRow("daughter") << 1 << 0 << f << "daughter";
        QTest::newRow("great-grandchild") << 3 << 0 << u << "great-grandchild";
        QTest::newRow("sibling") << 1 << 1 << u << "sibling";
        QTest::newRow("half-sister") << -1 << 1 << f << "half-sister";
        QTest::newRow("half-great-aunt") << -1 << 3 << f << "half-great-aunt";
        QTest::newRow("half-nephew or niece") << -2 << 1 << u << "half-nephew or half-niece";
        QTest::newRow("half-second cousin") << -3 << 3 << m << "half-second cousin";
        QTest::newRow("aunt") << 1 << 2 << f << "aunt";
        QTest::newRow("uncle or aunt") << 1 << 2 << u << "uncle or aunt";
        QTest::newRow("great-uncle") << 1 << 3 << m << "great-uncle";
        QTest::newRow("great-grand-uncle") << 1 << 4 << m << "great-grand-uncle";
        QTest::newRow("great-great-grand-aunt") << 1 << 5 << f << "great-great-grand-aunt";
        QTest::newRow("nephew") << 2 << 1 << m << "nephew";
        QTest::newRow("great-niece") << 3 << 1 << f << "great-niece";
        QTest::newRow("great-grand-nephew") << 4 << 1 << m << "great-grand-nephew";
        QTest::newRow("first cousin") << 2 << 2 << m << "first cousin";
        QTest::newRow("2c1r") << 3 << 4 << m << "second cousin once removed";
        QTest::newRow("2c1r other way") << 4 << 3 << f << "second cousin once removed";
        QTest::newRow("5c10r") << 16 << 6 << u << "fifth cousin ten times removed";
        QTest::newRow("11th cousin") << 12 << 13 << u << "11th cousin once removed";
        QTest::newRow("22nd cousin 11 times") << 23 << 34 << u << "22nd cousin 11 times removed";
        QTest::newRow("same") << 0 << 0 << u << "same person";
    }
    void termsInPlainEnglish()
    {
        QFETCH(int, up);
        QFETCH(int, down);
        QFETCH(int, sex);
        QFETCH(QString, term);
        // A negative `up` asks for the half- word.
        QCOMPARE(RelationshipTerms::blood(std::abs(up), down, Sex(sex), up < 0), term);
    }

    void relationsByBlood()
    {
        Sample s;
        QCOMPARE(s.relate("A1", "B1"), QStringList({"father", "path: up 0, down 1, through A1"}));
        QCOMPARE(s.relate("D1", "G1"),
                 QStringList({"great-great-grandchild", "path: up 4, down 0, through G1"}));
        // Full siblings share a couple: one line through both partners.
        QCOMPARE(s.relate("B2", "B1"),
                 QStringList({"brother", "path: up 1, down 1, through A1, W1"}));
        QCOMPARE(s.relate("B3", "B2"),
                 QStringList({"half-brother", "path: up 1, down 1, through W1"}));
        QCOMPARE(s.relate("C4", "C1"),
                 QStringList({"second cousin", "path: up 3, down 3, through G1, G2"}));
        QCOMPARE(s.relate("C4", "D1"),
                 QStringList({"second cousin once removed", "path: up 3, down 4, through G1, G2"}));
        QCOMPARE(s.relate("A2", "C1"),
                 QStringList({"great-uncle or great-aunt", "path: up 1, down 3, through G1, G2"}));
        QCOMPARE(s.relate("B1", "B1"),
                 QStringList({"same person", "path: up 0, down 0, through B1"}));
        // The lines of half-siblings are half-kin: through W1 alone.
        QCOMPARE(s.relate("B3", "C1"),
                 QStringList({"half-uncle", "path: up 1, down 2, through W1"}));
        QCOMPARE(s.relate("C1", "B3").first(), QStringLiteral("half-nephew or half-niece"));
        QCOMPARE(s.relate("B3", "D1").first(), QStringLiteral("half-great-uncle"));
        QCOMPARE(s.relate("E3", "C1"),
                 QStringList({"half-first cousin", "path: up 2, down 2, through W1"}));
        QCOMPARE(s.relate("E3", "D1").first(), QStringLiteral("half-first cousin once removed"));
        // Lines through a couple are full kin.
        QCOMPARE(s.relate("D1", "C4").first(), QStringLiteral("second cousin once removed"));
    }

    void relationsByMarriage()
    {
        Sample s;
        QCOMPARE(s.relate("W1", "A1"), QStringList({"wife", "path: marriage through W1, A1"}));
        QCOMPARE(s.relate("X", "B1"), QStringList({"step-father", "path: marriage through X, W1"}));
        QCOMPARE(s.relate("B3", "A1"), QStringList({"step-son", "path: marriage through W1, A1"}));
        // A step-grandchild and its step-grandparent, each way.
        QCOMPARE(s.relate("X", "C1"),
                 QStringList({"step-grandfather", "path: marriage through X, W1"}));
        QCOMPARE(s.relate("C1", "X"),
                 QStringList({"step-grandchild", "path: marriage through W1, X"}));
        QCOMPARE(s.relate("W1", "A2"),
                 QStringList({"sister-in-law", "path: marriage through W1, A1"}));
        QCOMPARE(s.relate("W1", "G2"),
                 QStringList({"daughter-in-law", "path: marriage through W1, A1"}));
        QCOMPARE(s.relate("G2", "W1"),
                 QStringList({"parent-in-law", "path: marriage through A1, W1"}));
        // Through two marriages: related, without a simple word.
        QCOMPARE(s.relate("X", "A2"),
                 QStringList({"relative by marriage", "path: marriage through X, W1, W1, A1"}));
        QCOMPARE(s.relate("Z", "A1"), QStringList({"not related", "none"}));
    }

    void pedigreeCollapseFindsEveryNearestAncestor()
    {
        // Cousins who married: their child K has the couple G1+G2 on both sides, at the same
        // distance through two lines; the nearest common ancestors of K and a cousin L are still
        // found once, at the shortest distance, and a calculator answers many questions in a row.
        const std::vector<PersonRow> rows{row("G1", "ROOT"), row("G2"), row("P1"), row("P2"),
                                          row("M"),          row("F"),  row("K"),  row("L")};
        const std::vector<FamilyKeys> families{
            family("G1", "G2", {"P1", "P2"}), family("P1", "", {"M"}), family("P2", "", {"F", "L"}),
            family("F", "M", {"K"})};
        const KinshipIndex index = KinshipIndex::build(rows, families);
        RelationshipCalculator calculator(index);
        const auto relate = [&](const char *a, const char *b) {
            return calculator.relate(index.indexOf(a), index.indexOf(b)).lines(index);
        };
        QCOMPARE(relate("M", "F"),
                 QStringList({"first cousin", "path: up 2, down 2, through G1, G2"}));
        // K is L's nephew through F (P2 is their common parent) and a second cousin through M:
        // the nearest wins.
        QCOMPARE(relate("K", "L"),
                 QStringList({"nephew or niece", "path: up 2, down 1, through P2"}));
        QCOMPARE(relate("K", "G1"),
                 QStringList({"great-grandchild", "path: up 3, down 0, through G1"}));
        QCOMPARE(relate("K", "M"), QStringList({"child", "path: up 1, down 0, through M"}));

        // The lines behind a relation: up from each to the common ancestors.
        const auto keysOf = [&index](const std::vector<int> &persons) {
            QStringList out;
            for (int p : persons)
                out << index.key(p);
            return out;
        };
        QCOMPARE(keysOf(calculator.line(index.indexOf("K"), index.indexOf("G1"))),
                 QStringList({"K", "F", "P2", "G1"}));
        QVERIFY(calculator.line(index.indexOf("G1"), index.indexOf("K")).empty());
        const int m = index.indexOf("M"), f = index.indexOf("F");
        QCOMPARE(keysOf(calculator.pathPersons(m, f, calculator.relate(m, f))),
                 QStringList({"M", "P1", "G1", "F", "P2", "G2"}));
    }
};

QTEST_APPLESS_MAIN(tst_kinship)
#include "tst_kinship.moc"
