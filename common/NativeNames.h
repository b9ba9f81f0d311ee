#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QUrl>

class QFile;
class QImageReader;

// File names whose bytes are not valid UTF-8. Qt reads every file name as UTF-8: such a name
// comes out with U+FFFD in place of its bad bytes (naming another file) or, in folder listings,
// not at all. Here such a name is held in a QString with each bad byte 0xNN as the lone
// surrogate U+DCNN, which no valid name can contain, so the string maps back to exactly the
// bytes on disk. A valid name reads and stays exactly as Qt reads it.
//
// Qt's file functions cannot be given such a string: what touches these files goes through the
// functions here (open, information, rename, remove, trash, URL); they take any path and pass
// a valid one to Qt unchanged. Show such a name through Display, never as it is.
namespace NativeNames {

// The name of these bytes: Qt's reading when the bytes are valid UTF-8, otherwise the valid
// parts decoded and each other byte as its surrogate.
QString Decode(const QByteArray &bytes);
// The bytes a name stands for (Decode's inverse; a valid name gives QFile::encodeName's bytes).
QByteArray Encode(const QString &name);
// True when the name holds bytes that are not valid UTF-8 (Qt's file functions cannot reach it).
bool HasRawBytes(const QString &name);
// The name as it is shown: each byte that is not valid UTF-8 written as \xNN (upper-case hex).
QString Display(const QString &name);
// The name as valid text, each raw byte one U+FFFD: for what rejects invalid text (regular
// expressions, wildcard patterns), where one character stands for one byte.
QString Matchable(const QString &name);

// The regular files of the folder (symbolic links followed) whose names Qt's folder listing
// leaves out, as Decode gives them, in no particular order.
QStringList RawEntries(const QString &folder);

// What the file system says of a path.
struct FileInfo
{
    bool exists = false;
    bool isFile = false; // a regular file (a symbolic link to one counts)
    bool isSymLink = false;
    bool writable = false;
    qint64 size = 0;
    QDateTime lastModified; // UTC
};
FileInfo Info(const QString &path);

// Opens `file` (its file name set) by the bytes its name stands for.
bool Open(QFile &file, QIODevice::OpenMode mode);
// Points the reader at `file` (its file name set): by name, or for a name with raw bytes at the
// file opened by its bytes, with the format its suffix names tried first as for a name.
void SetReaderFile(QImageReader &reader, QFile &file);
// Renames within one file system; fails rather than replace an existing `to`.
bool Rename(const QString &from, const QString &to);
// Deletes the file.
bool Remove(const QString &path);
// Moves the file to the desktop trash as QFile::moveToTrash does. A name with raw bytes is
// renamed beside itself to its Display name first (a free one), trashed under that name, and its
// trash record then names the original bytes, so that restoring it from the trash gives the file
// its own name again. `pathInTrash` gets where it went.
bool MoveToTrash(const QString &path, QString *pathInTrash = nullptr);
// The file: URL of the path, its bytes percent-encoded.
QUrl FileUrl(const QString &path);

} // namespace NativeNames
