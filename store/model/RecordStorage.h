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

// A person's partnerships are stored only when they say more than the families do: when they
// are not exactly the families that name the person as a partner, in the families' order
// (partner 0 before partner 1 within one family). Which partnerships of `model` are stored.
std::vector<bool> storedPartnerships(const Genealogy::TreeModel &model);
// The number each partnership is stored under (kNoIndex for those left out): the stored ones
// numbered from 0 in the model's order, without a gap.
std::vector<quint32> partnershipNumbers(const std::vector<bool> &stored);

// What a reader does after decoding: every person of `model` without a partnership gets the
// ones its families give (added after the others, in the families' order).
void derivePartnerships(Genealogy::TreeModel &model);

} // namespace Store::Side
