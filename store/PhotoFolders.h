#pragma once

#include <QString>

// Where the photos of the persons are kept: one folder per person key, <data folder>/Photos/<ID>,
// shared by every tree that has a person with that key. The database knows nothing of photos.
namespace PhotoFolders {

// <data folder>/Photos/ (with one trailing '/'); "" for no data folder (a shared database whose
// photo folder cannot be reached: SharedPhotos), as for every function here.
QString Root(const QString &dataPath);

// True for a name that stays inside the folder it is put in: not empty, not "." or "..", and
// without '/', '\' or NUL. Only such a key has a photo folder, and only a photo file of such a
// name is stored in one.
bool IsPlainName(const QString &name);

// The photo folder of a key, <data folder>/Photos/<key>/ (with one trailing '/'); "" for a key
// that IsPlainName refuses and for the staging folder's name, so such a key never shows, stores
// or deletes files elsewhere.
QString FolderOf(const QString &dataPath, const QString &key);

// The folder inside the photos folder where imports stage the photos they copy until their
// tree is saved (PhotoStage): <data folder>/Photos/.staging/. Its name is no key's folder.
QString StagingName();
QString StagingRoot(const QString &dataPath);

} // namespace PhotoFolders
