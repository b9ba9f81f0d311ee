#pragma once

#include "PersonRow.h"
#include "Vocabulary.h"

#include <QString>

#include <span>
#include <vector>

namespace Genealogy {

class TreeModel;

// One family of a tree by the keys of its persons: what the charts, the relationship calculator
// and the reports walk. The store hands out the families of a tree in this form (read when a
// walk needs them, never when the tree opens); a model made from a file gives the same through
// familyKeysOf().
struct FamilyKeys
{
    struct Child
    {
        QString key;
        ChildRelation relation[2] = {ChildRelation::None, ChildRelation::None}; // to partner 0, 1
    };

    QString id;         // the family's own key in the store (the GEDCOM id where it came from one)
    QString partner[2]; // the partners' row keys; empty where the family has no such partner
    FamilyRelation relation = FamilyRelation::Unknown;
    std::vector<Child> children; // in the family's order

    bool operator==(const FamilyKeys &) const = default;
};

// The families of a model whose person i is rows[i], in the model's order; a family's id is its
// number in that order ("F1", "F2", ...) unless the caller names them otherwise.
std::vector<FamilyKeys> familyKeysOf(const TreeModel &model, std::span<const PersonRow> rows);

} // namespace Genealogy
