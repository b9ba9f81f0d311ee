#pragma once

#include "DescendantTree.h"
#include "FamilyKeys.h"
#include "KinshipIndex.h"
#include "cPeople.h"

#include <QHash>

#include <span>
#include <vector>

// The links every chart beyond the line of descent walks, over the chart's persons: a person's
// children are those whose PrntKey names it and the children of every family it is a partner
// in; its parents are the PrntKey parent and the partners of every family it is a child in. A
// tree made by hand (no families) gives the PrntKey links alone.
//
// Made once for a collection and a list of families; it holds the persons it was made from and
// does not follow later changes of the collection (make it again).
class KinshipLinks
{
public:
    KinshipLinks(const cPeople &people, std::span<const Genealogy::FamilyKeys> families);

    // What the links are made of, taken from a collection on the thread that owns it: the
    // persons (shared), copies of their keys and parent keys, and the families. The links can
    // then be made of it on another thread, whatever becomes of the collection meanwhile.
    struct Snapshot
    {
        std::vector<cPersonPtr> persons;
        std::vector<QString> keys;
        std::vector<QString> parentKeys;
        std::vector<Genealogy::FamilyKeys> families;
    };
    static Snapshot Take(const cPeople &people, std::vector<Genealogy::FamilyKeys> families);
    explicit KinshipLinks(Snapshot snapshot);
    // The persons' sexes, where known, by key (for the relationship words and the box colours).
    void SetSexes(const QHash<QString, Genealogy::Sex> &sexes);

    const Genealogy::KinshipIndex &Index() const { return m_index; }
    // The person of a number of the index, or null.
    const cPerson *Person(int number) const;
    // The number of the person with this key (exactly as written), or -1.
    int NumberOf(const QString &key) const { return m_index.indexOf(key); }
    Genealogy::Sex SexOf(const cPerson &person) const;

    // Children with the other parent of each, for the descendant chart.
    DescendantTree::LinksOf Children() const;
    // Parents, for the ancestor chart.
    DescendantTree::LinksOf Parents() const;

private:
    std::vector<cPersonPtr> m_persons; // by number
    Genealogy::KinshipIndex m_index;
};
