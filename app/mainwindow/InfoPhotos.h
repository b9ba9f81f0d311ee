#pragma once

#include "MessageService.h"

#include <QString>
#include <QStringList>

class Thumbs;

// The photo side of the information panel, apart from its widgets.
namespace InfoPhotos {

// The full paths (Path + Name) of the selected items, in selection order; names missing from
// `thumbs` are skipped.
QStringList SelectedFiles(const QStringList &selThumbs, const Thumbs &thumbs);
// The text handed to the viewer's DeleteItems for the selected items: each full path of
// SelectedFiles followed by one NUL; one more NUL at the end.
QString BuildDeleteText(const QStringList &selThumbs, const Thumbs &thumbs);

// How a confirmed photo deletion takes the files off the disk.
enum class Removal { Trash, Permanent };

// True when the file can be moved to the desktop trash QFile::moveToTrash picks for it: the trash
// at the top of the file's volume when that is not the home's, or the home trash when it lies on
// the file's own file system. Prepares the user's data folder that holds the home trash when it
// is missing.
bool TrashAvailable(const QString &filePath);

// The question asked before photos are deleted: "Are you sure you wish to delete the selected
// photo(s) ?" (OK/Cancel, "Confirmation"). When the files cannot go to the trash it says that
// they will be deleted permanently, warns, and Cancel is the default button.
MessageRequest DeleteQuestion(Removal removal);

// Takes the file AddBackslash(path) + name off the disk: to the trash, or for good. False when
// the file is still there afterwards (it is then left in place).
bool RemovePhotoFile(const QString &path, const QString &name, Removal removal);

} // namespace InfoPhotos
