#pragma once

#include <QImage>
#include <QImageIOHandler>
#include <QSize>
#include <QString>

class QImageReader;

namespace Pixtile {

// How a photo is stored against how it is meant to be seen. Cameras write the picture as the
// sensor saw it and record the turn in an orientation tag (the EXIF values 1 to 8); whatever
// shows a picture, or sizes something after it, works with its upright size.
namespace ImageOrientation {

// The EXIF orientation values.
enum Orientation {
    Upright = 1,
    Mirrored = 2,
    Rotated180 = 3,
    Flipped = 4,
    Transposed = 5,          // mirrored across the diagonal from the top left
    RotatedClockwise = 6,    // to be turned a quarter clockwise (a phone held upright)
    Transversed = 7,         // mirrored across the diagonal from the top right
    RotatedAnticlockwise = 8 // to be turned a quarter anticlockwise
};

// True for the orientations that turn the picture a quarter (5 to 8): width and height swap.
bool SwapsSides(int orientation);

// The size a picture stored at `stored` has when shown upright. Unknown orientations count as
// upright. This is the one rule for it: viewers, cells and embedded previews all use it.
QSize UprightSize(const QSize &stored, int orientation);

// A picture stored in the given orientation, turned upright.
QImage TurnedUpright(const QImage &stored, int orientation);

// The orientation value for a reader's transformation, and back.
int FromTransformation(QImageIOHandler::Transformations transformation);
QImageIOHandler::Transformations ToTransformation(int orientation);

// The orientation tag of an image file (read from its header, nothing is decoded); Upright when
// the file has none or cannot be read.
int OrientationOf(const QString &file);
int OrientationOf(QImageReader &reader);

} // namespace ImageOrientation

} // namespace Pixtile
