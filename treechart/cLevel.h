#pragma once

#include "KeyedCollection.h"
#include "cNode.h"

// One row of the chart: its boxes in the order they were added, keyed by the node's `Key`
// without regard to letter case.
class cLevel
{
public:
    using Nodes = Chart::KeyedCollection<cNode>;

    // The row's underlying collection itself, to enumerate it (range-for) or to take its j-th
    // node with Level().Item(j).
    const Nodes &Level() const { return m_nodes; }
    // The node at a 1-based position or with a key (any letter case), or null.
    cNodePtr Item(int position) const { return m_nodes.Item(position); }
    cNodePtr Item(const QString &key) const { return m_nodes.Item(key); }
    int Count() const { return m_nodes.Count(); }

    // Stores a copy of `node` (everything but its geometry; the parent reference is shared) under
    // its `Key` and returns the stored node: that is the object to use as a child's ParentNode.
    // A key already present (in any letter case) is refused: nothing is stored and the result is
    // null. The row shows nothing; the window that added shows ShowNodeKeyTaken.
    cNodePtr Add(const cNode &node);
    // Removes the node at a position or with a key; an absent entry is silently ignored.
    void Remove(int position) { m_nodes.Remove(position); }
    void Remove(const QString &key) { m_nodes.Remove(key); }

    auto begin() const { return m_nodes.begin(); }
    auto end() const { return m_nodes.end(); }

private:
    Nodes m_nodes;
};

using cLevelPtr = std::shared_ptr<cLevel>;
