#include "ImageOrientation.h"

#include "NativeNames.h"

#include <QFile>
#include <QImageReader>
#include <QTransform>

namespace Pixtile {

namespace ImageOrientation {

bool SwapsSides(int orientation)
{
    return orientation >= Transposed && orientation <= RotatedAnticlockwise;
}

QSize UprightSize(const QSize &stored, int orientation)
{
    return SwapsSides(orientation) ? stored.transposed() : stored;
}

QImage TurnedUpright(const QImage &stored, int orientation)
{
    const QImageIOHandler::Transformations t = ToTransformation(orientation);
    if (t == QImageIOHandler::TransformationNone || stored.isNull())
        return stored;
    // As the readers do it: a quarter anticlockwise on its own, otherwise mirror and flip
    // first, then a quarter clockwise.
    if (t == QImageIOHandler::TransformationRotate270)
        return stored.transformed(QTransform().rotate(270));
    QImage image = stored.mirrored(t & QImageIOHandler::TransformationMirror,
                                   t & QImageIOHandler::TransformationFlip);
    if (t & QImageIOHandler::TransformationRotate90)
        image = image.transformed(QTransform().rotate(90));
    return image;
}

int FromTransformation(QImageIOHandler::Transformations transformation)
{
    switch (int(transformation)) {
    case QImageIOHandler::TransformationMirror:
        return Mirrored;
    case QImageIOHandler::TransformationRotate180:
        return Rotated180;
    case QImageIOHandler::TransformationFlip:
        return Flipped;
    case QImageIOHandler::TransformationFlipAndRotate90:
        return Transposed;
    case QImageIOHandler::TransformationRotate90:
        return RotatedClockwise;
    case QImageIOHandler::TransformationMirrorAndRotate90:
        return Transversed;
    case QImageIOHandler::TransformationRotate270:
        return RotatedAnticlockwise;
    default:
        return Upright;
    }
}

QImageIOHandler::Transformations ToTransformation(int orientation)
{
    switch (orientation) {
    case Mirrored:
        return QImageIOHandler::TransformationMirror;
    case Rotated180:
        return QImageIOHandler::TransformationRotate180;
    case Flipped:
        return QImageIOHandler::TransformationFlip;
    case Transposed:
        return QImageIOHandler::TransformationFlipAndRotate90;
    case RotatedClockwise:
        return QImageIOHandler::TransformationRotate90;
    case Transversed:
        return QImageIOHandler::TransformationMirrorAndRotate90;
    case RotatedAnticlockwise:
        return QImageIOHandler::TransformationRotate270;
    default:
        return QImageIOHandler::TransformationNone;
    }
}

int OrientationOf(QImageReader &reader)
{
    return FromTransformation(reader.transformation());
}

int OrientationOf(const QString &file)
{
    QFile device(file);
    QImageReader reader;
    NativeNames::SetReaderFile(reader, device);
    return OrientationOf(reader);
}

} // namespace ImageOrientation

} // namespace Pixtile
