#pragma once

#include "FamilyKeys.h"
#include "ModelSlice.h"
#include "PersonRow.h"
#include "Result.h"

#include <QStringList>

#include <span>
#include <vector>

class mDatabase;

// The genealogical model of the trees, kept beside their rows in the same database file (tables
// named "main...", see SideSchema.h). Side records are read when they are needed (the families
// walked, the person shown, an export), never when a tree opens. Every change runs in one
// transaction with the rows it goes with; a tree is named as the store reaches it
// (mDatabase::StoredTreeName), and a tree whose table is gone gives TreeMissing.
namespace ModelStore {

// Whether the tree has side records (a tree made by hand or imported by an older version has
// none).
Result<bool> hasModel(const mDatabase &store, const QString &tree);

// Replaces the side records of the tree by `model`, whose person i is the row with the ID
// rows[i].ID, in one transaction of its own.
Result<void> saveModel(mDatabase &store, const QString &tree,
                       std::span<const Genealogy::PersonRow> rows,
                       const Genealogy::TreeModel &model);
// The same inside the write transaction the caller holds on the store's connection (a new tree
// being filled by NewTreeWriter).
Result<void> writeModelInTransaction(mDatabase &store, const QString &tree,
                                     std::span<const Genealogy::PersonRow> rows,
                                     const Genealogy::TreeModel &model);
// The same with person i the row whose ID is keys[i] as UTF-8 (an import has its rows apart).
Result<void> writeModelInTransaction(mDatabase &store, const QString &tree,
                                     std::vector<QByteArray> keys,
                                     const Genealogy::TreeModel &model);

// The whole tree: every row in the order of mDatabase::ReadTree and the model over them (no
// persons when the tree has no side records); `person` is kNoIndex.
Result<Genealogy::ModelSlice> readTree(const mDatabase &store, const QString &tree);

// The families of the tree by the keys of their persons, in stored order; a family's id is "F"
// and its stored number + 1, which stays while the family does. Empty for a tree without side
// records.
Result<std::vector<Genealogy::FamilyKeys>> familiesOf(const mDatabase &store, const QString &tree);

// The part of the model around one person (see ModelSlice): the person's records, the families
// the person is a partner or a child in with their events and children, the rows of those
// families' persons and of the person's associations, and the sources (with repositories),
// notes, media and places these cite. rows[0] is the person. A tree without side records gives
// the person's row and a model without persons. Missing when the tree has no such row.
Result<Genealogy::ModelSlice> sliceOf(const mDatabase &store, const QString &tree,
                                      const QString &key);

// Every disagreement between the tree's rows and its side records, one line each (none when
// consistent): the rules of Genealogy::checkTree, side records whose owner or link is missing,
// and records kept aside under the tree's name (their table was gone once).
Result<QStringList> checkTree(const mDatabase &store, const QString &tree);

} // namespace ModelStore
