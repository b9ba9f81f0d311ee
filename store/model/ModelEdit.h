#pragma once

#include "EditVersions.h"
#include "ModelSlice.h"
#include "Result.h"

#include <QByteArray>
#include <QString>

class mDatabase;

// Editing the records of one person (the details window): the tree is read whole, the person's
// records are changed in memory (sex, names, events, families with their events and children,
// citations, notes, media links, new sources, new persons outside the line), and what changed
// is written back in one transaction, only while what it depends on is as it was read: the
// persons it changes (row, side records, families) and the records it writes. Changes other
// users made meanwhile to other persons of the tree do not stand in its way and are kept.
namespace ModelEdit {

// The tree as read for editing one person: its rows and model (person `tree.person` is the one
// edited; a tree without side records gets a side record for every row, so that the first edit
// gives it side records) and the versions of its persons and records as stored then.
struct PersonEdit
{
    Genealogy::ModelSlice tree;
    QString key; // the person edited ("" for the shared records)
    Store::Side::StoredVersions versions;
};

// Missing when the tree has no row `key`, TreeMissing when there is no such tree.
Result<PersonEdit> readForEdit(const mDatabase &store, const QString &tree, const QString &key);
// An empty key reads the tree for edits of its shared records (the sources): no person.

// Writes `edited` (the tree of `read` with changed records, changed rows and rows added at the
// end) in one transaction. Refused, with nothing written: ChangedElsewhere when another program
// changed, since `read`, the person edited, a person whose row or records the edit writes (its
// row, its side records, the families it is a partner or child in) or a shared record it writes,
// the text naming it and, from the history, who changed it and when; Missing when such a person
// was deleted meanwhile; Taken when a person it adds was added meanwhile; InvalidInput when the
// edit breaks a rule between the rows and the model that held before (TreeCheck), or drops a
// row. A tree that had no side records when read is refused when anything of it changed.
Result<void> applyEdit(mDatabase &store, const QString &tree, const PersonEdit &read,
                       const Genealogy::ModelSlice &edited);

// The index of the row with `key` in `rows` (without regard to case), or kNoIndex.
quint32 rowIndex(const Genealogy::ModelSlice &slice, const QString &key);

} // namespace ModelEdit
