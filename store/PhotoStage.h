#pragma once

#include "Result.h"

#include <QString>

#include <functional>
#include <memory>

// The photos one import copies, staged until its tree is saved, so that an import that fails,
// is cancelled or is killed never leaves photo folders behind (which would also make the keys of
// its next run look taken).
//
// A stage lives in the photos folder's staging folder (PhotoFolders::StagingRoot), under a name
// of its own (the process and a random number):
//   <name>.lock  held locked (flock) by the importing process for as long as the stage is used:
//                the system lets go of it when the process ends, however it ends;
//   <name>.tree  the name of the tree the import makes;
//   <name>/      the staged photos, <name>/<key>/<file>.
// After the commit, Place moves each key's folder to <data folder>/Photos/<key>. A stage whose
// lock nobody holds belongs to an import that stopped: FinishStopped puts in place the photos of
// the keys its tree holds (it stopped after saving the tree) and removes the rest.
class PhotoStage
{
public:
    ~PhotoStage();
    PhotoStage(const PhotoStage &) = delete;
    PhotoStage &operator=(const PhotoStage &) = delete;

    // Makes a stage for an import into `tree` and holds its lock; fails (NoPermission, naming
    // the staging folder) when it cannot be made.
    static Result<std::unique_ptr<PhotoStage>> Create(const QString &dataPath, const QString &tree);

    // The folder the import copies into: <folder><key>/<file> (ends with '/').
    QString Folder() const { return m_folder; }

    // The tree was saved: moves each key's staged folder into the photos folder. A key whose
    // photo folder exists already (another program made it meanwhile) gets the files one by one,
    // never replacing one. Returns how many files could not be put in place; they go with the
    // stage.
    qsizetype Place();

    // Whether the tree `tree` holds a person with the key `key`.
    using IsSaved = std::function<bool(const QString &tree, const QString &key)>;
    // Finishes the stages of imports that stopped: the photos of the keys their tree holds are
    // put in place, everything else is removed. The stages of imports still running (in this or
    // another program) are left alone. Returns how many stages were finished.
    static int FinishStopped(const QString &dataPath, const IsSaved &isSaved);

private:
    PhotoStage(QString dataPath, QString base, int lockFile);

    QString m_dataPath;
    QString m_base; // <staging root>/<name>: the lock, the tree and the folder add to it
    QString m_folder;
    int m_lockFile = -1;
    bool m_madeRoot = false; // the photos folder was made for the stage
};
