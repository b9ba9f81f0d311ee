#pragma once

#include "Thumb.h"
#include "cMemDCs.h"

#include <QColor>
#include <QImage>

namespace Pixtile {

// The memory cells of the control: the blocks (cMemDCs) that hold every rendered cell, the cell
// geometry in force for them, and where the next cell goes, for a listing and for AddItem.
// Painting and exporting copy pixels out of these cells only.
class ThumbCellStore
{
public:
    // A free cell: the block (1-based) and the cell's top-left corner in it.
    struct Slot
    {
        int block = 0;
        int left = 0;
        int top = 0;
    };

    // Blocks for the n cells of a listing, after dropping every block; the current size and
    // offset become the geometry in force. False when the blocks cannot be made.
    bool buildForListing(int n, int cellWidth, int cellHeight, int offset, int screenWidth,
                         const QColor &fill);
    // The cell the next listed file goes into (the next block once one is full).
    Slot nextListed();
    // The listed file took the cell nextListed() gave.
    void takeListed();

    // The cell for AddItem: the next one of AddItem's own block, made for 100 cells when there
    // is none since the last listing or it is full. Without any block the given size and offset
    // become the geometry in force. False when no block can be made.
    bool nextAdded(int cellWidth, int cellHeight, int offset, int screenWidth, const QColor &fill,
                   Slot &slot);
    void takeAdded() { ++m_addUsed; }

    // Draws a decoded picture centred in the cell (clipped to it) and says where it went.
    ThumbCell place(const Slot &slot, const QImage &picture);
    // Fills a cell with the colour again (its file was dropped; the next one takes the cell).
    void blank(const Slot &slot, const QColor &fill);

    // The rendered cell of an item as an image: the whole cell at the geometry in force, or
    // the picture alone. Null when the item's block is gone.
    QImage cellImage(const ThumbCell &cell, bool wholeCell) const;
    // The block holding a cell, or null.
    const cMemDC *block(int index) const { return m_blocks.Item(index); }
    const cMemDCs &blocks() const { return m_blocks; }

    // The geometry in force (0 before the first block).
    int cellWidth() const { return m_cellWidth; }
    int cellHeight() const { return m_cellHeight; }
    int cellOffset() const { return m_cellOffset; }

    // Every block destroyed, nothing in force.
    void clear();

private:
    cMemDCs m_blocks;
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    int m_cellOffset = 0;
    // the listing's blocks and the place of its next cell
    int m_listedBlocks = 0;
    int m_listedBlock = 1;
    int m_listedCell = 0; // cell within the current block
    int m_listedSlot = 1; // cell over all blocks: each file rendered takes one
    // AddItem's own block
    int m_addCapacity = 0;
    int m_addUsed = 0;
};

} // namespace Pixtile
