#include "FindPersonDialog.h"
#include "ModalSeam.h"
#include "PersonFinder.h"
#include "SearchText.h"
#include "support_people.h"

#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTableView>
#include <QTest>

#include <algorithm>

// Finding persons: the matching rules, the order of results, and the find dialog.
class tst_personfinder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void matching_data();
    void matching();
    void resultsInNameOrderWithKeys();
    void subsetAndRebuild();
    void sameAsFoldingEachPerson_data();
    void sameAsFoldingEachPerson();
    void dialogFiltersCountsAndPicks();
    void dialogDoubleClickAndCancel();
    void dialogPicksWholeId();

private:
    QStringList find(const QString &query) const;
    cPeople m_people;
    PersonFinder m_finder;
};

void tst_personfinder::initTestCase()
{
    AddPersons(m_people, {
                             "I1|ROOT|Anna-Lisa|Löfgren|Erik|Öberg|1901",
                             "I2|I1|Per|Lofthus",
                             "I3|I1|Karin|ÅSTRÖM",
                             "P-1042|I1|John|Smith|Mary|O'Brien",
                             "I5|I2|Hans|Straße",
                             "I6|I2|Finn|Ångström",
                             "I7|I2|Zoë|Smith",
                         });
    m_finder.Build(m_people);
}

namespace {

// The keys of the persons a query finds, in the order found.
QStringList keysFound(const PersonFinder &finder, const QString &query)
{
    QStringList keys;
    for (int rank : finder.Find(query))
        keys << finder.KeyAt(rank);
    return keys;
}

} // namespace

QStringList tst_personfinder::find(const QString &query) const
{
    return keysFound(m_finder, query);
}

void tst_personfinder::matching_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("accent folded") << "lof" << QStringList{"I1", "I2"};
    QTest::newRow("query with accent and case") << "LÖF" << QStringList{"I1", "I2"};
    QTest::newRow("capitals folded") << "aström" << QStringList{"I3"};
    QTest::newRow("ring folded") << "angs" << QStringList{"I6"};
    QTest::newRow("word after hyphen") << "lisa" << QStringList{"I1"};
    QTest::newRow("not a word start") << "isa" << QStringList{};
    QTest::newRow("partner's surname") << "ober" << QStringList{"I1"};
    QTest::newRow("partner after apostrophe") << "brien" << QStringList{"P-1042"};
    QTest::newRow("partner's first name") << "mary" << QStringList{"P-1042"};
    QTest::newRow("ID whole") << "p-1042" << QStringList{"P-1042"};
    QTest::newRow("ID word") << "104" << QStringList{"P-1042"};
    QTest::newRow("sharp s folds") << "strasse" << QStringList{"I5"};
    QTest::newRow("ligature folds") << QString::fromUtf8("\uFB01nn") << QStringList{"I6"};
    QTest::newRow("diaeresis folds") << "zoe" << QStringList{"I7"};
    QTest::newRow("every word must match") << "smith john" << QStringList{"P-1042"};
    QTest::newRow("words in any order") << "john smith" << QStringList{"P-1042"};
    QTest::newRow("one word fails") << "anna lofthus" << QStringList{};
    QTest::newRow("same field twice") << "an an" << QStringList{"I1", "I6"};
    QTest::newRow("no such name") << "xyz" << QStringList{};
}

void tst_personfinder::matching()
{
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    QStringList found = find(query);
    found.sort();
    expected.sort();
    QCOMPARE(found, expected);
}

void tst_personfinder::resultsInNameOrderWithKeys()
{
    // Surname (folded), then first name, then key; no words is everybody.
    const QStringList all{"I6", "I3", "I1", "I2", "P-1042", "I7", "I5"};
    QCOMPARE(find(QString()), all);
    QCOMPARE(find(QStringLiteral(" -,. ")), all);
    QCOMPARE(find(QStringLiteral("smi")), QStringList({"P-1042", "I7"}));
    QCOMPARE(SearchText::Fold(u"Löfgren ÅSTRÖM"), QStringLiteral("lofgren astrom"));
}

void tst_personfinder::subsetAndRebuild()
{
    PersonFinder some;
    some.Build(m_people, {"I2", "I7", "nobody"});
    QCOMPARE(some.Count(), 2);
    QCOMPARE(some.Find(u"smith").size(), size_t(1));
    cPeople people;
    AddPersons(people, {"a|ROOT|Olle|Berg"});
    some.Build(people);
    QCOMPARE(some.Count(), 1);
    QCOMPARE(some.Find(u"lof").size(), size_t(0));
    QCOMPARE(some.Find(u"berg").size(), size_t(1));
}

