#pragma once

#include "TreeModel.h"

#include <vector>

// Reordering and removing records of a model while every link to them follows: the order of an
// owner's records is their order in their table, so moving a name up is a new order of the
// names table, and removing an event takes its citations, note and media links, kept
// structures and details along.
namespace DraftRecords {

enum class Table { Name, Event, EventDetail, Citation, NoteLink, MediaLink, ChildLink, Kept };

// The records of `table` in a new order: order[k] is the old index of the k-th record.
void reorder(Genealogy::TreeModel &model, Table table, const std::vector<quint32> &order);
// Swaps two records (their owners' orders change, every other record keeps its place).
void swap(Genealogy::TreeModel &model, Table table, quint32 a, quint32 b);
// Removes a record and what it owns.
void remove(Genealogy::TreeModel &model, Table table, quint32 index);

} // namespace DraftRecords
