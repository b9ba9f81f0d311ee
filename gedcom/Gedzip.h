#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

namespace Gedcom {

// GEDZIP (.gdz): a GEDCOM 7.0 file and the media files it names in one zip archive. The GEDCOM
// file is the entry "gedcom.ged"; every other file is an entry whose name is the FILE value that
// names it (relative, '/' between folders; the FILE value percent-escapes what a URI cannot
// hold, the entry name does not). Archives are read and written with libzip.

// What a reader holds an archive to. An archive beyond them is refused as a whole, before
// anything is extracted; an entry that holds more than its header says is refused while it is
// read.
struct GedzipLimits
{
    qint64 maxEntries = 100000;
    qint64 maxGedcomSize = qint64(2) * 1024 * 1024 * 1024 - 1; // what the GEDCOM reader takes
    qint64 maxEntrySize = qint64(4) * 1024 * 1024 * 1024;
    qint64 maxTotalSize = qint64(16) * 1024 * 1024 * 1024;
    // Uncompressed : compressed, for entries larger than ratioFloor: text compresses about 10 to
    // 1 and pictures hardly at all, while a "zip bomb" reaches 1000 to 1.
    qint64 maxRatio = 100;
    qint64 ratioFloor = qint64(1) * 1024 * 1024;
};

// A media file to put into an archive: under which entry name, from which file.
struct GedzipMedia
{
    QString entryName;
    QString sourcePath;
    // The path's bytes when they are not valid UTF-8 (a photo copied from an old disk): Qt cannot
    // reach such a file by sourcePath, which then only names it in messages.
    QByteArray sourceBytes = {};
};

// Why an entry name cannot stand in an archive, or an empty text when it can: it must be a
// relative path of '/'-separated parts, none empty, "." or "..", without a backslash, a drive
// letter, a control character, and not "gedcom.ged" unless `gedcom`.
QString gedzipNameProblem(const QString &name, bool gedcom = false);

// Chooses the entry names of the media files of an export: "media/" and the file's own name,
// made safe (see gedzipNameProblem) and unique without regard to case ("photo.jpg",
// "photo-2.jpg"), so the archive extracts the same on every file system.
class GedzipNames
{
public:
    QString add(const QString &sourcePath);

private:
    QSet<QString> m_used; // case folded
};

// The FILE value that names an entry (percent-escaped as a URI reference), and back.
QString gedzipFileValue(const QString &entryName);
QString gedzipEntryName(const QString &fileValue);

// Writes an archive of the GEDCOM text (as "gedcom.ged") and the media files. The archive
// appears whole or not at all: libzip writes a temporary file beside it and renames it at the
// end. The GEDCOM text and text-like files are compressed; pictures, sound and video, which
// hardly compress, are stored. Returns an empty text, or why nothing was written.
QString writeGedzip(const QString &archivePath, const QByteArray &gedcom,
                    const QList<GedzipMedia> &media);

// Reads an archive: every entry is checked when it opens (names, links, sizes, ratios,
// encryption, compression methods; see GedzipLimits), then the GEDCOM text is read and the
// media files extracted on request.
class GedzipReader
{
public:
    GedzipReader();
    ~GedzipReader();
    GedzipReader(GedzipReader &&) noexcept;
    GedzipReader &operator=(GedzipReader &&) noexcept;

    // False, with error(), when the file is no zip archive, is damaged or breaks a rule.
    bool open(const QString &path, const GedzipLimits &limits = {});
    bool openBytes(const QByteArray &bytes, const GedzipLimits &limits = {});
    bool isOpen() const;
    const QString &error() const;

    // The bytes of "gedcom.ged"; empty, with error(), when it cannot be read.
    QByteArray gedcom();
    // The names of the other files, in archive order (folders are not listed).
    QStringList mediaEntries() const;
    // Writes every media file under `folder` (made when missing) at its entry name's path, never
    // over an existing file and never through a link. On failure nothing it wrote stays, and
    // error() says why. The paths written, in archive order.
    bool extractMedia(const QString &folder, QStringList *written = nullptr);

private:
    struct Archive;
    std::unique_ptr<Archive> d;
};

} // namespace Gedcom
