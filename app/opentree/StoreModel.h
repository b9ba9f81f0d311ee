#pragma once

#include "FamilyKeys.h"
#include "PersonFacts.h"
#include "PersonSlices.h"
#include "Result.h"
#include "Vocabulary.h"

#include <QHash>
#include <QString>

#include <span>
#include <vector>

class mDatabase;

// The program's readers of what a tree holds beside its rows, over the store's side records:
// the one place that ties the panel's facts, the command line and the charts to the store.

// The slice around a person: the store's, or for a tree (or person) without side records the
// row and its parent key's row, as RowSlices reads them.
PersonSliceSource StoreSlices(const mDatabase &store);

// The families of a tree by their persons' keys (none for a tree without side records).
Result<std::vector<Genealogy::FamilyKeys>> StoreFamilies(const mDatabase &store,
                                                         const QString &tree);

// The sex of every person of the tree that has one recorded, by key.
QHash<QString, Genealogy::Sex> StoreSexes(const mDatabase &store, const QString &tree);

// Names the families of a slice by the store's family ids ("F" and the stored number), found by
// their partners and children among the tree's families; a family not found is named by its
// number in the slice.
Genealogy::FamilyKeyOf StoreFamilyKeys(const Genealogy::ModelSlice &slice,
                                       std::span<const Genealogy::FamilyKeys> families);
