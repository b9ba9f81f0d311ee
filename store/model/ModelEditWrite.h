#pragma once

#include "PersonRow.h"
#include "Result.h"
#include "TreeModel.h"

#include <span>

namespace Store::Side {

class Db;

// Writes to mainRecords only the records in which `after` differs from `before`, the model the
// tree's records were read as (ModelStore::readTree) and are still stored as: changed records
// are updated, added ones inserted under numbers after the highest of their table, removed ones
// deleted. Records keep their stored numbers (a record whose index moved takes the number of
// its new place, so every link stays right). Runs in the caller's transaction. Gives false,
// with nothing written, when the stored records are not the ones `before` was read from (the
// caller writes the whole model then).
Result<bool> writeChangedRecords(const Db &db, qint64 tree,
                                 std::span<const Genealogy::PersonRow> beforeRows,
                                 const Genealogy::TreeModel &before,
                                 std::span<const Genealogy::PersonRow> afterRows,
                                 const Genealogy::TreeModel &after);

} // namespace Store::Side
