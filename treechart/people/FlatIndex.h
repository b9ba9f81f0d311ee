#pragma once

#include <QtGlobal>

#include <vector>

namespace Chart {

// A hash index of 32-bit values (positions, numbers) under 32-bit hashes, with open addressing
// and linear probing: eight bytes per place, no allocation per entry. The index does not know
// what the values stand for; the caller passes the test that a value is the one sought.
class FlatIndex
{
public:
    static constexpr quint32 kNone = 0xFFFFFFFFu;

    // Room for `count` values without growing.
    void Reserve(qsizetype count)
    {
        qsizetype places = 16;
        while (places / 2 < count)
            places *= 2;
        if (places > qsizetype(m_places.size()))
            rehash(places);
    }

    // The first value under `hash` that `matches` accepts, or kNone.
    template <typename Matches> quint32 Find(quint32 hash, Matches &&matches) const
    {
        if (m_places.empty())
            return kNone;
        for (quint32 i = hash & m_mask;; i = (i + 1) & m_mask) {
            const Place &p = m_places[i];
            if (p.value == kNone)
                return kNone;
            if (p.hash == hash && matches(p.value))
                return p.value;
        }
    }

    // Asks the processor to fetch the place where a search for `hash` starts.
    void Prefetch(quint32 hash) const
    {
        if (!m_places.empty())
            __builtin_prefetch(&m_places[hash & m_mask]);
    }
    // The value at the place where a search for `hash` starts, when its hash is `hash` (a likely
    // answer, to fetch ahead); else kNone.
    quint32 FirstCandidate(quint32 hash) const
    {
        if (m_places.empty())
            return kNone;
        const Place &p = m_places[hash & m_mask];
        return p.hash == hash ? p.value : kNone;
    }

    // Adds a value; the caller has made sure that no equal one is there.
    void Insert(quint32 hash, quint32 value)
    {
        if (2 * (m_count + 1) > qsizetype(m_places.size()))
            rehash(std::max<qsizetype>(16, 2 * qsizetype(m_places.size())));
        quint32 i = hash & m_mask;
        while (m_places[i].value != kNone)
            i = (i + 1) & m_mask;
        m_places[i] = Place{hash, value};
        ++m_count;
    }

    // Takes out the value stored under `hash`; nothing happens when it is not there.
    void Erase(quint32 hash, quint32 value)
    {
        if (m_places.empty())
            return;
        quint32 i = hash & m_mask;
        for (;; i = (i + 1) & m_mask) {
            if (m_places[i].value == kNone)
                return;
            if (m_places[i].value == value && m_places[i].hash == hash)
                break;
        }
        // Move later entries of the same run back so that no search stops early.
        for (quint32 j = (i + 1) & m_mask; m_places[j].value != kNone; j = (j + 1) & m_mask) {
            const quint32 home = m_places[j].hash & m_mask;
            const bool between = i <= j ? (i < home && home <= j) : (i < home || home <= j);
            if (!between) {
                m_places[i] = m_places[j];
                i = j;
            }
        }
        m_places[i] = Place{};
        --m_count;
    }

    qsizetype Count() const { return m_count; }
    void Clear()
    {
        m_places.clear();
        m_places.shrink_to_fit();
        m_mask = 0;
        m_count = 0;
    }

private:
    struct Place
    {
        quint32 hash = 0;
        quint32 value = kNone;
    };

    void rehash(qsizetype places)
    {
        std::vector<Place> old;
        old.swap(m_places);
        m_places.assign(size_t(places), Place{});
        m_mask = quint32(places - 1);
        m_count = 0;
        for (const Place &p : old) {
            if (p.value != kNone)
                Insert(p.hash, p.value);
        }
    }

    std::vector<Place> m_places;
    quint32 m_mask = 0;
    qsizetype m_count = 0;
};

} // namespace Chart
