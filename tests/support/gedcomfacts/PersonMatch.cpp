#include "PersonMatch.h"

#include <QMap>

namespace GedcomFacts {

namespace {

QString label(const Person &person)
{
    const QString name = person.display.isEmpty() ? QStringLiteral("(no name)") : person.display;
    return QStringLiteral("%1 (%2)").arg(name,
                                         person.year.isEmpty() ? QStringLiteral("-") : person.year);
}

// Keys of the first file: the label, numbered where several persons share it.
void keyFirst(std::vector<Person> &persons)
{
    QHash<QString, int> uses;
    for (const Person &person : persons)
        ++uses[label(person)];
    QHash<QString, int> seen;
    for (Person &person : persons) {
        const QString text = label(person);
        person.key =
            uses.value(text) > 1 ? QStringLiteral("%1 [%2]").arg(text).arg(++seen[text]) : text;
    }
}

void pair(Person &a, Person &b)
{
    a.matched = b.matched = true;
    b.key = a.key;
}

// Pairs the unmatched persons of both files that share a grouping value.
template <typename GroupOf>
void pairGroups(std::vector<Person> &first, std::vector<Person> &second, GroupOf groupOf,
                bool uniqueOnly)
{
    QMap<QString, QList<int>> a;
    QMap<QString, QList<int>> b;
    for (size_t i = 0; i < first.size(); ++i) {
        if (!first[i].matched)
            a[groupOf(first[i])].append(int(i));
    }
    for (size_t i = 0; i < second.size(); ++i) {
        if (!second[i].matched)
            b[groupOf(second[i])].append(int(i));
    }
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        const QList<int> candidates = b.value(it.key());
        if (candidates.isEmpty())
            continue;
        if (uniqueOnly) {
            if (it.value().size() == 1 && candidates.size() == 1)
                pair(first[size_t(it.value().front())], second[size_t(candidates.front())]);
            continue;
        }
        // The same parents and kin, the same parents, the same kin, then file order.
        const auto same = [](const Person &a, const Person &b, bool parents, bool kin) {
            return (!parents || a.parents == b.parents) && (!kin || a.kin == b.kin);
        };
        for (const auto &[parents, kin] :
             {std::pair{true, true}, std::pair{true, false}, std::pair{false, true}}) {
            for (const int i : it.value()) {
                for (const int j : candidates) {
                    Person &a = first[size_t(i)];
                    Person &b = second[size_t(j)];
                    if (!a.matched && !b.matched && same(a, b, parents, kin)) {
                        pair(a, b);
                        break;
                    }
                }
            }
        }
        auto next = candidates.cbegin();
        for (const int i : it.value()) {
            if (first[size_t(i)].matched)
                continue;
            while (next != candidates.cend() && second[size_t(*next)].matched)
                ++next;
            if (next == candidates.cend())
                break;
            pair(first[size_t(i)], second[size_t(*next)]);
        }
    }
}

// Pairs each unmatched person of the second file whose name is made of words of the name of
// exactly one unmatched person of the first with the same birth year, and the other way round
// ("Adam Alltag" for "Lt. Adam /de Alltag/ Jr."): a name that lost its prefix, particle or
// nickname.
void pairByNameWords(std::vector<Person> &first, std::vector<Person> &second)
{
    const auto words = [](const Person &p) {
        const QStringList list = p.name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        return QSet<QString>(list.cbegin(), list.cend());
    };
    QHash<QString, QList<int>> firstByYear;
    for (size_t i = 0; i < first.size(); ++i) {
        if (!first[i].matched && !first[i].name.isEmpty())
            firstByYear[first[i].year].append(int(i));
    }
    QHash<int, QList<int>> candidates; // first -> second
    QHash<int, int> claims;            // second -> how many of the first it fits
    for (size_t j = 0; j < second.size(); ++j) {
        if (second[j].matched || second[j].name.isEmpty())
            continue;
        const QSet<QString> part = words(second[j]);
        for (const int i : firstByYear.value(second[j].year)) {
            if (words(first[size_t(i)]).contains(part)) {
                candidates[i].append(int(j));
                ++claims[int(j)];
            }
        }
    }
    for (auto it = candidates.cbegin(); it != candidates.cend(); ++it) {
        if (it.value().size() == 1 && claims.value(it.value().front()) == 1)
            pair(first[size_t(it.key())], second[size_t(it.value().front())]);
    }
}

} // namespace

void matchPersons(FactFile &firstFile, FactFile &secondFile)
{
    std::vector<Person> &first = firstFile.persons();
    std::vector<Person> &second = secondFile.persons();
    for (Person &person : first)
        person.matched = false;
    for (Person &person : second) {
        person.matched = false;
        person.key.clear();
    }
    keyFirst(first);
    const auto nameAndYear = [](const Person &p) { return p.name + QLatin1Char('|') + p.year; };
    pairGroups(first, second, nameAndYear, false);
    const auto coreAndYear = [](const Person &p) { return p.core + QLatin1Char('|') + p.year; };
    pairGroups(first, second, coreAndYear, true);
    pairGroups(
        first, second, [](const Person &p) { return p.name; }, true);
    pairGroups(
        first, second, [](const Person &p) { return p.core; }, true);
    pairByNameWords(first, second);

    QHash<QString, int> seen;
    for (Person &person : second) {
        if (person.matched)
            continue;
        const QString text = label(person) + QStringLiteral(" [only in the second file");
        const int n = ++seen[text];
        person.key = text + (n > 1 ? QStringLiteral(" %1]").arg(n) : QStringLiteral("]"));
    }
}

} // namespace GedcomFacts
