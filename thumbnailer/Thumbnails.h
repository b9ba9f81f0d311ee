#pragma once

#include "KeyedList.h"
#include "Thumbnail.h"

// The on-screen rectangles of the items drawn in the last paint, keyed like Thumbs.
class Thumbnails
{
public:
    Thumbnails() = default;
    Thumbnails(const Thumbnails &) = delete;
    Thumbnails &operator=(const Thumbnails &) = delete;

    Thumbnail *Item(int position) const { return m_list.at(position); }
    Thumbnail *Item(const QString &key) const { return m_list.find(key); }
    int Count() const { return m_list.count(); }

    // Stores a copy under sKey; a present key is refused (false), as Thumbs::Add refuses it.
    bool Add(const Thumbnail &mThumbnail, const QString &sKey);
    void Remove(int position) { m_list.removeAt(position); }
    void Remove(const QString &key) { m_list.remove(key); }

    int PositionOf(const QString &key) const { return m_list.indexOf(key) + 1; }
    bool Rekey(const QString &oldKey, const QString &newKey);
    void Clear() { m_list.clear(); }

private:
    KeyedList<Thumbnail> m_list;
};
