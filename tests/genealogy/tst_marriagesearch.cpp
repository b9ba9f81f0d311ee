// The shortest relation through marriages, checked against plain searches on random trees:
// the same walk as a straightforward layered search (walks equally short told apart alike), as few
// marriages and steps as an exhaustive search over every state finds, and every walk a real one.
#include "KinshipIndex.h"
#include "MarriageSearch.h"
#include "Relationship.h"

#include <QRandomGenerator>
#include <QTest>

#include <map>
#include <queue>
#include <tuple>

using namespace Genealogy;
using Visit = MarriageSearch::Visit;

namespace {

QString keyOf(int i)
{
    return QStringLiteral("P%1").arg(i);
}

// Persons with a PrntKey now and then, families of random couples (a person may marry several
// times, and cousins may marry) with children among the later persons, and now and then a
// family with one partner or a child named twice.
KinshipIndex randomTree(QRandomGenerator &random, int persons)
{
    std::vector<PersonRow> rows(static_cast<size_t>(persons));
    for (int i = 0; i < persons; ++i) {
        rows[size_t(i)].ID = keyOf(i);
        if (i > 2 && random.bounded(5) == 0)
            rows[size_t(i)].PrntKey = keyOf(int(random.bounded(i)));
    }
    std::vector<FamilyKeys> families;
    for (int f = 0; f < persons / 3; ++f) {
        FamilyKeys family;
        const int a = int(random.bounded(persons));
        family.partner[0] = keyOf(a);
        if (random.bounded(6) != 0)
            family.partner[1] = keyOf(int(random.bounded(persons)));
        for (int c = int(random.bounded(4)); c > 0 && a + 1 < persons; --c)
            family.children.push_back({keyOf(a + 1 + int(random.bounded(persons - a - 1))), {}});
        families.push_back(std::move(family));
    }
    return KinshipIndex::build(rows, families);
}

// The layered search written plainly: a bucket of states for each count of steps within a
// layer of marriages, (marriages, steps) compared as a pair.
std::vector<Visit> plainLayeredSearch(const KinshipIndex &index, int a, int b)
{
    const size_t states = size_t(index.count()) * 2;
    std::vector<std::pair<int, int>> cost(states, {INT_MAX, INT_MAX});
    std::vector<int> previous(states, -1);
    std::vector<int> step(states, MarriageSearch::Start);
    std::vector<std::vector<int>> buckets(1), next;
    cost[size_t(a) * 2] = {0, 0};
    buckets[0].push_back(a * 2);
    int found = -1;
    for (int m = 0; found < 0 && !buckets.empty(); ++m) {
        for (size_t s = 0; s < buckets.size() && found < 0; ++s) {
            for (size_t k = 0; k < buckets[s].size() && found < 0; ++k) {
                const int state = buckets[s][k];
                if (cost[size_t(state)] != std::pair(m, int(s)))
                    continue;
                const int person = state / 2;
                if (person == b && m > 0) {
                    found = state;
                    continue;
                }
                const auto relax = [&](int to, int phase, MarriageSearch::Step kind) {
                    const int target = to * 2 + phase;
                    const bool marry = kind == MarriageSearch::Marry;
                    const std::pair c(m + (marry ? 1 : 0), int(s) + 1);
                    if (c >= cost[size_t(target)])
                        return;
                    cost[size_t(target)] = c;
                    previous[size_t(target)] = state;
                    step[size_t(target)] = kind;
                    auto &layer = marry ? next : buckets;
                    if (layer.size() <= s + 1)
                        layer.resize(s + 2);
                    layer[s + 1].push_back(target);
                };
                if (state % 2 == 0) {
                    for (int parent : index.parents(person))
                        relax(parent, 0, MarriageSearch::Up);
                }
                for (int child : index.children(person))
                    relax(child, 1, MarriageSearch::Down);
                for (int partner : index.partners(person))
                    relax(partner, 0, MarriageSearch::Marry);
            }
        }
        buckets = std::move(next);
        next.clear();
    }
    std::vector<Visit> walk;
    for (int s = found; s >= 0; s = previous[size_t(s)])
        walk.push_back({s / 2, MarriageSearch::Step(step[size_t(s)])});
    std::reverse(walk.begin(), walk.end());
    return walk;
}

// The fewest (marriages, steps) of a walk from a to b with a marriage, by a priority queue over
// every state: no layers, no buckets, nothing kept from the other searches.
std::optional<std::pair<int, int>> leastCost(const KinshipIndex &index, int a, int b)
{
    using Entry = std::tuple<int, int, int>; // marriages, steps, state
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    std::map<int, std::pair<int, int>> best;
    queue.emplace(0, 0, a * 2);
    best[a * 2] = {0, 0};
    while (!queue.empty()) {
        const auto [m, s, state] = queue.top();
        queue.pop();
        if (best[state] != std::pair(m, s))
            continue;
        if (state / 2 == b && m > 0)
            return std::pair(m, s);
        const auto push = [&, m = m, s = s](int target, int marriages) {
            const std::pair c(m + marriages, s + 1);
            const auto it = best.find(target);
            if (it == best.end() || c < it->second) {
                best[target] = c;
                queue.emplace(c.first, c.second, target);
            }
        };
        if (state % 2 == 0) {
            for (int parent : index.parents(state / 2))
                push(parent * 2, 0);
        }
        for (int child : index.children(state / 2))
            push(child * 2 + 1, 0);
        for (int partner : index.partners(state / 2))
            push(partner * 2, 1);
    }
    return std::nullopt;
}

bool linked(std::span<const int> list, int person)
{
    return std::find(list.begin(), list.end(), person) != list.end();
}

// A walk that only takes real links and never goes up once it went down; its cost.
std::optional<std::pair<int, int>> checkedCost(const KinshipIndex &index,
                                               const std::vector<Visit> &walk)
{
    int marriages = 0;
    bool down = false;
    for (size_t i = 1; i < walk.size(); ++i) {
        const int from = walk[i - 1].person;
        const int to = walk[i].person;
        switch (walk[i].step) {
        case MarriageSearch::Up:
            if (down || !linked(index.parents(from), to))
                return std::nullopt;
            break;
        case MarriageSearch::Down:
            if (!linked(index.children(from), to))
                return std::nullopt;
            down = true;
            break;
        case MarriageSearch::Marry:
            if (!linked(index.partners(from), to))
                return std::nullopt;
            ++marriages;
            down = false;
            break;
        case MarriageSearch::Start:
            return std::nullopt;
        }
    }
    return std::pair(marriages, int(walk.size()) - 1);
}

} // namespace

