#pragma once

#include "cMemDC.h"

#include <memory>
#include <vector>

// The control's memory cell blocks, 1-based.
class cMemDCs
{
public:
    cMemDC *Item(int index) const;
    int Count() const { return int(m_items.size()); }
    cMemDC *Add(std::unique_ptr<cMemDC> block);
    void Remove(int index);
    // Destroys every block.
    void Clear();

    // Builds blocks for n cells of cellWidth x cellHeight after dropping the old ones: as wide as
    // the screen allows (CellsPerRow = screenWidth / cellWidth, at most n), as high as can be
    // made, one row less per failed attempt; each filled with `fill`. False when a block of more
    // than two rows cannot be made.
    bool Build(int n, int cellWidth, int cellHeight, int screenWidth, const QColor &fill);
    // One more block for `cells` cells after the existing ones (AddItem's own blocks).
    cMemDC *AddBlock(int cells, int cellWidth, int cellHeight, int screenWidth, const QColor &fill);
    // Block index (1-based) holding item `index`, 0 when none.
    int IndexFor(int itemIndex) const;

private:
    std::vector<std::unique_ptr<cMemDC>> m_items;
};