void tst_personfinder::sameAsFoldingEachPerson_data()
{
    QTest::addColumn<QString>("oddSurname");
    QTest::newRow("plain names") << QString();
    // A name holding U+0001, the character that parts the fields of the display order.
    QTest::newRow("name with a control character") << QStringLiteral("Lund\u0001berg");
}

// The index folds each distinct text once and sorts by ranks of texts; the results must be what
// folding every field of every person gives: the same persons, in the same order.
void tst_personfinder::sameAsFoldingEachPerson()
{
    QFETCH(QString, oddSurname);
    const QStringList firstNames{"Anna",       "ANNA",
                                 "anna-lisa",  "Åsa",
                                 "Zoë",        "Björn",
                                 "Émile",      "Mary Anne",
                                 "Abcdefghij", "Abcdefgh",
                                 "abcdefghi",  "",
                                 "Li",         QString::fromUtf8("\uFB01nn"),
                                 "Ödön",       "O'Neil"};
    QStringList surnames{"Smith",      "smith",       "Löfgren", "Lofgren",     "van Dijk",
                         "Straße",     "STRASSE",     "Ng",      "de la Cruz",  "",
                         "Lundberger", "Lundbergers", "Lund",    "Lundbergsson"};
    if (!oddSurname.isEmpty())
        surnames << oddSurname;
    QRandomGenerator random(20261209);
    const auto pick = [&random](const QStringList &list) {
        return list[int(random.bounded(quint32(list.size())))];
    };
    cPeople people;
    QStringList lines;
    for (int i = 0; i < 1500; ++i) {
        // Keys alike but for case and accents, keys alike in their first eight characters, and
        // keys with words of their own.
        const QString key = i % 7 == 0   ? QStringLiteral("Ké-%1").arg(i / 7)
                            : i % 7 == 1 ? QStringLiteral("ke-%1").arg(i / 7)
                            : i % 7 == 2 ? QStringLiteral("Lindqvist-%1").arg(1500 - i)
                                         : QStringLiteral("P%1").arg(i);
        lines << QStringList{key,
                             "ROOT",
                             pick(firstNames),
                             pick(surnames),
                             pick(firstNames),
                             pick(surnames)}
                     .join(u'|');
    }
    AddPersons(people, lines);
    PersonFinder finder;
    finder.Build(people);

    // Each person folded in full: the display order text and the words.
    struct Folded
    {
        QString order;
        QString key;
        QStringList words;
    };
    std::vector<Folded> persons;
    for (int i = 1; i <= people.Count(); ++i) {
        const cPersonPtr p = people.Item(i);
        Folded f{SearchText::Fold(p->Sname()) + QChar(1) + SearchText::Fold(p->Fname()) + QChar(1) +
                     SearchText::Fold(p->Key()),
                 p->Key(),
                 {}};
        for (const QString &field :
             {p->Fname(), p->Sname(), p->PrtFname(), p->PrtSname(), p->Key()})
            SearchText::ForEachWord(SearchText::Fold(field),
                                    [&f](QStringView w) { f.words << w.toString(); });
        persons.push_back(f);
    }
    std::stable_sort(persons.begin(), persons.end(),
                     [](const Folded &a, const Folded &b) { return a.order < b.order; });
    const auto expected = [&persons](const QString &query) {
        QStringList wanted, keys;
        SearchText::ForEachWord(SearchText::Fold(query),
                                [&wanted](QStringView w) { wanted << w.toString(); });
        for (const Folded &f : persons) {
            const bool all = std::all_of(wanted.begin(), wanted.end(), [&f](const QString &q) {
                return std::any_of(f.words.begin(), f.words.end(),
                                   [&q](const QString &w) { return w.startsWith(q); });
            });
            if (all)
                keys << f.key;
        }
        return keys;
    };

    QCOMPARE(finder.Count(), int(persons.size()));
    QStringList queries{"",           "a",         "abcdefgh", "abcdefghi", "lund",
                        "lundberg",   "lundbergs", "ke",       "ké-1",      "strasse",
                        "smith anna", "lof van",   "p1",       "1",         "berg"};
    for (int i = 0; i < 200; ++i) {
        const QString name = pick(firstNames) + u' ' + pick(surnames);
        queries << name.left(int(random.bounded(quint32(name.size() + 1))));
    }
    for (const QString &query : queries)
        QCOMPARE(keysFound(finder, query), expected(query));
}

