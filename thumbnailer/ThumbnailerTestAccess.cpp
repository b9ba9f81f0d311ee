#include "ThumbnailerTestAccess.h"

#include "ThumbCellAccess.h"
#include "ThumbnailerPrivate.h"

namespace Pixtile {

const FileRecords &ThumbnailerTestAccess::records() const
{
    return m_control.d->model.records();
}

const cMemDCs &ThumbnailerTestAccess::memDCs() const
{
    return m_control.d->pipeline.cells().blocks();
}

QImage ThumbnailerTestAccess::cellImage(const Thumb &thumb, bool wholeCell) const
{
    return m_control.d->pipeline.cells().cellImage(ThumbCellAccess::cell(thumb), wholeCell);
}

const QImage &ThumbnailerTestAccess::canvas() const
{
    return m_control.d->view.surface()->canvas();
}

const GridGeometry &ThumbnailerTestAccess::geometry() const
{
    return m_control.d->view.geometry();
}

cToolTip *ThumbnailerTestAccess::toolTip() const
{
    return m_control.d->mouse.toolTip();
}

void ThumbnailerTestAccess::paintVisible()
{
    m_control.d->view.paintVisible();
}

void ThumbnailerTestAccess::setDecodeWorkers(int workers)
{
    m_control.d->pipeline.setDecodeWorkers(workers);
}

void ThumbnailerTestAccess::setUseEmbeddedThumbnails(bool use)
{
    m_control.d->pipeline.setUseEmbeddedThumbnails(use);
}

void ThumbnailerTestAccess::setScreenWidthForCells(int width)
{
    m_control.d->pipeline.setScreenWidthForCells(width);
}

} // namespace Pixtile
