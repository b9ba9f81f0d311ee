#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

// What the GEDCOM commands of the window and of the command line share: the name proposed for
// an imported tree, the image test for photos and the photos of a person to export.
namespace GedcomFiles {

// The name for the tree made from a GEDCOM file: the file's name without its suffix, made
// usable by the tree-name rules (control characters become spaces, runs of blanks one space;
// a name the tree list would hide gets "Tree " before it; nothing left gives "Imported tree")
// and unique: " (2)", " (3)"... while `exists` says the name is taken.
QString ProposeTreeName(const QString &gedcomPath,
                        const std::function<bool(const QString &name)> &exists);

// True when the opened file decodes as an image: the whole picture is read (at a small size
// where the format can), not only its header.
bool DecodesAsImage(QIODevice &file);

// The photos of a key as the export writes them: the image files (by suffix) in the key's photo
// folder under the data folder, full paths, in no particular order; a file whose name is not
// valid UTF-8 as its file: URL (its bytes percent-encoded).
QStringList PhotoFiles(const QString &dataPath, const QString &key);

// The file dialogs' filters: GEDCOM files (*.ged) and GEDZIP archives (*.gdz, always GEDCOM 7.0
// with the media it names).
QString FileFilter();

} // namespace GedcomFiles
