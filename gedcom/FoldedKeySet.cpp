#include "FoldedKeySet.h"

namespace Gedcom {

namespace {

constexpr quint64 kBasis = 14695981039346656037ULL;
constexpr quint64 kPrime = 1099511628211ULL;

quint32 finish(quint64 h)
{
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 32;
    return quint32(h);
}

} // namespace

// FNV-1a over the UTF-16 units of the case-folded key. Plain ASCII keys are folded on the fly;
// others through a folded copy.
quint32 FoldedKeySet::hash(const QString &key)
{
    quint64 h = kBasis;
    for (QChar c : key) {
        char16_t unit = c.unicode();
        if (unit >= 0x80) {
            h = kBasis;
            for (QChar f : key.toCaseFolded())
                h = (h ^ f.unicode()) * kPrime;
            return finish(h);
        }
        if (unit >= 'A' && unit <= 'Z')
            unit += 'a' - 'A';
        h = (h ^ unit) * kPrime;
    }
    return finish(h);
}

void FoldedKeySet::reserve(qsizetype count)
{
    size_t places = 16;
    while (places < size_t(count) * 2)
        places *= 2;
    if (places <= m_places.size())
        return;
    m_places.assign(places, Place{});
    m_mask = places - 1;
    for (size_t i = 0; i < m_keys.size(); ++i) {
        const quint32 h = hash(m_keys[i]);
        size_t slot = h & m_mask;
        while (m_places[slot].index != kNone)
            slot = (slot + 1) & m_mask;
        m_places[slot] = Place{h, int(i)};
    }
    m_keys.reserve(size_t(count));
}

int FoldedKeySet::indexOf(const QString &key, quint32 hash) const
{
    if (m_places.empty())
        return kNone;
    for (size_t slot = hash & m_mask;; slot = (slot + 1) & m_mask) {
        const Place &p = m_places[slot];
        if (p.index == kNone)
            return kNone;
        if (p.hash == hash && m_keys[size_t(p.index)].compare(key, Qt::CaseInsensitive) == 0)
            return p.index;
    }
}

int FoldedKeySet::add(const QString &key, quint32 hash)
{
    if ((m_keys.size() + 1) * 2 > m_places.size())
        reserve(qsizetype(m_keys.size() + 1) * 2);
    const int index = int(m_keys.size());
    m_keys.push_back(key);
    size_t slot = hash & m_mask;
    while (m_places[slot].index != kNone)
        slot = (slot + 1) & m_mask;
    m_places[slot] = Place{hash, index};
    return index;
}

int FoldedKeySet::insert(const QString &key)
{
    const quint32 h = hash(key);
    const int found = indexOf(key, h);
    return found != kNone ? found : add(key, h);
}

} // namespace Gedcom