class tst_marriagesearch : public QObject
{
    Q_OBJECT

private slots:
    void agreesWithPlainSearchesOnRandomTrees()
    {
        QRandomGenerator random(2718);
        MarriageSearch search; // one search for every question: nothing may leak between them
        int related = 0, unrelated = 0, several = 0;
        for (int tree = 0; tree < 60; ++tree) {
            const int persons = 20 + int(random.bounded(280));
            const KinshipIndex index = randomTree(random, persons);
            for (int pair = 0; pair < 40; ++pair) {
                const int a = int(random.bounded(persons));
                const int b = int(random.bounded(persons));
                const std::vector<Visit> walk = search.find(index, a, b);
                const std::vector<Visit> plain = plainLayeredSearch(index, a, b);
                const std::optional<std::pair<int, int>> least = leastCost(index, a, b);
                const QByteArray where =
                    QStringLiteral("tree %1, %2 to %3").arg(tree).arg(keyOf(a), keyOf(b)).toUtf8();
                QCOMPARE(walk.size(), plain.size());
                for (size_t i = 0; i < walk.size(); ++i) {
                    QVERIFY2(walk[i].person == plain[i].person && walk[i].step == plain[i].step,
                             where.constData());
                }
                QCOMPARE(walk.empty(), !least.has_value());
                if (walk.empty()) {
                    ++unrelated;
                    continue;
                }
                ++related;
                QCOMPARE(walk.front().person, a);
                QCOMPARE(walk.back().person, b);
                QCOMPARE(checkedCost(index, walk), least);
                several += least->first > 1;
            }
        }
        QVERIFY(related > 500 && unrelated > 20);
        QVERIFY(several > 50); // walks through more than one marriage too
    }

    void manyMarriagesInARow()
    {
        // A line of 40,000 persons each married to the next: the walk from one end to the
        // other crosses more marriages than the costs packed in 32 bits can count.
        const int persons = 40000;
        std::vector<PersonRow> rows(static_cast<size_t>(persons));
        std::vector<FamilyKeys> families;
        for (int i = 0; i < persons; ++i) {
            rows[size_t(i)].ID = keyOf(i);
            if (i > 0) {
                FamilyKeys family;
                family.partner[0] = keyOf(i - 1);
                family.partner[1] = keyOf(i);
                families.push_back(std::move(family));
            }
        }
        const KinshipIndex index = KinshipIndex::build(rows, families);
        MarriageSearch search;
        const std::vector<Visit> walk = search.find(index, 0, persons - 1);
        QCOMPARE(checkedCost(index, walk), std::optional(std::pair(persons - 1, persons - 1)));
        // The search keeps working for short questions afterwards.
        QCOMPARE(search.find(index, 10, 12).size(), size_t(3));
        QVERIFY(search.find(index, -1, 5).empty());
        QVERIFY(search.find(index, 0, persons).empty());
        // Through the calculator: a relative by marriage, each marriage named.
        RelationshipCalculator calculator(index);
        const Relationship far = calculator.relate(0, persons - 1);
        QCOMPARE(far.kind, Relationship::Kind::Marriage);
        QCOMPARE(far.term, QStringLiteral("relative by marriage"));
        QCOMPARE(far.marriages.size(), size_t(2 * (persons - 1)));
    }
};

QTEST_MAIN(tst_marriagesearch)
#include "tst_marriagesearch.moc"
