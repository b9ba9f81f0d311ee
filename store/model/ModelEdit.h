#pragma once

#include "ModelSlice.h"
#include "Result.h"

#include <QByteArray>
#include <QString>

class mDatabase;

// Editing the records of one person (the details window): the tree is read whole, the person's
// records are changed in memory (sex, names, events, families with their events and children,
// citations, notes, media links, new sources, new persons outside the line), and what changed
// is written back in one transaction, only while the tree is as it was read.
namespace ModelEdit {

// The tree as read for editing one person: its rows and model (person `tree.person` is the one
// edited; a tree without side records gets a side record for every row, so that the first edit
// gives it side records) and a fingerprint of the stored rows and records.
struct PersonEdit
{
    Genealogy::ModelSlice tree;
    QByteArray stamp;
};

// Missing when the tree has no row `key`, TreeMissing when there is no such tree.
Result<PersonEdit> readForEdit(const mDatabase &store, const QString &tree, const QString &key);
// An empty key reads the tree for edits of its shared records (the sources): no person.

// Writes `edited` (the tree of `read` with changed records, changed rows and rows added at the
// end) in one transaction. Refused, with nothing written: ChangedElsewhere when another program
// changed the tree's rows or side records since `read`; InvalidInput when the edit breaks a rule
// between the rows and the model that held before (TreeCheck), or drops a row.
Result<void> applyEdit(mDatabase &store, const QString &tree, const PersonEdit &read,
                       const Genealogy::ModelSlice &edited);

// The index of the row with `key` in `rows` (without regard to case), or kNoIndex.
quint32 rowIndex(const Genealogy::ModelSlice &slice, const QString &key);

} // namespace ModelEdit
