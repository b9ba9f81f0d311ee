#pragma once

#include <QByteArray>
#include <QImage>

// JPEG photos as cameras write them: an EXIF block right after the start of the file with the
// orientation tag and a thumbnail of the photo (a small JPEG of its own).
namespace PixtileTestExif {

// The photo `stored` (as the sensor saw it) at `quality`, tagged with `orientation` (1..8, or 0
// for no tag), with `thumbnail` embedded when it is not null (stored the same way as the photo).
QByteArray jpegWithExif(const QImage &stored, const QImage &thumbnail, int orientation,
                        int quality = 92);

} // namespace PixtileTestExif
