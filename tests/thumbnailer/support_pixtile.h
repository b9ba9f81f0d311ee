#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

// Small files for the thumbnail viewer's tests, made on the spot.
namespace PixtileTestFiles {

// An image of one colour saved in the format the suffix names (bmp, png, jpg, ...).
bool writeImage(const QString &path, int width, int height, const QColor &color);
bool writeBytes(const QString &path, const QByteArray &bytes);
// A valid GIF of 1 x 1 pixels (its header then claims width x height).
QByteArray gifBytes(int width = 1, int height = 1);
// Placeable metafile header with the bounding box and units per inch, then an empty body.
QByteArray wmfBytes(int left, int top, int right, int bottom, int unitsPerInch);
// A placeable metafile of width x height units (1000 to the inch) with filled rectangles and no
// outlines: the top-left quarter red, the top-right quarter green, the bottom half blue.
QByteArray wmfWithShapes(int width, int height);
// Enhanced metafile header with the given bounds.
QByteArray emfBytes(int left, int top, int right, int bottom);

} // namespace PixtileTestFiles

class Thumbnailer;

namespace PixtileTestWait {

// Runs the event loop until the control has listed and rendered what it was given (Rendering()
// false again) or `timeoutMs` have passed; false on the time-out. Setting Path or FilesList and
// Redraw return at once: the files arrive from the event loop.
bool WaitShown(Thumbnailer &control, int timeoutMs = 30000);

} // namespace PixtileTestWait
