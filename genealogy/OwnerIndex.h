#pragma once

#include "Ref.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

namespace Genealogy {

// The records of a table grouped by owner, in table order within each owner: for each owner
// the rows it owns. Built in one counting pass over the table (linear in rows and owners). A row
// whose owner is no record (a link to a person not read, kNoIndex in a Ref) belongs to no owner:
// counting it would make room for every index up to the largest.
class OwnerIndex
{
public:
    template <typename OwnerOf> void build(size_t rows, OwnerOf ownerOf)
    {
        std::array<quint32, 16> maxIndex{};
        std::array<bool, 16> used{};
        size_t owned = 0;
        for (size_t r = 0; r < rows; ++r) {
            const Ref owner = ownerOf(r);
            if (!isRecord(owner))
                continue;
            ++owned;
            const auto k = size_t(owner.kind());
            used[k] = true;
            maxIndex[k] = std::max(maxIndex[k], owner.index());
        }
        for (size_t k = 0; k < 16; ++k) {
            m_start[k].clear();
            if (used[k])
                m_start[k].assign(size_t(maxIndex[k]) + 2, 0);
        }
        for (size_t r = 0; r < rows; ++r) {
            const Ref owner = ownerOf(r);
            if (isRecord(owner))
                ++m_start[size_t(owner.kind())][size_t(owner.index()) + 1];
        }
        quint32 total = 0;
        for (size_t k = 0; k < 16; ++k) {
            for (quint32 &s : m_start[k]) {
                total += s;
                s = total;
            }
        }
        // Each start now holds the end of its owner's rows: walk back to the starts.
        m_rows.assign(owned, 0);
        std::array<std::vector<quint32>, 16> next;
        for (size_t k = 0; k < 16; ++k) {
            if (m_start[k].empty())
                continue;
            // the first entry is the sum of all kinds before (0 for the first kind used)
            next[k].assign(m_start[k].begin(), m_start[k].end() - 1);
        }
        for (size_t r = 0; r < rows; ++r) {
            const Ref owner = ownerOf(r);
            if (isRecord(owner))
                m_rows[next[size_t(owner.kind())][owner.index()]++] = quint32(r);
        }
        m_built = true;
    }

    std::span<const quint32> rows(Ref owner) const
    {
        const std::vector<quint32> &start = m_start[size_t(owner.kind())];
        const size_t i = owner.index();
        if (i + 1 >= start.size())
            return {};
        return {m_rows.data() + start[i], m_rows.data() + start[i + 1]};
    }
    bool isBuilt() const { return m_built; }
    void reset() { m_built = false; }
    // For sorting the rows of each owner after building (the families of a child by order).
    std::vector<quint32> &allRows() { return m_rows; }
    size_t bytes() const
    {
        size_t b = m_rows.capacity() * sizeof(quint32);
        for (const auto &s : m_start)
            b += s.capacity() * sizeof(quint32);
        return b;
    }

private:
    static bool isRecord(Ref owner) { return owner.index() != Ref::kMaxIndex; }

    std::array<std::vector<quint32>, 16> m_start;
    std::vector<quint32> m_rows;
    bool m_built = false;
};

} // namespace Genealogy
