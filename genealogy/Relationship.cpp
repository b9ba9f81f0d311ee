#include "Relationship.h"

#include "RelationshipTerms.h"

#include <algorithm>
#include <climits>
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

int RelationshipCalculator::childOnLine(int ancestor, int distance, const std::vector<int> &dist,
                                        const std::vector<int> &touched) const
{
    int found = -1;
    for (int p : touched) {
        if (dist[size_t(p)] != distance)
            continue;
        const auto parents = m_index.parents(p);
        if (std::find(parents.begin(), parents.end(), ancestor) == parents.end())
            continue;
        if (found >= 0)
            return -1; // descended from two of its children
        found = p;
    }
    return found;
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
    if (first.up >= 1 && first.down >= 1 && first.through.size() == 1) {
        // The two lines start with a child each of the one common ancestor: children sharing
        // that one parent while each has another are half-siblings, and their lines half-kin.
        const int ca = childOnLine(first.through[0], first.up - 1, m_distA, m_touchedA);
        const int cb = childOnLine(first.through[0], first.down - 1, m_distB, m_touchedB);
        if (ca >= 0 && cb >= 0) {
            const auto pa = m_index.parents(ca);
            const auto pb = m_index.parents(cb);
            int shared = 0;
            for (int p : pa)
                shared += std::find(pb.begin(), pb.end(), p) != pb.end();
            half = shared == 1 && pa.size() >= 2 && pb.size() >= 2;
        }
    }
    result.kind = a == b ? Relationship::Kind::Same : Relationship::Kind::Blood;
    result.term = RelationshipTerms::blood(first.up, first.down, m_index.sex(a), half);
    return true;
}

bool RelationshipCalculator::marriage(int a, int b, Relationship &result)
{
    const std::vector<MarriageSearch::Visit> walk = m_marriages.find(m_index, a, b);
    if (walk.empty())
        return false;
    for (size_t i = 1; i < walk.size(); ++i) {
        if (walk[i].step == MarriageSearch::Marry) {
            result.marriages.push_back(walk[i - 1].person);
            result.marriages.push_back(walk[i].person);
        }
    }
    result.kind = Relationship::Kind::Marriage;
    result.term = marriageTerm(a, walk);
    return true;
}

QString RelationshipCalculator::marriageTerm(int a,
                                             const std::vector<MarriageSearch::Visit> &walk) const
{
    // One marriage: a blood segment (up u1, down d1) to one partner, the marriage, a segment
    // (up u2, down d2) from the other partner to b.
    int marriages = 0, u1 = 0, d1 = 0, u2 = 0, d2 = 0;
    for (size_t i = 1; i < walk.size(); ++i) {
        const MarriageSearch::Step kind = walk[i].step;
        if (kind == MarriageSearch::Marry)
            ++marriages;
        else if (marriages == 0)
            (kind == MarriageSearch::Up ? u1 : d1) += 1;
        else
            (kind == MarriageSearch::Up ? u2 : d2) += 1;
    }
    const Sex sex = m_index.sex(a);
    const QString relative = QStringLiteral("relative by marriage");
    if (marriages != 1)
        return relative;
    if (u1 == 0 && d1 == 0) { // a is the partner of someone of b's blood
        if (u2 == 0 && d2 == 0)
            return bySex(sex, "husband", "wife", "spouse");
        if (u2 == 0 && d2 == 1)
            return bySex(sex, "step-father", "step-mother", "step-parent");
        if (u2 == 0 && d2 == 2)
            return bySex(sex, "step-grandfather", "step-grandmother", "step-grandparent");
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
