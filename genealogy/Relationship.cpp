#include "Relationship.h"

#include "RelationshipTerms.h"

#include <algorithm>
#include <climits>
#include <limits>
#include <tuple>

namespace Genealogy {

using namespace RelationshipTerms;

QStringList Relationship::lines(const KinshipIndex &index) const
{
    QStringList out{term};
    const auto keys = [&index](const std::vector<int> &persons) {
        QStringList k;
        for (int p : persons)
            k << index.key(p);
        return k.join(QStringLiteral(", "));
    };
    switch (kind) {
    case Kind::Same:
    case Kind::Blood:
        for (const RelationshipPath &path : paths)
            out << QStringLiteral("path: up %1, down %2, through %3")
                       .arg(path.up)
                       .arg(path.down)
                       .arg(keys(path.through));
        break;
    case Kind::Marriage:
        out << QStringLiteral("path: marriage through ") + keys(marriages);
        break;
    case Kind::None:
        out << QStringLiteral("none");
        break;
    }
    return out;
}

RelationshipCalculator::RelationshipCalculator(const KinshipIndex &index)
    : m_index(index), m_distA(size_t(index.count()), -1), m_distB(size_t(index.count()), -1)
{
}

void RelationshipCalculator::reset()
{
    for (int p : m_touchedA)
        m_distA[size_t(p)] = -1;
    for (int p : m_touchedB)
        m_distB[size_t(p)] = -1;
    m_touchedA.clear();
    m_touchedB.clear();
}

void RelationshipCalculator::ancestors(int person, std::vector<int> &dist,
                                       std::vector<int> &touched, int limit,
                                       std::vector<int> *meets)
{
    // Breadth first: `touched` doubles as the queue.
    dist[size_t(person)] = 0;
    touched.push_back(person);
    for (size_t i = 0; i < touched.size(); ++i) {
        const int p = touched[i];
        const int d = dist[size_t(p)];
        if (meets && m_distA[size_t(p)] >= 0) {
            meets->push_back(p);
            // Nothing deeper than the nearest meeting found can be nearer.
            limit = std::min(limit, m_distA[size_t(p)] + d);
        }
        if (d >= limit)
            continue;
        for (int parent : m_index.parents(p)) {
            if (dist[size_t(parent)] < 0) {
                dist[size_t(parent)] = d + 1;
                touched.push_back(parent);
            }
        }
    }
}

bool RelationshipCalculator::blood(int a, int b, Relationship &result)
{
    ancestors(a, m_distA, m_touchedA, INT_MAX, nullptr);
    std::vector<int> meets;
    ancestors(b, m_distB, m_touchedB, INT_MAX, &meets);
    int best = INT_MAX;
    for (int p : meets)
        best = std::min(best, m_distA[size_t(p)] + m_distB[size_t(p)]);
    if (best == INT_MAX)
        return false;
    std::vector<int> nearest;
    for (int p : meets) {
        if (m_distA[size_t(p)] + m_distB[size_t(p)] == best)
            nearest.push_back(p);
    }
    std::sort(nearest.begin(), nearest.end(), [this](int x, int y) {
        return std::tuple(m_distA[size_t(x)], x) < std::tuple(m_distA[size_t(y)], y);
    });
    // A couple at the same distance counts once.
    std::vector<bool> used(nearest.size(), false);
    for (size_t i = 0; i < nearest.size(); ++i) {
        if (used[i])
            continue;
        const int x = nearest[i];
        RelationshipPath path{m_distA[size_t(x)], m_distB[size_t(x)], {x}};
        const auto partners = m_index.partners(x);
        for (size_t j = i + 1; j < nearest.size(); ++j) {
            const int y = nearest[j];
            if (!used[j] && m_distA[size_t(y)] == path.up &&
                std::find(partners.begin(), partners.end(), y) != partners.end()) {
                path.through.push_back(y);
                used[j] = true;
                break;
            }
        }
        result.paths.push_back(std::move(path));
    }
    const RelationshipPath &first = result.paths.front();
    bool half = false;
    if (first.up == 1 && first.down == 1 && first.through.size() == 1) {
        // Siblings sharing one parent while each has another: half-siblings.
        const auto pa = m_index.parents(a);
        const auto pb = m_index.parents(b);
        int shared = 0;
        for (int p : pa)
            shared += std::find(pb.begin(), pb.end(), p) != pb.end();
        half = shared == 1 && pa.size() >= 2 && pb.size() >= 2;
    }
    result.kind = a == b ? Relationship::Kind::Same : Relationship::Kind::Blood;
    result.term = RelationshipTerms::blood(first.up, first.down, m_index.sex(a), half);
    return true;
}

namespace {

// A step of a relation through marriages.
enum Step : char { Start, Up, Down, Marry };

} // namespace

bool RelationshipCalculator::marriage(int a, int b, Relationship &result)
{
    // States: a person and whether the walk has begun going down (it may then not go up again:
    // down and up again would pass through a couple's child instead of their marriage).
    // Cheapest first by (marriages, steps): the marriages a layer each, the steps of a layer in
    // buckets, so that the search is linear in what it visits.
    const int n = m_index.count();
    constexpr qint64 kUnreached = std::numeric_limits<qint64>::max();
    std::vector<qint64> cost(size_t(n) * 2, kUnreached);
    std::vector<int> previous(size_t(n) * 2, -1);
    std::vector<char> step(size_t(n) * 2, Start);
    const auto packed = [](qint64 m, qint64 s) { return (m << 32) | s; };
    // buckets[s]: states reached with s steps in the current layer; next: the layer after it.
    std::vector<std::vector<int>> buckets(1), next;
    cost[size_t(a) * 2] = 0;
    buckets[0].push_back(a * 2);
    int found = -1;
    for (qint64 m = 0; found < 0 && !buckets.empty(); ++m) {
        for (size_t s = 0; s < buckets.size() && found < 0; ++s) {
            for (size_t k = 0; k < buckets[s].size(); ++k) {
                const int state = buckets[s][k];
                if (cost[size_t(state)] != packed(m, qint64(s)))
                    continue; // reached more cheaply since
                const int person = state / 2;
                if (person == b && m > 0) {
                    found = state;
                    break;
                }
                const auto relax = [&](int to, int phase, bool marry, Step kind) {
                    const int target = to * 2 + phase;
                    const qint64 c = packed(m + (marry ? 1 : 0), qint64(s) + 1);
                    if (c >= cost[size_t(target)])
                        return;
                    cost[size_t(target)] = c;
                    previous[size_t(target)] = state;
                    step[size_t(target)] = kind;
                    std::vector<std::vector<int>> &layer = marry ? next : buckets;
                    if (layer.size() <= s + 1)
                        layer.resize(s + 2);
                    layer[s + 1].push_back(target);
                };
                if (state % 2 == 0) {
                    for (int parent : m_index.parents(person))
                        relax(parent, 0, false, Up);
                }
                for (int child : m_index.children(person))
                    relax(child, 1, false, Down);
                for (int partner : m_index.partners(person))
                    relax(partner, 0, true, Marry);
            }
        }
        buckets = std::move(next);
        next.clear();
    }
    if (found < 0)
        return false;
    std::vector<int> states;
    for (int s = found; s >= 0; s = previous[size_t(s)])
        states.push_back(s);
    std::reverse(states.begin(), states.end());
    for (size_t i = 1; i < states.size(); ++i) {
        if (step[size_t(states[i])] == Marry) {
            result.marriages.push_back(states[i - 1] / 2);
            result.marriages.push_back(states[i] / 2);
        }
    }
    // Steps kept with their states for the term.
    std::vector<int> walk;
    for (int s : states)
        walk.push_back(s * 4 + step[size_t(s)]);
    result.kind = Relationship::Kind::Marriage;
    result.term = marriageTerm(a, b, walk);
    return true;
}

QString RelationshipCalculator::marriageTerm(int a, int b, const std::vector<int> &walk) const
{
    // One marriage: a blood segment (up u1, down d1) to one partner, the marriage, a segment
    // (up u2, down d2) from the other partner to b.
    int marriages = 0, u1 = 0, d1 = 0, u2 = 0, d2 = 0;
    for (size_t i = 1; i < walk.size(); ++i) {
        const int kind = walk[i] % 4;
        if (kind == Marry)
            ++marriages;
        else if (marriages == 0)
            (kind == Up ? u1 : d1) += 1;
        else
            (kind == Up ? u2 : d2) += 1;
    }
    const Sex sex = m_index.sex(a);
    const QString relative = QStringLiteral("relative by marriage");
    if (marriages != 1)
        return relative;
    Q_UNUSED(b);
    if (u1 == 0 && d1 == 0) { // a is the partner of someone of b's blood
        if (u2 == 0 && d2 == 0)
            return bySex(sex, "husband", "wife", "spouse");
        if (u2 == 0 && d2 == 1)
            return bySex(sex, "step-father", "step-mother", "step-parent");
        if (u2 == 1 && d2 == 0)
            return bySex(sex, "son-in-law", "daughter-in-law", "child-in-law");
        if (u2 == 2 && d2 == 0)
            return bySex(sex, "grandson-in-law", "granddaughter-in-law", "grandchild-in-law");
        if (u2 == 1 && d2 == 1)
            return bySex(sex, "brother-in-law", "sister-in-law", "sibling-in-law");
        return relative;
    }
    if (u2 == 0 && d2 == 0) { // a is of the blood of b's partner
        if (u1 == 1 && d1 == 0)
            return bySex(sex, "step-son", "step-daughter", "step-child");
        if (u1 == 2 && d1 == 0)
            return bySex(sex, "step-grandson", "step-granddaughter", "step-grandchild");
        if (u1 == 0 && d1 == 1)
            return bySex(sex, "father-in-law", "mother-in-law", "parent-in-law");
        if (u1 == 0 && d1 == 2)
            return bySex(sex, "grandfather-in-law", "grandmother-in-law", "grandparent-in-law");
        if (u1 == 1 && d1 == 1)
            return bySex(sex, "brother-in-law", "sister-in-law", "sibling-in-law");
    }
    if (u1 == 1 && d1 == 0 && u2 == 1 && d2 == 0) // children of two partners
        return bySex(sex, "step-brother", "step-sister", "step-sibling");
    return relative;
}

std::vector<int> RelationshipCalculator::line(int descendant, int ancestor)
{
    std::vector<int> result;
    if (descendant < 0 || ancestor < 0 || descendant >= m_index.count() ||
        ancestor >= m_index.count())
        return result;
    reset();
    // Breadth first up from the descendant, remembering who reached whom in m_distB.
    m_distA[size_t(descendant)] = 0;
    m_touchedA.push_back(descendant);
    for (size_t i = 0; i < m_touchedA.size() && m_distA[size_t(ancestor)] < 0; ++i) {
        const int p = m_touchedA[i];
        for (int parent : m_index.parents(p)) {
            if (m_distA[size_t(parent)] < 0) {
                m_distA[size_t(parent)] = m_distA[size_t(p)] + 1;
                m_distB[size_t(parent)] = p;
                m_touchedA.push_back(parent);
                m_touchedB.push_back(parent);
            }
        }
    }
    if (m_distA[size_t(ancestor)] >= 0) {
        for (int p = ancestor; p != descendant; p = m_distB[size_t(p)])
            result.push_back(p);
        result.push_back(descendant);
        std::reverse(result.begin(), result.end());
    }
    reset();
    return result;
}

std::vector<int> RelationshipCalculator::pathPersons(int a, int b, const Relationship &r)
{
    std::vector<int> persons;
    if (r.paths.empty())
        return persons;
    for (int ancestor : r.paths.front().through) {
        for (int from : {a, b}) {
            for (int p : line(from, ancestor)) {
                if (std::find(persons.begin(), persons.end(), p) == persons.end())
                    persons.push_back(p);
            }
        }
    }
    return persons;
}

Relationship RelationshipCalculator::relate(int a, int b)
{
    Relationship result;
    if (a < 0 || b < 0 || a >= m_index.count() || b >= m_index.count()) {
        result.term = QStringLiteral("not related");
        return result;
    }
    reset();
    const bool related = blood(a, b, result) || marriage(a, b, result);
    reset();
    if (!related)
        result.term = QStringLiteral("not related");
    return result;
}

} // namespace Genealogy
