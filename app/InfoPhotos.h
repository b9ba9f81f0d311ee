#pragma once

#include <QString>
#include <QStringList>

class Thumbs;

// The photo side of the information panel, apart from its widgets.
namespace InfoPhotos {

// The photo folder of a person: DataPath + "Photos/" + key, with a trailing '/'. Empty for a
// key that is empty or would lead out of the photo folder ("..", "a/b"), so such a key never
// shows or deletes files elsewhere.
QString PhotoFolderOf(const QString &dataPath, const QString &key);

// The text handed to the viewer's DeleteItems for the selected items: for each selected name,
// in selection order, the item's Path and Name followed by one NUL; one more NUL at the end.
// Names missing from `thumbs` are skipped.
QString BuildDeleteText(const QStringList &selThumbs, const Thumbs &thumbs);

// Removes the file AddBackslash(path) + name from the disk; false when it could not be
// removed (it is then left in place).
bool DeletePhotoFile(const QString &path, const QString &name);

} // namespace InfoPhotos
