#pragma once

#include "KeyedCollection.h"
#include "cPerson.h"

// The persons of the open tree, in the order they were added, keyed by `Key` without regard to
// letter case. Looking a key up is a hash probe, so a host can keep a very large tree here.
class cPeople
{
public:
    // The person at a 1-based position, or null.
    cPersonPtr Item(int position) const { return m_items.Item(position); }
    // The person with this key (any letter case), or null.
    cPersonPtr Item(const QString &key) const { return m_items.Item(key); }
    int Count() const { return m_items.Count(); }

    // Stores a copy of `person` keyed by its `Key` and returns the stored object. A key that is
    // already present (in any letter case) is reported through the message service ("Key already
    // exists") and nothing is stored; the result is then null.
    cPersonPtr Add(const cPerson &person);
    // Removes the entry at a position or with a key; an absent entry is silently ignored.
    void Remove(int position) { m_items.Remove(position); }
    void Remove(const QString &key) { m_items.Remove(key); }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    KeyedCollection<cPerson> m_items;
};
