#pragma once

#include "KinshipIndex.h"
#include "MarriageSearch.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace Genealogy {

// One way two persons are related by blood: the first is `up` generations below the common
// ancestor (or couple) and the second `down` generations below it.
struct RelationshipPath
{
    int up = 0;
    int down = 0;
    std::vector<int> through; // the common ancestor, or both partners of a couple

    bool operator==(const RelationshipPath &) const = default;
};

// What one person is to another.
struct Relationship
{
    enum class Kind { Same, Blood, Marriage, None };
    Kind kind = Kind::None;
    QString term; // "second cousin once removed", "step-son", "not related", ...
    // By blood: every common ancestor at the shortest distance (up + down), a couple counted
    // once, fewest generations up first.
    std::vector<RelationshipPath> paths;
    // By marriage: the two partners of each marriage the shortest such relation crosses, from
    // the first person's side.
    std::vector<int> marriages;

    // The lines the command line prints: the term, then one line a path
    // ("path: up U, down D, through KEY[, KEY]", "path: marriage through KEY[, KEY]" or "none").
    QStringList lines(const KinshipIndex &index) const;
};

// Finds how persons are related over one kinship index. Keeps its working arrays between
// questions, so that a question costs the ancestors it visits and not the whole tree; not safe
// for two threads at once (one calculator each).
class RelationshipCalculator
{
public:
    // The index must outlive the calculator.
    explicit RelationshipCalculator(const KinshipIndex &index);

    // What person `a` is to person `b` (numbers of the index).
    Relationship relate(int a, int b);
    // A shortest line of parents from `descendant` up to `ancestor`, both included (empty when
    // the one does not descend from the other).
    std::vector<int> line(int descendant, int ancestor);
    // Every person on the lines of the first path of a relation by blood from `a` and from `b`
    // up to the common ancestors (them included); for a relation by marriage or none, empty.
    std::vector<int> pathPersons(int a, int b, const Relationship &relationship);

private:
    // Every ancestor of `person` with its distance in generations (the person itself at 0), in
    // `dist`; the persons reached are added to `touched`. Stops going up past `limit`.
    void ancestors(int person, std::vector<int> &dist, std::vector<int> &touched, int limit,
                   std::vector<int> *meets);
    void reset();
    bool blood(int a, int b, Relationship &result);
    // The one person of `touched` at `distance` (in `dist`) who is a child of `ancestor`: where
    // a line from the ancestor starts. -1 when there is none, or more than one.
    int childOnLine(int ancestor, int distance, const std::vector<int> &dist,
                    const std::vector<int> &touched) const;
    bool marriage(int a, int b, Relationship &result);
    QString marriageTerm(int a, const std::vector<MarriageSearch::Visit> &walk) const;

    const KinshipIndex &m_index;
    std::vector<int> m_distA, m_distB, m_touchedA, m_touchedB;
    MarriageSearch m_marriages;
};

} // namespace Genealogy
