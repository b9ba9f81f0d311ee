#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

// An insertion-ordered collection keyed by text compared without regard to case, with 1-based
// positions. Stored objects keep their address for as long as they are in the collection.
template <typename T> class KeyedList
{
public:
    static QString fold(const QString &key) { return key.toCaseFolded(); }

    T *at(int position) const
    {
        if (position < 1 || position > int(m_items.size()))
            return nullptr;
        return m_items[size_t(position - 1)].second.get();
    }
    T *find(const QString &key) const
    {
        const int index = indexOf(key);
        return index < 0 ? nullptr : m_items[size_t(index)].second.get();
    }
    // 0-based index of a key, -1 when missing.
    int indexOf(const QString &key) const
    {
        if (m_dirty)
            reindex();
        return m_index.value(fold(key), -1);
    }
    bool contains(const QString &key) const { return indexOf(key) >= 0; }
    int count() const { return int(m_items.size()); }

    // Appends under the key; false (and nothing changes) when the key is present.
    bool append(const QString &key, std::unique_ptr<T> item)
    {
        if (contains(key))
            return false;
        m_index.insert(fold(key), int(m_items.size()));
        m_items.emplace_back(key, std::move(item));
        return true;
    }
    bool removeAt(int position)
    {
        if (position < 1 || position > int(m_items.size()))
            return false;
        m_items.erase(m_items.begin() + (position - 1));
        m_dirty = true;
        return true;
    }
    bool remove(const QString &key)
    {
        const int index = indexOf(key);
        return index >= 0 && removeAt(index + 1);
    }
    // Gives an entry a new key in place (the object and its position stay).
    bool rekey(const QString &oldKey, const QString &newKey)
    {
        const int index = indexOf(oldKey);
        if (index < 0)
            return false;
        const int other = indexOf(newKey);
        if (other >= 0 && other != index)
            return false;
        m_items[size_t(index)].first = newKey;
        m_dirty = true;
        return true;
    }
    void clear()
    {
        m_items.clear();
        m_index.clear();
        m_dirty = false;
    }
    QString keyAt(int position) const
    {
        if (position < 1 || position > int(m_items.size()))
            return QString();
        return m_items[size_t(position - 1)].first;
    }

    // Position or key in a variant: numbers are positions, anything else a key.
    T *item(const QVariant &id) const
    {
        switch (id.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Double:
        case QMetaType::Float:
            return at(id.toInt());
        default:
            return find(id.toString());
        }
    }

private:
    void reindex() const
    {
        m_index.clear();
        for (size_t i = 0; i < m_items.size(); ++i)
            m_index.insert(fold(m_items[i].first), int(i));
        m_dirty = false;
    }

    std::vector<std::pair<QString, std::unique_ptr<T>>> m_items;
    mutable QHash<QString, int> m_index;
    mutable bool m_dirty = false;
};
