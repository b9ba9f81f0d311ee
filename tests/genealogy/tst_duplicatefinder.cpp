// The duplicate finder on trees made by hand: names folded, variants and sounds, the score's
// order between a double and a namesake, and the persons it never pairs.
#include "DuplicateFinder.h"
#include "NameFolding.h"

#include <QTest>

#include <algorithm>

using namespace Genealogy;

namespace {

PersonRow person(const QString &id, const QString &parent, const QString &given,
                 const QString &surname, const QString &born = {})
{
    PersonRow r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = given;
    r.Sname = surname;
    r.Bdate = born;
    return r;
}

} // namespace

class TestDuplicateFinder : public QObject
{
    Q_OBJECT

private slots:
    void foldsNames()
    {
        using namespace NameFolding;
        QCOMPARE(words(u"Zoë  Ångström-Æsir"),
                 (std::vector<std::string>{"zoe", "angstrom", "aesir"}));
        QCOMPARE(words(u"Edward_VII \"Bertie\" O'Brien (2)"),
                 (std::vector<std::string>{"edward", "vii", "bertie", "obrien", "2"}));
        QCOMPARE(words(u"Straße Łódź"), (std::vector<std::string>{"strasse", "lodz"}));
        QVERIFY(words(u" ?! ,. ").empty());
        QVERIFY(soundKey("2") != soundKey("b"));
        QCOMPARE(variantOf("wilhelm"), std::string_view("william"));
        QCOMPARE(variantOf("guillaume"), std::string_view("william"));
        QCOMPARE(variantOf("zebedee"), std::string_view("zebedee"));
        QCOMPARE(soundKey("smith"), soundKey("smyth"));
        QVERIFY(soundKey("smith") != soundKey("jones"));
        QVERIFY(soundKey("b") != soundKey("bob"));
        QCOMPARE(soundKey(""), 0u);
        QVERIFY(oneEditApart("victoria", "victora"));
        QVERIFY(oneEditApart("victora", "victoria"));
        QVERIFY(oneEditApart("maria", "mraia"));
        QVERIFY(oneEditApart("maria", "marie"));
        QVERIFY(!oneEditApart("maria", "mario1x"));
        QVERIFY(!oneEditApart("albert", "alfred"));
        QCOMPARE(placeKey(u"Saint-Étienne, Loire, France"), std::string("saint etienne"));
    }

    // A hand-made tree: rows alone, no families, no sexes.
    void findsInRowsAlone()
    {
        std::vector<PersonRow> rows{
            person("A", "ROOT", "Wilhelm", "Müller", "ABT 1850"),
            person("B", "A", "Hans", "Müller", "1875"),
            person("C", "", "William", "Muller", "1851"), // A's double, a year off
            person("D", "", "Wilhelm", "Müller", "1790"), // a namesake, sixty years before
            person("E", "B", "Hans", "Muller", "1876"),   // B's child, not its double
            person("F", "", "Hans", "Mueller", "1875"),   // B's double
        };
        rows[0].Bplace = QStringLiteral("Köln, Preußen");
        rows[2].Bplace = QStringLiteral("Koln");
        rows[3].Bplace = QStringLiteral("Köln");
        const std::vector<DuplicatePair> pairs = DuplicateFinder::find({rows, {}, {}}, {0});
        auto scoreOf = [&](int a, int b) {
            for (const DuplicatePair &p : pairs)
                if ((p.first == a && p.second == b) || (p.first == b && p.second == a))
                    return p.score;
            return -1.0;
        };
        QVERIFY(std::is_sorted(pairs.begin(), pairs.end(),
                               [](const auto &x, const auto &y) { return x.score > y.score; }));
        QVERIFY2(scoreOf(0, 2) >= DuplicateOptions().minScore,
                 qPrintable(QString::number(scoreOf(0, 2))));
        QVERIFY(scoreOf(0, 2) > scoreOf(0, 3));
        QVERIFY(scoreOf(1, 5) > scoreOf(3, 2));
        QCOMPARE(scoreOf(1, 4), -1.0); // parent and child are never paired
        for (const DuplicatePair &p : pairs) {
            QVERIFY(p.first < p.second);
            QVERIFY(p.score >= 0 && p.score <= 100);
        }
        // A different sex or a different second given name tells two persons apart.
        std::vector<PersonRow> two{person("X", "ROOT", "Jean Paul", "Roy", "1900"),
                                   person("Y", "", "Jean Marc", "Roy", "1900")};
        QHash<QString, Sex> sexes{{"X", Sex::Male}, {"Y", Sex::Male}};
        const auto middle = DuplicateFinder::find({two, {}, sexes}, {0});
        two[1].Fname = QStringLiteral("Jean Paul");
        const auto same = DuplicateFinder::find({two, {}, sexes}, {0});
        sexes["Y"] = Sex::Female;
        const auto otherSex = DuplicateFinder::find({two, {}, sexes}, {0});
        QCOMPARE(same.size(), size_t(1));
        QVERIFY(middle.empty() || middle.front().score < same.front().score - 15);
        QVERIFY(otherSex.empty() || otherSex.front().score < same.front().score - 30);
        QVERIFY(DuplicateFinder::find({{}, {}, {}}).empty());
        // Numbers in names were given to tell persons apart.
        std::vector<PersonRow> twins{person("T1", "ROOT", "Twin_1", "Roy", "1900"),
                                     person("T2", "", "Twin_2", "Roy", "1900"),
                                     person("T3", "", "Twin", "Roy", "1900"),
                                     person("T4", "", "Twin_1", "Roy", "1900")};
        const auto numbered = DuplicateFinder::find({twins, {}, {}}, {0});
        QVERIFY(!numbered.empty());
        QCOMPARE(numbered.front().first, 0);
        QCOMPARE(numbered.front().second, 3);
        for (size_t i = 1; i < numbered.size(); ++i)
            QVERIFY(numbered[i].score < numbered.front().score - 30);
    }
};

QTEST_GUILESS_MAIN(TestDuplicateFinder)
#include "tst_duplicatefinder.moc"
