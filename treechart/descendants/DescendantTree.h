#pragma once

#include "ChildrenOf.h"

#include <QString>
#include <QStringList>

#include <vector>

// The descendants of one person (or of every root), each person once, generation by generation.
//
// Persons are numbered in breadth-first order: the top persons first, then their children, and
// so on; the children of a person are consecutive and in the order the children function gives
// them (the person collection's order), and every generation is one consecutive stretch. A child
// that was already reached (a parent chain that runs in a circle, or a root that is its own
// parent's child) is left out where it repeats; the cuts are listed.
class DescendantTree
{
public:
    struct Person
    {
        QString key;
        int parent = -1;    // number of the parent, -1 for a top person
        int firstChild = 0; // number of the first child (children are consecutive)
        int childCount = 0;
        int generation = 0;              // 0 for the top persons
        const cPerson *person = nullptr; // in the collection the tree was built from
    };
    // A child left out because it was already in the tree.
    struct Cut
    {
        QString key;
        QString parentKey;
    };

    // The descendants of the person with `rootKey`; with an empty key, of every root person
    // (PrntKey kRootKey), in collection order. A key naming nobody gives an empty tree.
    static DescendantTree Build(const cPeople &people, const ChildrenOf &childrenOf,
                                const QString &rootKey);

    int Count() const { return int(m_persons.size()); }
    const Person &At(int i) const { return m_persons[size_t(i)]; }
    // Number of top persons (numbered 0 to TopCount() - 1).
    int TopCount() const { return m_topCount; }
    // Number of generations, and where generation g starts and ends (one past its last).
    int Generations() const { return int(m_generationStart.size()) - 1; }
    int GenerationBegin(int g) const { return m_generationStart[size_t(g)]; }
    int GenerationEnd(int g) const { return m_generationStart[size_t(g) + 1]; }
    const std::vector<Cut> &Cuts() const { return m_cuts; }
    // The keys of every person, in order.
    QStringList Keys() const;
    // The number of the person with this key (exact), or -1. Linear.
    int Find(const QString &key) const;

private:
    std::vector<Person> m_persons;
    std::vector<int> m_generationStart{0};
    std::vector<Cut> m_cuts;
    int m_topCount = 0;
};
