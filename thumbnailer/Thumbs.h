#pragma once

#include "KeyedList.h"
#include "Thumb.h"

// The control's items: one Thumb per shown file, keyed by file name without regard to case,
// in insertion order with 1-based positions. A missing entry is a null result, never an error.
class Thumbs
{
public:
    Thumbs() = default;
    Thumbs(const Thumbs &) = delete;
    Thumbs &operator=(const Thumbs &) = delete;

    // By 1-based position or by file name; nullptr when missing.
    Thumb *Item(int position) const { return m_list.at(position); }
    Thumb *Item(const QString &key) const { return m_list.find(key); }
    int Count() const { return m_list.count(); }

    // Stores a copy of mThumb (unselected) under sKey. A key that is present already is refused
    // and the collection stays unchanged; the result tells whether the item was added. The
    // collection shows nothing: the control that adds tells the user ("Filenames must be unique
    // in the collection.", title "Error: 457").
    bool Add(const Thumb &mThumb, const QString &sKey);
    // Removes by position or key; a missing item is ignored.
    void Remove(int position) { m_list.removeAt(position); }
    void Remove(const QString &key) { m_list.remove(key); }

    // Control internals: 1-based position of a key (0 when missing), renaming in place (the
    // object, its placement and selection stay), and dropping everything.
    int PositionOf(const QString &key) const { return m_list.indexOf(key) + 1; }
    bool Rekey(const QString &oldKey, const QString &newKey);
    void Clear() { m_list.clear(); }

private:
    KeyedList<Thumb> m_list;
};
