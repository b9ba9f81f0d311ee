#include "XrefIndex.h"

#include <QHashFunctions>

#include <algorithm>
#include <cstring>

namespace Gedcom {

namespace {

size_t capacityFor(qsizetype count)
{
    size_t capacity = 16;
    while (capacity < size_t(count) * 2)
        capacity *= 2;
    return capacity;
}

// How many ids ahead findAll fetches places, and (half as far) the ids they point to.
constexpr size_t kAhead = 16;

} // namespace

quint32 XrefIndex::hashOf(QByteArrayView id)
{
    return quint32(qHash(id));
}

void XrefIndex::place(const Place &entry)
{
    size_t slot = entry.hash & m_mask;
    while (m_places[slot].record >= 0)
        slot = (slot + 1) & m_mask;
    m_places[slot] = entry;
}

void XrefIndex::reserve(qsizetype count)
{
    const size_t capacity = capacityFor(count);
    if (capacity <= m_places.size())
        return;
    std::vector<Place> old;
    old.swap(m_places);
    m_places.assign(capacity, Place{});
    m_mask = capacity - 1;
    for (const Place &entry : old) {
        if (entry.record >= 0)
            place(entry);
    }
}

bool XrefIndex::insert(int record, quint32 offset, quint32 size, const char *text)
{
    if (size_t(m_count + 1) * 2 > m_places.size())
        reserve(m_count * 2 + 16);
    const QByteArrayView id(text + offset, size);
    const quint32 hash = hashOf(id);
    if (findHashed(id, hash, text) >= 0)
        return false;
    place(Place{hash, record, offset, size});
    ++m_count;
    return true;
}

int XrefIndex::findHashed(QByteArrayView id, quint32 hash, const char *text) const
{
    if (m_places.empty())
        return -1;
    for (size_t slot = hash & m_mask;; slot = (slot + 1) & m_mask) {
        const Place &p = m_places[slot];
        if (p.record < 0)
            return -1;
        if (p.hash == hash && p.size == quint32(id.size()) &&
            std::memcmp(text + p.offset, id.data(), size_t(id.size())) == 0)
            return p.record;
    }
}

int XrefIndex::find(QByteArrayView id, const char *text) const
{
    return findHashed(id, hashOf(id), text);
}

void XrefIndex::findAll(const QByteArrayView *ids, int *records, size_t count,
                        const char *text) const
{
    if (m_places.empty()) {
        std::fill(records, records + count, -1);
        return;
    }
    // records[] holds the hashes until each id's turn comes.
    for (size_t i = 0; i < count; ++i)
        records[i] = int(hashOf(ids[i]));
    for (size_t i = 0; i < count; ++i) {
        if (i + kAhead < count)
            __builtin_prefetch(&m_places[quint32(records[i + kAhead]) & m_mask]);
        if (i + kAhead / 2 < count) {
            const quint32 hash = quint32(records[i + kAhead / 2]);
            const Place &p = m_places[hash & m_mask];
            if (p.record >= 0 && p.hash == hash)
                __builtin_prefetch(text + p.offset);
        }
        records[i] = findHashed(ids[i], quint32(records[i]), text);
    }
}

} // namespace Gedcom
