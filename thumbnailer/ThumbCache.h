#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace Pixtile {

// The thumbnail cache shared with the desktop (the freedesktop.org Thumbnail Managing Standard,
// version 0.9): $XDG_CACHE_HOME/thumbnails (default ~/.cache/thumbnails) with one folder per
// size, `normal` (128 pixels), `large` (256), `x-large` (512) and `xx-large` (1024), and
// `fail/pixtile-<version>` for files that could not be thumbnailed. An entry is a PNG named
// after the MD5 of the file's URI, upright, shrunk to fit its size's square (never enlarged),
// carrying the text keys Thumb::URI and Thumb::MTime (and Thumb::Size, Thumb::Image::Width and
// Thumb::Image::Height, the original's upright size). It is valid only while URI and MTime
// (and the size, when given) match the file. Our own entries also carry the time in
// milliseconds (X-Pixtile-MTime-MSec), so that a change within the same second is seen. Entries are
// written atomically (a temporary file in the same folder, then a rename); folders are made 0700,
// files 0600.
//
// Nothing here ever reports an error: where the cache cannot be written it is read only, and
// where it cannot be read it is not there.
namespace ThumbCache {

// The size folders, smallest first.
struct Flavor
{
    int pixels;
    const char *folder;
};
constexpr Flavor kFlavors[] = {
    {128, "normal"}, {256, "large"}, {512, "x-large"}, {1024, "xx-large"}};
constexpr int kFlavorCount = int(sizeof kFlavors / sizeof kFlavors[0]);
// Folder (below the root) of this program's failure records.
constexpr const char *kFailFolder = "fail/pixtile-4.1";

// $XDG_CACHE_HOME/thumbnails, or ~/.cache/thumbnails when that is not set (or not absolute).
QString Root();
// The file's URI as the standard names it: file:// and the absolute path with every byte that
// is not a letter, digit or one of - . _ ~ ! $ & ' ( ) * + , = : @ / percent-encoded (UTF-8,
// upper-case hex).
QByteArray FileUri(const QString &absolutePath);
// The entry's file name: lower-case hex MD5 of the URI + ".png".
QString EntryName(const QByteArray &uri);
// Index into kFlavors of the smallest size at least `pixels` large; -1 when none is.
int FlavorFor(int pixels);

// What an entry must match: the file as it is now.
struct Source
{
    QString file;       // absolute path
    QByteArray uri;     // FileUri(file)
    qint64 mtime = 0;   // last modification, seconds since the epoch
    qint64 mtimeMs = 0; // the same in milliseconds
    qint64 size = 0;    // bytes
    // The file as it is; false when it is not a readable plain file.
    static bool Of(const QString &path, Source &source);
};

// A valid entry: the thumbnail and the original's upright size (empty when the entry does not
// say).
struct Entry
{
    QImage image;
    QSize original;
};

// One cache folder as a run of the control uses it. Safe to use from several threads at once.
class Store
{
public:
    // `root` is Root() (or a test folder). Makes the root (0700) when it can; without it the
    // store only reads.
    explicit Store(const QString &root);

    const QString &root() const { return m_root; }
    bool writable() const { return m_writable; }
    // Whether a file may be looked up at all (not the cache's own files), and whether entries
    // may be written for it (not for files in a trash, whose name will not last).
    bool covers(const QString &file) const;
    bool writesFor(const QString &file) const;

    // The valid entry of the smallest size at least `pixels` large that holds one; false when
    // none does.
    bool find(const Source &source, int pixels, Entry &entry) const;
    // A valid failure record exists (the file could not be thumbnailed and has not changed).
    bool failed(const Source &source) const;

    // Writes an entry into the size folder kFlavors[flavor]; false when it could not.
    bool write(const Source &source, int flavor, const QImage &thumbnail,
               const QSize &original) const;
    // Records that the file could not be thumbnailed.
    bool writeFailure(const Source &source) const;

private:
    bool writeEntry(const QString &folder, const Source &source, QImage image,
                    const QSize &original) const;

    QString m_root;
    QString m_trash;
    bool m_writable = false;
};

// Whether an entry's text keys describe the file as it is now.
bool Matches(const QMap<QString, QString> &keys, const Source &source);

// Makes every missing folder of `path` with the permissions 0700; true when it exists after.
bool MakePrivateFolder(const QString &path);

} // namespace ThumbCache

} // namespace Pixtile
