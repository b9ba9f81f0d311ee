#include "XrefIndex.h"

#include <QHashFunctions>

namespace Gedcom {

namespace {

size_t capacityFor(qsizetype count)
{
    size_t capacity = 16;
    while (capacity < size_t(count) * 2)
        capacity *= 2;
    return capacity;
}

} // namespace

void XrefIndex::reserve(qsizetype count)
{
    const size_t capacity = capacityFor(count);
    if (capacity <= m_slots.size())
        return;
    std::vector<int> old;
    old.swap(m_slots);
    std::vector<quint32> oldHashes;
    oldHashes.swap(m_hashes);
    m_slots.assign(capacity, 0);
    m_hashes.assign(capacity, 0);
    const size_t mask = capacity - 1;
    for (size_t i = 0; i < old.size(); ++i) {
        if (!old[i])
            continue;
        size_t slot = oldHashes[i] & mask;
        while (m_slots[slot])
            slot = (slot + 1) & mask;
        m_slots[slot] = old[i];
        m_hashes[slot] = oldHashes[i];
    }
}

bool XrefIndex::insert(int record, QByteArrayView id, const KeyOf &keyOf)
{
    if (size_t(m_count + 1) * 2 > m_slots.size())
        reserve(m_count * 2 + 16);
    const quint32 hash = quint32(qHash(id));
    const size_t mask = m_slots.size() - 1;
    size_t slot = hash & mask;
    while (m_slots[slot]) {
        if (m_hashes[slot] == hash && keyOf(m_slots[slot] - 1) == id)
            return false;
        slot = (slot + 1) & mask;
    }
    m_slots[slot] = record + 1;
    m_hashes[slot] = hash;
    ++m_count;
    return true;
}

int XrefIndex::find(QByteArrayView id, const KeyOf &keyOf) const
{
    if (m_slots.empty())
        return -1;
    const quint32 hash = quint32(qHash(id));
    const size_t mask = m_slots.size() - 1;
    size_t slot = hash & mask;
    while (m_slots[slot]) {
        if (m_hashes[slot] == hash && keyOf(m_slots[slot] - 1) == id)
            return m_slots[slot] - 1;
        slot = (slot + 1) & mask;
    }
    return -1;
}

} // namespace Gedcom
