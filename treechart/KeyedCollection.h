#pragma once

#include <QHash>
#include <QString>

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

namespace Chart {

// An ordered collection of shared objects with an optional text key per entry.
// Positions are 1-based; keys are compared without regard to letter case. Looking up a key is a
// hash probe, appending and removing the last entry are constant time; removing from the middle
// shifts the later entries. An entry added with an empty key has no key and cannot be found by
// key. A missing entry is a null result, never an error.
template <typename T> class KeyedCollection
{
public:
    using Ptr = std::shared_ptr<T>;

    struct Entry
    {
        QString key; // case-folded, empty for an entry without key
        Ptr item;
    };

    int Count() const { return int(m_items.size()); }

    Ptr Item(int position) const
    {
        if (position < 1 || position > Count())
            return nullptr;
        return m_items[size_t(position - 1)].item;
    }

    Ptr Item(const QString &key) const
    {
        if (key.isEmpty())
            return nullptr;
        return m_index.value(foldKey(key));
    }

    bool Contains(const QString &key) const
    {
        return !key.isEmpty() && m_index.contains(foldKey(key));
    }

    // Appends the entry; false (and nothing stored) when the key is already present.
    bool Append(const QString &key, Ptr item)
    {
        QString folded;
        if (!key.isEmpty()) {
            folded = foldKey(key);
            if (m_index.contains(folded))
                return false;
            m_index.insert(folded, item);
        }
        m_items.push_back(Entry{std::move(folded), std::move(item)});
        return true;
    }

    void Remove(int position)
    {
        if (position < 1 || position > Count())
            return;
        const auto it = m_items.begin() + (position - 1);
        if (!it->key.isEmpty())
            m_index.remove(it->key);
        m_items.erase(it);
    }

    void Remove(const QString &key)
    {
        if (key.isEmpty())
            return;
        const QString folded = foldKey(key);
        const Ptr item = m_index.take(folded);
        if (!item)
            return;
        // Search from the end: hosts mostly remove what they added last.
        for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
            if (it->key == folded) {
                m_items.erase(std::next(it).base());
                return;
            }
        }
    }

    // Keeps the first `count` entries and removes the rest.
    void Truncate(int count)
    {
        while (Count() > std::max(count, 0)) {
            if (!m_items.back().key.isEmpty())
                m_index.remove(m_items.back().key);
            m_items.pop_back();
        }
    }

    void Clear()
    {
        m_items.clear();
        m_index.clear();
    }

    // Range-for support: iterates the entries (shared pointers) in stored order.
    class const_iterator
    {
    public:
        using Inner = typename std::vector<Entry>::const_iterator;
        explicit const_iterator(Inner it) : m_it(it) {}
        const Ptr &operator*() const { return m_it->item; }
        const_iterator &operator++()
        {
            ++m_it;
            return *this;
        }
        bool operator!=(const const_iterator &other) const { return m_it != other.m_it; }
        bool operator==(const const_iterator &other) const { return m_it == other.m_it; }

    private:
        Inner m_it;
    };
    const_iterator begin() const { return const_iterator(m_items.cbegin()); }
    const_iterator end() const { return const_iterator(m_items.cend()); }

    static QString foldKey(const QString &key) { return key.toCaseFolded(); }

private:
    std::vector<Entry> m_items;
    QHash<QString, Ptr> m_index;
};

} // namespace Chart
