#pragma once

#include "ThumbRenderer.h"

#include <QImage>
#include <QString>

#include <memory>

namespace Pixtile {

namespace ThumbCache {
class Store;
}

// The decode step of rendering: one request in, one picture at its fitted size out. It reads
// the file (and the thumbnail cache) and nothing of the control, so it runs on any thread;
// placing the picture into its cell and telling the host happen afterwards, on the GUI thread,
// in listing order.
//
// Where the picture comes from, cheapest first: a valid entry of the shared thumbnail cache at
// least as large as the picture is drawn (in device pixels); for a JPEG photo, the thumbnail
// the camera embedded when it is as large as that and of the photo's proportions; otherwise
// the file is decoded, and, with the cache on, the entry for the picture's size is written
// (or the failure recorded). Whatever the source, the picture has the size a decode of the
// file gives: the cell fitting of the original's upright size, never enlarged.

// One file to decode and the cell its picture must fit.
struct DecodeRequest
{
    QString file;
    ThumbRenderer::CellSpec cell;
    // Device pixels per pixel of the screen the cells are shown on.
    qreal devicePixelRatio = 1.0;
    // The shared thumbnail cache; null when it is off.
    std::shared_ptr<const ThumbCache::Store> cache;
    // Whether a photo's embedded thumbnail may stand in for decoding it.
    bool embedded = true;
};

enum class DecodedFrom { Nothing, File, Cache, Embedded };

// The picture at its fitted size, upright; null when the file cannot be decoded.
struct DecodedCell
{
    QImage picture;
    DecodedFrom from = DecodedFrom::Nothing;
    bool ok() const { return !picture.isNull(); }
};

DecodedCell DecodeCell(const DecodeRequest &request);

} // namespace Pixtile
