#pragma once

#include "PersonRecord.h"
#include "Result.h"

#include <QList>
#include <QString>

namespace Genealogy {
class TreeModel;
}
class mDatabase;

// Puts a tree back as it was before a change (the undo of a change whose store rules touched
// other rows and the side records, such as deleting a person), in one write transaction: only
// while the tree's rows are still exactly `expected` (the rows as the change left them), its rows
// become `rows` (rows added, changed and removed by ID, compared without regard to case) and, when
// `model` is given, its side records become `model` (whose person i is rows[i]). A tree another
// program changed since gives ChangedElsewhere, and nothing is written; so does any failure.
Result<void> RestoreTree(mDatabase &store, const QString &tree, const QList<PersonRecord> &expected,
                         const QList<PersonRecord> &rows, const Genealogy::TreeModel *model);
