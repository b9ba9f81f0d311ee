#pragma once

#include "RecordPlacement.h"

// What the writes of side records agree on: how many records a table of a model has, which of
// them are stored, and when a record's owner columns are.
namespace Store::Side {

// The records of `tab` in `model` (the tree's own values count as one).
quint32 tableSize(const Genealogy::TreeModel &model, Tab tab);

// A person with default values has no record; the tree's own values only when it has some;
// every other record is stored.
bool isStored(const Genealogy::TreeModel &model, Tab tab, quint32 index);

// Whether a record's owner must be stored for deleting it with its owner: not when it goes with
// a person or a family anyway and its owner is a record that goes only with those (an event, a
// name, a family, a child link, an event's details). Associations, citations, notes, media and
// kept structures can go on their own (an association with the person it points to), and so
// must take along what they own.
bool needsOwner(const Placement &p);

} // namespace Store::Side
