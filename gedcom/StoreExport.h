#pragma once

#include "Export.h"
#include "Result.h"

class mDatabase;

namespace Gedcom {

// What writing one tree of the store to a GEDCOM file did.
struct StoreExport
{
    qsizetype rows = 0;    // rows written, each as an INDI
    qsizetype persons = 0; // INDI records: the rows and the partners made of their names
    Error error;           // why nothing was written; none when done

    bool isDone() const { return !error; }
};

// Writes the tree `tree` of the store to `path` (exportRows through a ReplacingFile, as
// writeFileAtomically does: the file is complete or not there at all; an existing file is
// replaced only by a complete one, and never one that is not a regular file, which is refused
// before the tree is read). Running out of memory is a failure like any other.
StoreExport exportFromStore(const mDatabase &store, const QString &tree, const QString &path,
                            const ExportOptions &options);

} // namespace Gedcom
