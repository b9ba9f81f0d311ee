#include "ThumbCellStore.h"

#include <QPainter>

namespace Pixtile {

bool ThumbCellStore::buildForListing(int n, int cellWidth, int cellHeight, int offset,
                                     int screenWidth, const QColor &fill)
{
    if (!m_blocks.Build(n, cellWidth, cellHeight, screenWidth, fill))
        return false;
    m_cellWidth = cellWidth;
    m_cellHeight = cellHeight;
    m_cellOffset = offset;
    m_addCapacity = m_addUsed = 0;
    // AddItem may append blocks of its own while the listed files render.
    m_listedBlocks = m_blocks.Count();
    m_listedBlock = 1;
    m_listedCell = 0;
    m_listedSlot = 1;
    return true;
}

ThumbCellStore::Slot ThumbCellStore::nextListed()
{
    const cMemDC *current = m_blocks.Item(m_listedBlock);
    if (m_listedSlot > current->Last && m_listedBlock < m_listedBlocks) {
        current = m_blocks.Item(++m_listedBlock);
        m_listedCell = 0;
    }
    return Slot{m_listedBlock, (m_listedCell % current->CellsPerRow) * m_cellWidth,
                (m_listedCell / current->CellsPerRow) * m_cellHeight};
}

void ThumbCellStore::takeListed()
{
    ++m_listedCell;
    ++m_listedSlot;
}

bool ThumbCellStore::nextAdded(int cellWidth, int cellHeight, int offset, int screenWidth,
                               const QColor &fill, Slot &slot)
{
    if (m_blocks.Count() == 0) {
        m_cellWidth = cellWidth;
        m_cellHeight = cellHeight;
        m_cellOffset = offset;
    }
    if (m_addCapacity == 0 || m_addUsed >= m_addCapacity) {
        const cMemDC *made = m_blocks.AddBlock(100, m_cellWidth, m_cellHeight, screenWidth, fill);
        if (!made)
            return false;
        m_addCapacity = made->Last - made->First + 1;
        m_addUsed = 0;
    }
    const int index = m_blocks.Count();
    const cMemDC *newest = m_blocks.Item(index);
    slot = Slot{index, (m_addUsed % newest->CellsPerRow) * m_cellWidth,
                (m_addUsed / newest->CellsPerRow) * m_cellHeight};
    return true;
}

ThumbCell ThumbCellStore::place(const Slot &slot, const QImage &picture)
{
    const int left = slot.left + (m_cellWidth - picture.width()) / 2;
    const int top = slot.top + (m_cellHeight - picture.height()) / 2;
    QPainter painter(&m_blocks.Item(slot.block)->image());
    painter.setClipRect(QRect(slot.left, slot.top, m_cellWidth, m_cellHeight));
    painter.drawImage(QPoint(left, top), picture);
    return ThumbCell{slot.block, slot.left, slot.top, left, top, picture.width(), picture.height()};
}

void ThumbCellStore::blank(const Slot &slot, const QColor &fill)
{
    QPainter(&m_blocks.Item(slot.block)->image())
        .fillRect(QRect(slot.left, slot.top, m_cellWidth, m_cellHeight), fill);
}

QImage ThumbCellStore::cellImage(const ThumbCell &cell, bool wholeCell) const
{
    const cMemDC *holder = m_blocks.Item(cell.DCIndex);
    if (!holder)
        return QImage();
    const QRect source = wholeCell
                             ? QRect(cell.CellLeft, cell.CellTop, m_cellWidth, m_cellHeight)
                             : QRect(cell.PicLeft, cell.PicTop, cell.PicWidth, cell.PicHeight);
    return holder->image().copy(source);
}

void ThumbCellStore::clear()
{
    m_blocks.Clear();
    m_cellWidth = m_cellHeight = m_cellOffset = 0;
    m_listedBlocks = 0;
    m_listedBlock = 1;
    m_listedCell = 0;
    m_listedSlot = 1;
    m_addCapacity = m_addUsed = 0;
}

} // namespace Pixtile
