#pragma once

#include "FileRecord.h"
#include "GridGeometry.h"
#include "cMemDCs.h"

#include <QImage>

class Thumb;
class Thumbnailer;
class cToolTip;

namespace Pixtile {

// The inside of a Thumbnailer as the control's own tests and benchmarks see it. Hosts have no
// use for it: what they may rely on is the control's public interface.
class ThumbnailerTestAccess
{
public:
    explicit ThumbnailerTestAccess(Thumbnailer &control) : m_control(control) {}

    // The listed files in display order (item position i is records()[i - 1]).
    const FileRecords &records() const;
    // The memory cell blocks and an item's rendered cell (the whole cell, or its picture).
    const cMemDCs &memDCs() const;
    QImage cellImage(const Thumb &thumb, bool wholeCell) const;
    // What the drawing surface shows.
    const QImage &canvas() const;
    const GridGeometry &geometry() const;
    // The tooltip object; null while Tooltips is off.
    cToolTip *toolTip() const;
    // Computes the visible range and paints the visible items again.
    void paintVisible();
    // The screen width the memory cells are sized for (0 = the primary screen's).
    void setScreenWidthForCells(int width);
    // Decodes kept going at once (0 = one per core).
    void setDecodeWorkers(int workers);
    // Whether photos' embedded thumbnails may stand in for decoding them.
    void setUseEmbeddedThumbnails(bool use);

private:
    Thumbnailer &m_control;
};

} // namespace Pixtile
