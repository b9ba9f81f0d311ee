#include "MarriageSearch.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace Genealogy {

template <typename Cost>
MarriageSearch::Outcome MarriageSearch::search(const KinshipIndex &index, int a, int b,
                                               int stepBits)
{
    // A state is a person and whether the walk has begun going down: person * 2 + phase. Its cost
    // is (marriages, steps) packed with the steps in the low `stepBits` bits; the highest value
    // is "not reached", so the marriages stop one short of filling their bits.
    constexpr Cost kUnreached = ~Cost(0);
    const Cost maxMarriages = (kUnreached >> stepBits) - 1;
    std::vector<Cost> &costs = [this]() -> std::vector<Cost> & {
        if constexpr (sizeof(Cost) == 4)
            return m_cost32;
        else
            return m_cost64;
    }();
    const size_t states = size_t(index.count()) * 2;
    costs.assign(states, kUnreached);
    m_previous.resize(states);
    Cost *cost = costs.data();
    int *previous = m_previous.data();

    // Marriages a layer each; within a layer the steps breadth first. The states entering a
    // layer by a marriage (with their steps, in the order found, which is by steps) come before
    // those reached within the layer with as many steps.
    std::vector<std::pair<int, Cost>> seeds{{a * 2, 0}}, nextSeeds;
    std::vector<int> bucket, following;
    cost[size_t(a) * 2] = 0;
    previous[size_t(a) * 2] = -1;
    m_found = -1;
    for (Cost m = 0; !seeds.empty(); ++m) {
        if (m + 1 > maxMarriages)
            return Outcome::TooManyMarriages;
        size_t seed = 0;
        bucket.clear();
        Cost s = seeds.front().second;
        while (seed < seeds.size() || !bucket.empty()) {
            if (bucket.empty())
                s = std::max(s, seeds[seed].second);
            const Cost now = (m << stepBits) | s;
            const Cost further = now + 1;
            const Cost married = ((m + 1) << stepBits) | (s + 1);
            following.clear();
            // Visits one state of this layer with `s` steps: true when it is the end.
            const auto visit = [&following, &nextSeeds, &index, cost, previous, now, further,
                                married, b, m, s](int state) {
                if (cost[size_t(state)] != now)
                    return false; // reached more cheaply since
                const int person = state >> 1;
                if (person == b && m > 0)
                    return true;
                // The person's other state, reached more cheaply, has made every move this one
                // could (and going up besides): its children and partners are reached already.
                const bool down = (state & 1) != 0;
                const bool done = cost[size_t(state ^ 1)] < now;
                if (down && done)
                    return false;
                const int from = state * 4;
                if (!down) {
                    for (int parent : index.parents(person)) {
                        const size_t target = size_t(parent) * 2;
                        if (further < cost[target]) {
                            cost[target] = further;
                            previous[target] = from + Up;
                            following.push_back(int(target));
                        }
                    }
                    if (done)
                        return false;
                }
                for (int child : index.children(person)) {
                    const size_t target = size_t(child) * 2 + 1;
                    if (further < cost[target]) {
                        cost[target] = further;
                        previous[target] = from + Down;
                        following.push_back(int(target));
                    }
                }
                for (int partner : index.partners(person)) {
                    const size_t target = size_t(partner) * 2;
                    if (married < cost[target]) {
                        cost[target] = married;
                        previous[target] = from + Marry;
                        nextSeeds.emplace_back(int(target), s + 1);
                    }
                }
                return false;
            };
            // The states some places ahead are asked of memory while these are visited: their
            // costs first, their lists of relatives when nearer.
            constexpr size_t kFar = 16, kNear = 6;
            const auto prefetch = [cost, &index, &bucket](size_t k) {
                if (k + kFar < bucket.size())
                    __builtin_prefetch(cost + bucket[k + kFar]);
                if (k + kNear < bucket.size()) {
                    const int person = bucket[k + kNear] >> 1;
                    __builtin_prefetch(index.children(person).data());
                    __builtin_prefetch(index.parents(person).data());
                }
            };
            for (; seed < seeds.size() && seeds[seed].second == s; ++seed) {
                if (visit(seeds[seed].first)) {
                    m_found = seeds[seed].first;
                    return Outcome::Found;
                }
            }
            for (size_t k = 0; k < bucket.size(); ++k) {
                prefetch(k);
                if (visit(bucket[k])) {
                    m_found = bucket[k];
                    return Outcome::Found;
                }
            }
            std::swap(bucket, following);
            ++s;
        }
        seeds.swap(nextSeeds);
        nextSeeds.clear();
    }
    return Outcome::None;
}

std::vector<MarriageSearch::Visit> MarriageSearch::find(const KinshipIndex &index, int a, int b)
{
    std::vector<Visit> walk;
    const int count = index.count();
    if (a < 0 || b < 0 || a >= count || b >= count || count > (1 << 28))
        return walk;
    // The steps of a shortest walk are fewer than the states; 32 bits hold the cost while the
    // marriages fit in what the steps leave, 64 bits otherwise.
    const int stepBits = int(std::bit_width(size_t(count) * 2 + 2));
    Outcome outcome = Outcome::TooManyMarriages;
    if (stepBits <= 26) {
        outcome = search<std::uint32_t>(index, a, b, stepBits);
        m_cost64 = {};
    }
    if (outcome == Outcome::TooManyMarriages) {
        outcome = search<std::uint64_t>(index, a, b, 32);
        m_cost32 = {};
    }
    if (outcome != Outcome::Found)
        return walk;
    for (int state = m_found; state >= 0;) {
        const int from = m_previous[size_t(state)];
        walk.push_back({state >> 1, from < 0 ? Start : Step(from & 3)});
        state = from < 0 ? -1 : from >> 2;
    }
    std::reverse(walk.begin(), walk.end());
    return walk;
}

} // namespace Genealogy
