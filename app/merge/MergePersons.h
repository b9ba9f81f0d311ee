#pragma once

#include "PersonMerge.h"
#include "Result.h"

#include <QStringList>

class ChangeHistory;
class OpenTree;

// Merges the person OTHER of the open tree into KEEP, as Merge... does it: the store merges in
// one transaction (TreeMerge), OTHER's photos are copied into KEEP's folder and OTHER's folder is
// put aside when no tree has its key any more, the open tree follows (OTHER goes, KEEP and the
// persons whose rows changed are shown anew, KEEP is selected), and the merge is recorded in the
// history, so that Undo restores both persons, their records and photos. What was done, one line
// each; an error leaves the tree as it was.
Result<QStringList> MergePersons(OpenTree &tree, ChangeHistory &history, const QString &keep,
                                 const QString &other,
                                 const Genealogy::PersonMerge::Choice &choice);

// The kinds of records merged beside persons.
enum class RecordKind { Family, Source };

// Merges two families or two sources of the open tree (their numbers in the tree's model as
// ModelStore::readTree reads it) in one transaction: `name` names the change in the history
// ("Merge Families"), whose undo puts the tree back as it was. The rows whose partner columns
// changed are shown anew.
Result<QStringList> MergeRecords(OpenTree &tree, ChangeHistory &history, RecordKind kind,
                                 quint32 keep, quint32 other, const QString &name);
