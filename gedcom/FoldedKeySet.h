#pragma once

#include <QString>

#include <vector>

namespace Gedcom {

// A set of keys compared without regard to letter case, each numbered in the order it was
// added: an open-addressing table of (hash, number) pairs beside the keys, so that looking up
// a key that is not there costs one probe and no copy of the key.
class FoldedKeySet
{
public:
    static constexpr int kNone = -1;

    void reserve(qsizetype count);
    qsizetype size() const { return qsizetype(m_keys.size()); }

    // The hash of a key: keys equal without regard to case hash alike.
    static quint32 hash(const QString &key);

    // The number of the key, or kNone; `hash` is hash(key).
    int indexOf(const QString &key, quint32 hash) const;
    int indexOf(const QString &key) const { return indexOf(key, hash(key)); }
    bool contains(const QString &key) const { return indexOf(key) != kNone; }
    // Adds a key that indexOf did not find; returns its number.
    int add(const QString &key, quint32 hash);
    // Adds the key unless it is there; its number either way.
    int insert(const QString &key);
    // Asks the processor to fetch the place where a search for `hash` starts.
    void prefetch(quint32 hash) const
    {
        if (!m_places.empty())
            __builtin_prefetch(&m_places[hash & m_mask]);
    }

private:
    struct Place
    {
        quint32 hash = 0;
        int index = kNone;
    };

    std::vector<Place> m_places;
    std::vector<QString> m_keys;
    size_t m_mask = 0;
};

} // namespace Gedcom
