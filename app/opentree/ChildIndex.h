#pragma once

#include "cPeople.h"

#include <QHash>
#include <QString>

#include <vector>

// The children of every person of a tree, found by the parent's key: the persons whose
// `PrntKey` equals that key exactly (letter case counts), in the order of the collection.
// Opening a person's children then costs time in proportion to their number instead of a scan
// of the whole tree.
//
// The index follows the collection it was built from: it rebuilds itself when the number of
// persons changed, and Invalidate() makes it rebuild after a person was changed in place (a new
// parent key) or replaced. Its owner (OpenTree) keeps it in step.
class ChildIndex
{
public:
    // Indexes every person of `people`.
    void Build(const cPeople &people);
    // Forgets everything; the next Children() call rebuilds.
    void Invalidate();
    // The children of `parentKey` in collection order (rebuilt first when out of date).
    const std::vector<cPersonPtr> &Children(const cPeople &people, const QString &parentKey);
    // Takes one person out of its parent's list (after it was removed from the collection).
    void Remove(const cPerson &person);
    // Puts a person at the end of its parent's list (after it was appended to the collection).
    void Add(const cPersonPtr &person);

    bool IsValid() const { return m_valid; }

private:
    QHash<QString, std::vector<cPersonPtr>> m_children;
    int m_count = 0;
    bool m_valid = false;
};
