#pragma once

#include "Result.h"

#include <QString>

#include <functional>

class mDatabase;

// Copies one tree from one store to another: a database file and a shared database in either
// direction, or two files. The rows, the model's side records and the photos go; the source is
// only read. The target gets the tree in one transaction: a key already taken there (by a row of
// another tree or a photo folder) is changed as an import changes it ("-2", "-3", ...), with the
// parent keys that name it; the photos are staged in the target's photos folder and moved in
// after the commit, so a copy that fails or is cancelled leaves the target as it was. A name
// the target has already is refused (Taken), as is a copy whose photos the target cannot take.
namespace TreeCopy {

struct Outcome
{
    QString tree;                   // as the target keeps it
    qsizetype persons = 0;          // rows copied
    qsizetype rekeyed = 0;          // of them, with a new key
    qsizetype families = 0;         // families of the model copied
    qsizetype photos = 0;           // photo files put in place
    qsizetype photosLeft = 0;       // photo files that could not be copied or put in place
    bool photosUnavailable = false; // the source's photos could not be reached

    // "copied N persons into 'TREE' (K with a new key), F families, P photos"
    QString Summary() const;
};

// Steps done of all (the rows, then the commit, then the photos); false stops the copy.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Copies `tree` (as the source reaches it) from `source` to `target`, both open. The target must
// differ from the source.
Result<Outcome> Copy(const mDatabase &source, const QString &tree, mDatabase &target,
                     const Progress &progress = {});

} // namespace TreeCopy
