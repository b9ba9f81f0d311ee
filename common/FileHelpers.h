#pragma once

#include <QString>

// Folder and file helpers shared by the program and the edit window. Paths use '/' and end
// with one separator where a folder path is meant.

// Appends the separator to a non-empty path that does not end with one; "" stays "".
QString AddBackslash(const QString &path);
// Creates every missing folder along the path; true when the whole path exists afterwards.
bool MakePath(const QString &path);
// Deletes the folder with everything in it if it exists; otherwise does nothing.
// True when the folder is gone afterwards.
bool DeleteFolderTree(const QString &path);
// Copies one file; with failIfExists an existing target is kept and the copy fails.
bool CopyOneFile(const QString &source, const QString &target, bool failIfExists);
// True when the path names an existing folder.
bool FolderExists(const QString &path);
