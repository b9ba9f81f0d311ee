#pragma once

#include <QString>

namespace Pixtile {

// Pixel sizes read from a few header bytes, never by decoding. Each returns true only when both
// width and height came out non-zero; a short, unreadable or malformed file is a failure and
// never read past its end.
namespace HeaderReaders {

bool ReadBitmapSize(const QString &file, int &width, int &height);
bool ReadGifSize(const QString &file, int &width, int &height);
bool ReadJpegSize(const QString &file, int &width, int &height);
// Enhanced metafile: the bounds of its header, in device pixels.
bool ReadEmfSize(const QString &file, int &width, int &height);
// Placeable Windows metafile: its bounding box in HIMETRIC (0.01 mm). A plain metafile without
// the placeable header fails.
bool ReadWmfSize(const QString &file, int &width, int &height);

// Which reader an upper-cased extension uses ("BMP", "DIB", "GIF", "JPG", "JPEG", "EMF",
// "WMF"); false for any other, meaning "no size" (0 x 0, not a failure). For WMF the result is
// already converted from HIMETRIC to screen pixels.
bool HasReader(const QString &extension);
bool ReadSizeByExtension(const QString &extension, const QString &file, int &width, int &height);

// HIMETRIC to pixels at the screen's logical resolution (96 per inch without a screen). Off the
// GUI thread, the resolution the GUI thread saw last.
int HimetricToPixelsX(int himetric);
int HimetricToPixelsY(int himetric);

} // namespace HeaderReaders

} // namespace Pixtile
