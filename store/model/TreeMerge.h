#pragma once

#include "ModelSlice.h"
#include "PersonMerge.h"
#include "RecordMerge.h"
#include "Result.h"

#include <QStringList>

#include <optional>

class mDatabase;

// Merging two persons, two families or two sources of a stored tree: the tree is read, merged
// (Genealogy::PersonMerge, RecordMerge) and written back in one transaction, only while its rows
// are still as read (else ChangedElsewhere, and nothing is written). A database open for reading
// refuses with ReadOnly. Photos are apart: the database knows nothing of them (MergePhotos).
namespace TreeMerge {

struct Merged
{
    QStringList done;             // what was done, one line each
    Genealogy::ModelSlice before; // the whole tree as it was
    Genealogy::ModelSlice after;  // ... and as it is now
    bool hadModel = false;        // the tree had side records before
    QString keepKey, otherKey;    // the persons' exact keys (persons merged)
};

// The person of a tree by key: the exact key, else the one key equal to it without regard to
// case; kNoIndex when none.
quint32 findPerson(const Genealogy::ModelSlice &tree, const QString &key);

// Merges OTHER into KEEP (keys of the tree); `choice` is PersonMerge::defaultChoice when not
// given. Unknown keys give Missing, the same key twice InvalidInput.
Result<Merged> mergePersons(mDatabase &store, const QString &tree, const QString &keep,
                            const QString &other,
                            std::optional<Genealogy::PersonMerge::Choice> choice = std::nullopt);
// The families and sources by their index in the tree's model.
Result<Merged> mergeFamilies(mDatabase &store, const QString &tree, quint32 keep, quint32 other);
Result<Merged>
mergeSources(mDatabase &store, const QString &tree, quint32 keep, quint32 other,
             std::optional<Genealogy::RecordMerge::SourceChoice> choice = std::nullopt);

// Writes `after` over the tree while its rows are still `before`'s (the undo and redo of a
// merge).
Result<void> putBack(mDatabase &store, const QString &tree, const Genealogy::ModelSlice &expected,
                     const Genealogy::ModelSlice &wanted, bool withModel);

} // namespace TreeMerge

// The photos of a merged person: OTHER's files are copied into KEEP's folder (a name already
// there gets " (2)", " (3)"... before its suffix). OTHER's folder may go only when no tree has a
// person with that key any more (folders are shared by key).
namespace MergePhotos {

struct Copied
{
    QStringList files;       // the new files in KEEP's folder
    bool otherMayGo = false; // no tree has OTHER's key: its folder may go
    QString otherFolder;     // OTHER's folder ("" when it has none)
};

Result<Copied> copy(const mDatabase &store, const QString &dataPath, const QString &keep,
                    const QString &other);
// A free name for `fileName` in `folder`: itself, else "name (2).ext", "name (3).ext"...
QString freeName(const QString &folder, const QString &fileName);
// True when a person with this key is in any tree, or when that cannot be told for sure.
bool keyInAnyTree(const mDatabase &store, const QString &key);

} // namespace MergePhotos
