#pragma once

#include <QList>
#include <QString>

class FileDialog;
class QWidget;

// The photos of the persons: plain image files in one folder per person key (the folder and the
// names it allows are the store's PhotoFolders rule). Persons with the same ID in different
// trees share the folder.
//
// A photo selection is the raw result of the file dialog: either one full file path, or the
// folder followed by each chosen file name, separated by NUL characters.
namespace PhotoStorage {

// One file of a selection: where it is and the name it gets in the person's folder.
struct SelectedFile
{
    QString source;
    QString name;
    bool operator==(const SelectedFile &) const = default;
};

// The files a selection names, in order. A multiple selection is split at each NUL: the first
// piece is the folder, each later piece a file name in it; a trailing NUL adds nothing. Empty
// pieces and names that would leave the person's folder ("..", names with a separator) are
// dropped. A single path gives the file after its last separator.
QList<SelectedFile> SelectionFiles(const QString &selection);

// Copies the selection's files into the person's folder (made when missing), never replacing a
// file of the same name; a copy that fails is skipped. Nothing happens for an empty key or
// one that PhotoFolders::IsPlainName refuses. A copy that fails leaves nothing in the folder.
// `notWritten` (when given) receives the names of readable files that had a free name and still
// could not be written (a full disk, a folder that cannot be written).
// Returns how many files were copied.
int SavePhotos(const QString &dataPath, const QString &key, const QString &selection,
               QStringList *notWritten = nullptr);

// The photo step of a save: makes the person's folder when missing; when that fails (or the key
// cannot name a folder), copies nothing and, when photos were chosen, tells the user ("Photos
// folder could not be created. Photos will not be saved.", "Error"). Otherwise SavePhotos; files
// that could not be written are named in one message (NotWrittenText, "Error").
// Returns how many files were copied.
int PhotoStep(const QString &dataPath, const QString &key, const QString &selection,
              QWidget *parent = nullptr);

// The message for photos that could not be written into `folder`.
QString NotWrittenText(const QString &folder, const QStringList &names);

// The file dialog's title and filter for choosing photos.
QString BrowseTitle();
QString BrowseFilter();

// Sets the dialog up for choosing photos (title, filter, first filter, multiple selection) and
// shows it. True and `selection` set to the dialog's result when the user confirmed; false and
// `selection` untouched on Cancel.
bool Browse(FileDialog &dialog, QWidget *parent, QString &selection);

} // namespace PhotoStorage
