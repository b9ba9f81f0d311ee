#pragma once

#include "ChildrenOf.h"
#include "Vocabulary.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The descendants of one person (or of every root), each person once, generation by generation.
//
// Persons are numbered in breadth-first order: the top persons first, then their children, and
// so on; the children of a person are consecutive and in the order the children function gives
// them (the person collection's order), and every generation is one consecutive stretch. A child
// that was already reached (a parent chain that runs in a circle, a root that is its own parent's
// child, cousins who married, an ancestor reached on two lines) is left out where it repeats;
// the cuts are listed with the box where the person is drawn.
//
// The same tree serves the ancestor chart: there the "children" of a person are its parents.
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
        // The other parent of this child by the family that links it to its parent (shown on
        // the connector), or null.
        const cPerson *partner = nullptr;
        // The person has links to a next generation that are not walked (a closed branch).
        bool closed = false;
        // The person is reached again elsewhere (a cut points here).
        bool repeated = false;
        // Where known, for the colour of the box's edge.
        Genealogy::Sex sex = Genealogy::Sex::None;
    };
    // A child left out because it was already in the tree.
    struct Cut
    {
        QString key;
        QString parentKey;
        int at = -1;     // number of the person's box
        int parent = -1; // number of the parent that reaches it again
        const cPerson *partner = nullptr;
    };

    // A person of the next generation and the partner through whom it is linked (or null).
    struct Linked
    {
        const cPerson *person = nullptr;
        const cPerson *partner = nullptr;
    };
    // Appends the next generation of a person (children, or parents for the ancestor chart).
    using LinksOf = std::function<void(const cPerson &person, std::vector<Linked> &out)>;
    // Whether the walk goes on past a person of the given generation; null: always.
    using OpenTest = std::function<bool(const cPerson &person, int generation)>;

    // Whether everything below a person is walked, whatever `open` says; null: nobody's.
    using BranchTest = std::function<bool(const cPerson &person)>;

    // The tree below the top persons by `links`. Persons are told apart by identity.
    static DescendantTree Build(const std::vector<const cPerson *> &tops, const LinksOf &links,
                                const OpenTest &open = {}, const BranchTest &openBranch = {});

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
    // The number of distinct persons below the top persons.
    int Below() const { return Count() - TopCount(); }
    void SetSex(int i, Genealogy::Sex sex) { m_persons[size_t(i)].sex = sex; }
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
