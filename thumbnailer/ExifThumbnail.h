#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

namespace Pixtile {

// The preview a camera embeds in a JPEG photo (the EXIF thumbnail, typically 160 x 120), with
// the photo's orientation tag and its stored size, read from the first bytes of the file.
namespace ExifThumbnail {

// How many bytes of a photo are read to find them.
constexpr int kHeadBytes = 256 * 1024;

struct Embedded
{
    QByteArray jpeg;     // the embedded thumbnail, a JPEG of its own; empty when there is none
    int orientation = 1; // the EXIF orientation of the photo (1 to 8; 1 when not given)
    QSize stored;        // the photo's stored size from its frame header; invalid when not seen
};

// Reads them from the first bytes of a JPEG file. The bytes are untrusted: anything malformed
// gives what was read before the fault (an empty thumbnail at worst), and nothing is read past
// the end of the buffer. Safe on any thread.
Embedded FromJpegBytes(const QByteArray &head);

// The first kHeadBytes of a file, or nothing when it does not start like a JPEG.
QByteArray ReadHead(const QString &file);

} // namespace ExifThumbnail

} // namespace Pixtile