void tst_personfinder::dialogFiltersCountsAndPicks()
{
    const YearsText years = [](const cPerson &p) { return p.Bdate(); };
    QString chosen, signalled, countAtStart, countAfterTyping, yearsShown;
    ScopedModalDriver driver([&](QDialog &dialog) -> int {
        auto *query = dialog.findChild<QLineEdit *>(QStringLiteral("txtFind"));
        auto *count = dialog.findChild<QLabel *>(QStringLiteral("lblCount"));
        auto *list = dialog.findChild<QTableView *>(QStringLiteral("lstResults"));
        connect(static_cast<FindPersonDialog *>(&dialog), &FindPersonDialog::PersonChosen,
                [&](const QString &key) { signalled = key; });
        countAtStart = count->text();
        QTest::keyClicks(query, QStringLiteral("lof"));
        countAfterTyping = count->text();
        yearsShown = list->model()->index(0, FindResultsModel::Years).data().toString();
        QTest::keyClick(query, Qt::Key_Down); // the second result, typing stays in the box
        QTest::keyClick(query, Qt::Key_Return);
        return dialog.result();
    });
    chosen = FindPersonDialog::Ask(nullptr, m_people, m_finder, years);
    QCOMPARE(countAtStart, QStringLiteral("7 persons"));
    QCOMPARE(countAfterTyping, QStringLiteral("2 persons"));
    QCOMPARE(yearsShown, QStringLiteral("1901"));
    QCOMPARE(chosen, QStringLiteral("I2"));
    QCOMPARE(signalled, QStringLiteral("I2"));
    QCOMPARE(FindPersonDialog::CountText(0), QStringLiteral("No person found"));
    QCOMPARE(FindPersonDialog::CountText(1), QStringLiteral("1 person"));
    QCOMPARE(FindPersonDialog::CountText(12345), QStringLiteral("12,345 persons"));
}

void tst_personfinder::dialogDoubleClickAndCancel()
{
    FindPersonDialog dialog(m_people, m_finder, {});
    dialog.setQuery(QStringLiteral("nothing here"));
    QCOMPARE(dialog.MatchCount(), 0);
    dialog.accept(); // nothing to show: stays open
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(dialog.ChosenKey().isEmpty());
    dialog.setQuery(QStringLiteral("smith"));
    auto *list = dialog.findChild<QTableView *>(QStringLiteral("lstResults"));
    emit list->doubleClicked(list->model()->index(1, 0)); // the row double-clicked

    QCOMPARE(dialog.ChosenKey(), QStringLiteral("I7"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    ScopedModalDriver cancel([](QDialog &d) -> int {
        d.reject();
        return d.result();
    });
    QVERIFY(FindPersonDialog::Ask(nullptr, m_people, m_finder, {}).isEmpty());
}

// An ID typed whole picks its person, though other persons' IDs begin with it and their names
// come first in the list; the list itself stays in name order.
void tst_personfinder::dialogPicksWholeId()
{
    cPeople people;
    AddPersons(people, {
                           "I14|ROOT|Zora|Zeller",
                           "I140|I14|Anna|Adler",
                           "I141|I14|Bert|Adler",
                           "i1400|I14|Carl|Adler",
                       });
    PersonFinder finder;
    finder.Build(people);
    FindPersonDialog dialog(people, finder, {});
    auto *list = dialog.findChild<QTableView *>(QStringLiteral("lstResults"));
    const auto current = [&] { return dialog.CurrentKey(); };

    dialog.setQuery(QStringLiteral("I14"));
    QCOMPARE(dialog.MatchCount(), 4);
    QCOMPARE(list->model()->index(0, FindResultsModel::Key).data().toString(), "I140");
    QCOMPARE(current(), QStringLiteral("I14"));
    dialog.setQuery(QStringLiteral(" i141 "));
    QCOMPARE(current(), QStringLiteral("I141"));
    dialog.setQuery(QStringLiteral("I1400")); // the letter case aside when none is exact
    QCOMPARE(current(), QStringLiteral("i1400"));
    dialog.setQuery(QStringLiteral("adler")); // no ID: the first in the list
    QCOMPARE(current(), QStringLiteral("I140"));
    dialog.setQuery(QStringLiteral("I14"));
    dialog.accept();
    QCOMPARE(dialog.ChosenKey(), QStringLiteral("I14"));
}

QTEST_MAIN(tst_personfinder)
#include "tst_personfinder.moc"
