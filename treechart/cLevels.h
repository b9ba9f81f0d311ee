#pragma once

#include "KeyedCollection.h"
#include "cLevel.h"

// The chart's rows, top row first. The chart addresses rows by position only; the key a host
// gives a row is the host's affair (an empty key means none). Removing rows from the end is
// cheap.
class cLevels
{
public:
    cLevelPtr Item(int position) const { return m_levels.Item(position); }
    cLevelPtr Item(const QString &key) const { return m_levels.Item(key); }
    int Count() const { return m_levels.Count(); }

    // Appends the row itself (not a copy) and returns it; a null row is ignored. A key already
    // present is refused: the row is not added and the result is null (the window that added
    // shows ShowNodeKeyTaken).
    cLevelPtr Add(cLevelPtr level, const QString &key = QString());
    // Appends a new empty row and returns it.
    cLevelPtr AddNew(const QString &key = QString());
    void Remove(int position) { m_levels.Remove(position); }
    void Remove(const QString &key) { m_levels.Remove(key); }
    // Keeps rows 1 to `count` and removes the rest.
    void Truncate(int count) { m_levels.Truncate(count); }
    void Clear() { m_levels.Clear(); }

    auto begin() const { return m_levels.begin(); }
    auto end() const { return m_levels.end(); }

private:
    Chart::KeyedCollection<cLevel> m_levels;
};
