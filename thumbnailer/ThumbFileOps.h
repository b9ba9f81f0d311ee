#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace Pixtile {

// The file operations the Thumbnailer performs for the user: renaming a file in its folder,
// moving files to the desktop trash after asking, and copying or moving dropped files into the
// shown folder. Every operation either completes or leaves the files as they were; failures are
// told to the user through the message service.
class ThumbFileOps
{
public:
    enum class Transfer { Copy, Move };

    // Every element equal to oldText becomes newText.
    static void ReplaceInList(QStringList &list, const QString &oldText, const QString &newText);
    // Joins full paths as a NUL-terminated list ended by one more NUL.
    static QString JoinNulList(const QStringList &paths);

    // A usable file name for a rename: not empty, not "." or "..", without a folder separator
    // or NUL.
    static bool IsPlainFileName(const QString &name);

    // Renames folder/oldName to folder/newName. Does nothing (false) when newName is empty.
    // An existing file of the new name is never replaced (a change of case alone is allowed).
    static bool RenameFile(QWidget *owner, const QString &folder, const QString &oldName,
                           const QString &newName);

    // Asks for confirmation, then moves the files to the desktop trash (undoable from there).
    // All or nothing: when one file cannot be moved, those already moved are put back. False
    // when the user declines, on any failure, and for a call nested in a running one.
    static bool DeleteToRecycleBin(QWidget *owner, const QStringList &paths);

    // Copies or moves files into a folder. A file that is already there is replaced only when
    // the user agrees; a file dropped onto itself is left alone. All or nothing: on a failure
    // or when the user cancels, what was done is undone. Refuses a nested call.
    static bool TransferFiles(QWidget *owner, const QStringList &sources,
                              const QString &targetFolder, Transfer mode);

    // True while a delete or transfer is running.
    static bool busy();
};

} // namespace Pixtile
