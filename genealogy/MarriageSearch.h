#pragma once

#include "KinshipIndex.h"

#include <cstdint>
#include <vector>

namespace Genealogy {

// The shortest relation through marriages between two persons of a kinship index: the walk
// with the fewest marriages and, among those, the fewest steps, where a step goes to a parent,
// a child or a partner (marrying), and a walk that has begun going down may not go up again
// (down and up again would pass through a couple's child instead of their marriage). Of walks
// equally short the first found breadth first wins: parents before children before partners,
// each in the index's order.
//
// The search visits every state cheaper than the answer, so its cost is in how little each
// visit takes: the costs are packed into 32 bits while the marriages fit (64 when they do not)
// and the arrays are kept between questions. Not safe for two threads at once.
class MarriageSearch
{
public:
    enum Step : char { Start, Up, Down, Marry };
    struct Visit
    {
        int person;
        Step step; // how the walk came to the person
    };

    // The walk from `a` to `b` (a first, with Start) crossing at least one marriage; empty when
    // there is none (or the index holds more than 2^28 persons). The index must outlive the call
    // only.
    std::vector<Visit> find(const KinshipIndex &index, int a, int b);

private:
    enum class Outcome { Found, None, TooManyMarriages };
    template <typename Cost> Outcome search(const KinshipIndex &index, int a, int b, int stepBits);

    std::vector<std::uint32_t> m_cost32;
    std::vector<std::uint64_t> m_cost64;
    std::vector<int> m_previous; // the state a state was reached from, times four, plus the step
    int m_found = -1;
};

} // namespace Genealogy
