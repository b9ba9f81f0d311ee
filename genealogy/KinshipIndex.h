#pragma once

#include "FamilyKeys.h"
#include "PersonRow.h"
#include "Vocabulary.h"

#include <QHash>
#include <QString>

#include <functional>
#include <span>
#include <vector>

namespace Genealogy {

// Who is whose parent, child and partner in one tree, by person number (the order of the rows
// it was built from). A person's children are the rows whose PrntKey is the person's key,
// then the children of every family the person is a partner in; a person's parents are the
// PrntKey parent, then the partners of every family the person is a child in. Each person is
// listed once in each list, in that stable order. Hand-made trees (rows only) and imported ones
// (families) both work.
//
// Flat arrays, keys interned once: built in linear time, a few dozen bytes per person. Keys are
// matched exactly (as a click on a box matches PrntKey); a key in a family that names no row,
// a person who is its own parent and "ROOT" are left out.
class KinshipIndex
{
public:
    KinshipIndex() = default;

    // The rows as accessors: `count` persons, person i has key(i) and parentKey(i).
    static KinshipIndex build(qsizetype count, const std::function<QString(qsizetype)> &key,
                              const std::function<QString(qsizetype)> &parentKey,
                              std::span<const FamilyKeys> families);
    static KinshipIndex build(std::span<const PersonRow> rows,
                              std::span<const FamilyKeys> families);

    int count() const { return int(m_keys.size()); }
    // The number of the person with exactly this key, or -1.
    int indexOf(const QString &key) const { return m_index.value(key, -1); }
    const QString &key(int person) const { return m_keys[size_t(person)]; }

    std::span<const int> parents(int person) const
    {
        return slice(m_parentStart, m_parents, person);
    }
    std::span<const int> children(int person) const
    {
        return slice(m_childStart, m_children, person);
    }
    // For each of children(person), the other parent the child has by the family that links
    // it to the person (-1 where the link is the PrntKey alone or the family has one partner).
    std::span<const int> coParents(int person) const
    {
        return slice(m_childStart, m_coParents, person);
    }
    // The other partners of the families the person is a partner in, once each.
    std::span<const int> partners(int person) const
    {
        return slice(m_partnerStart, m_partners, person);
    }

    // The sex of a person (Sex::None while not told).
    Sex sex(int person) const { return m_sex.empty() ? Sex::None : m_sex[size_t(person)]; }
    void setSex(int person, Sex sex);

    // Memory held, in bytes (the keys' texts counted once).
    qint64 bytes() const;

private:
    static std::span<const int> slice(const std::vector<int> &start, const std::vector<int> &items,
                                      int person)
    {
        const size_t begin = size_t(start[size_t(person)]);
        const size_t end = size_t(start[size_t(person) + 1]);
        return std::span<const int>(items.data() + begin, end - begin);
    }

    std::vector<QString> m_keys;
    QHash<QString, int> m_index;
    std::vector<int> m_parentStart{0}, m_parents;
    std::vector<int> m_childStart{0}, m_children, m_coParents;
    std::vector<int> m_partnerStart{0}, m_partners;
    std::vector<Sex> m_sex;
};

} // namespace Genealogy
