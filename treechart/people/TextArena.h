#pragma once

#include "FlatIndex.h"
#include "TextHash.h"

#include <QtGlobal>

#include <cstring>
#include <vector>

namespace Chart {

// Texts seen while loading, each once, as UTF-8 bytes side by side with a number the caller
// gives them: finding a text again costs one probe of the index and one look at the bytes,
// which lie together in memory. Freed when the load is done.
class TextArena
{
public:
    static constexpr quint32 kNone = FlatIndex::kNone;

    // The number given to the text when it was added, or kNone.
    quint32 Find(const char *data, qsizetype size, quint32 hash) const
    {
        const quint32 at = m_index.Find(hash, [&](quint32 offset) {
            return record(offset).size == quint32(size) &&
                   std::memcmp(m_bytes.data() + offset + sizeof(Record), data, size_t(size)) == 0;
        });
        return at == kNone ? kNone : record(at).number;
    }

    // Adds a text that Find did not find; false when the arena is full (nothing added).
    bool Add(const char *data, qsizetype size, quint32 hash, quint32 number)
    {
        const size_t offset = m_bytes.size();
        const size_t needed = sizeof(Record) + size_t(size);
        if (offset + needed >= kNone)
            return false;
        m_bytes.resize(offset + ((needed + 3) & ~size_t(3)));
        Record r{number, quint32(size)};
        std::memcpy(m_bytes.data() + offset, &r, sizeof r);
        std::memcpy(m_bytes.data() + offset + sizeof r, data, size_t(size));
        m_index.Insert(hash, quint32(offset));
        return true;
    }

    qsizetype Count() const { return m_index.Count(); }

    // Fetching ahead, for a text to be looked up soon: first the place in the index, then
    // (once that is at hand) the bytes it points to.
    void PrefetchPlace(quint32 hash) const { m_index.Prefetch(hash); }
    void PrefetchText(quint32 hash) const
    {
        const quint32 offset = m_index.FirstCandidate(hash);
        if (offset != kNone)
            __builtin_prefetch(m_bytes.data() + offset);
    }

private:
    struct Record
    {
        quint32 number;
        quint32 size;
    };
    Record record(quint32 offset) const
    {
        Record r;
        std::memcpy(&r, m_bytes.data() + offset, sizeof r);
        return r;
    }

    FlatIndex m_index;
    std::vector<char> m_bytes;
};

} // namespace Chart
