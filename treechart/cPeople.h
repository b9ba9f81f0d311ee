#pragma once

#include "cPerson.h"

#include <QString>

#include <iterator>
#include <memory>
#include <vector>

namespace Chart {
class PeopleStore;
}

// The persons of the open tree, in the order they were added, keyed by `Key` without regard to
// letter case. Looking a key up is a hash probe, and the children of a parent key are at hand,
// so a host can keep a very large tree here: about a hundred bytes per person besides the texts,
// which persons share (see cPerson).
//
// The persons handed out share the ownership of the whole collection's storage: a pointer kept
// after the collection was replaced keeps that storage alive until it is let go.
class cPeople
{
public:
    cPeople();
    cPeople(cPeople &&other) noexcept;
    cPeople &operator=(cPeople &&other) noexcept;
    // A copy holds persons of its own with the same values.
    cPeople(const cPeople &other);
    cPeople &operator=(const cPeople &other);
    ~cPeople();

    // The person at a 1-based position, or null.
    cPersonPtr Item(int position) const;
    // The person with this key (any letter case), or null.
    cPersonPtr Item(const QString &key) const;
    int Count() const;

    // Stores a copy of `person` keyed by its `Key` and returns the stored object. A key that is
    // already present (in any letter case) is refused: nothing is stored and the result is null.
    // The collection shows nothing; the window that added shows ShowPersonKeyTaken.
    cPersonPtr Add(const cPerson &person);
    // Removes the entry at a position or with a key; an absent entry is silently ignored.
    void Remove(int position);
    void Remove(const QString &key);

    // The persons whose parent key equals `parentKey` exactly (letter case counts), in the order
    // of the collection. The list stays valid until the collection or a parent key changes.
    const std::vector<cPersonPtr> &Children(const QString &parentKey) const;

    // Room for `count` persons.
    void Reserve(int count);

    // Range-for support: the persons in order.
    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = cPersonPtr;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = cPersonPtr;

        const_iterator(const cPeople *people, int index) : m_people(people), m_index(index) {}
        cPersonPtr operator*() const { return m_people->Item(m_index + 1); }
        const_iterator &operator++()
        {
            ++m_index;
            return *this;
        }
        bool operator==(const const_iterator &other) const { return m_index == other.m_index; }
        bool operator!=(const const_iterator &other) const { return m_index != other.m_index; }

    private:
        const cPeople *m_people;
        int m_index;
    };
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, Count()); }

    // The storage, for the bulk loader.
    Chart::PeopleStore &Store() const { return *m_store; }

private:
    void release();

    std::shared_ptr<Chart::PeopleStore> m_store;
};
