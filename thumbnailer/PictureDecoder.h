#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

namespace Pixtile {

// Decoding of picture files for showing them: upright, straight to the size they are shown at
// where the format allows, and within a memory cap.
//
// The cap: one picture's decoded pixels may take at most kDecodeLimitMB (a 100-megapixel photo
// at 32 bits takes 400 MB); a file that would need more counts as one that cannot be decoded.
// The working copy that scaling a palette or 1-bit picture needs stays below kWorkingCopyBytes.
// Decoding is safe on any thread. Pictures that cannot be decoded scaled are decoded whole: at
// most kWholeDecodesAtOnce of them at a time, and one above kLargePixels alone, so that the cap
// still bounds what decoding on several threads takes at once.
//
// Placeable Windows metafiles are drawn (MetafileRenderer) at the size their header gives.
namespace PictureDecoder {

constexpr int kDecodeLimitMB = 512;
constexpr qint64 kWorkingCopyBytes = qint64(64) << 20;
constexpr int kWholeDecodesAtOnce = 3;
constexpr qint64 kLargePixels = qint64(16) << 20;

// Gives the size a picture is shown at from its upright size.
using FitRule = std::function<QSize(const QSize &upright)>;

// Decodes `file` upright (its orientation tag applied) at exactly the size `fit` gives: scaled
// while decoding where the format can, otherwise decoded whole and scaled smoothly. With
// `byContent` the format is told from the bytes alone, not from the name. Null when the file
// cannot be decoded within the cap.
QImage Read(const QString &file, const FitRule &fit, bool byContent = false);

// Decodes `file` upright, shrunk to fit `bound` with its proportions kept; never enlarged. An
// empty bound keeps the picture's own size.
QImage ReadWithin(const QString &file, const QSize &bound);

// The size a picture is shown at when upright: `stored` (the size its header gives, as the
// control's items carry it) or, when that is empty, the size read from the file; with the
// file's orientation tag applied. Metafiles give their header size in pixels. The one rule
// for it: cells, the viewer and cached entries all size pictures by it. Empty when the file
// gives no size.
QSize UprightSizeOf(const QString &file, const QSize &stored = QSize());

// The largest size of the picture's proportions within `bound`, or the picture's own size when
// it fits (at least 1 x 1).
QSize ShrunkWithin(const QSize &picture, const QSize &bound);

// Smooth scaling to exactly `size` that palette and 1-bit pictures survive: they are scaled in
// 32 bits, large ones reduced band by band first so that no whole 32-bit copy is made.
QImage SmoothScaled(const QImage &image, const QSize &size);

} // namespace PictureDecoder

} // namespace Pixtile
