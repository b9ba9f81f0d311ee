#include "cMemDCs.h"

#include <algorithm>

cMemDC *cMemDCs::Item(int index) const
{
    if (index < 1 || index > int(m_items.size()))
        return nullptr;
    return m_items[size_t(index - 1)].get();
}

cMemDC *cMemDCs::Add(std::unique_ptr<cMemDC> block)
{
    m_items.push_back(std::move(block));
    return m_items.back().get();
}

void cMemDCs::Remove(int index)
{
    if (index >= 1 && index <= int(m_items.size()))
        m_items.erase(m_items.begin() + (index - 1));
}

void cMemDCs::Clear()
{
    for (auto &block : m_items)
        block->Destroy();
    m_items.clear();
}

namespace {
// Tries heights from `height` down by one row; false once a block of two rows or less fails.
std::unique_ptr<cMemDC> MakeBlock(int width, int height, int cellHeight)
{
    auto block = std::make_unique<cMemDC>();
    while (!block->Create(width, height)) {
        if (height <= 2 * cellHeight)
            return nullptr;
        height -= cellHeight;
    }
    return block;
}
} // namespace

bool cMemDCs::Build(int n, int cellWidth, int cellHeight, int screenWidth, const QColor &fill)
{
    Clear();
    if (n <= 0 || cellWidth <= 0 || cellHeight <= 0)
        return false;
    int perRow = std::max(1, screenWidth / cellWidth);
    if (perRow >= n)
        perRow = n;
    const int width = perRow * cellWidth;
    const qint64 total = qint64((n + perRow - 1) / perRow) * cellHeight;
    qint64 made = 0;
    int placed = 0;
    while (made < total && placed < n) {
        const int height = int(std::min<qint64>(total - made, 1 << 30));
        auto block = MakeBlock(width, height, cellHeight);
        if (!block) {
            Clear();
            return false;
        }
        block->image().fill(fill);
        block->CellsPerRow = perRow;
        const int madeHeight = block->image().height();
        const int cells = std::min((madeHeight / cellHeight) * perRow, n - placed);
        block->First = m_items.empty() ? 1 : m_items.back()->Last + 1;
        block->Last = std::min(block->First + cells - 1, n);
        placed += cells;
        made += madeHeight;
        Add(std::move(block));
    }
    return true;
}

cMemDC *cMemDCs::AddBlock(int cells, int cellWidth, int cellHeight, int screenWidth,
                          const QColor &fill)
{
    if (cells <= 0 || cellWidth <= 0 || cellHeight <= 0)
        return nullptr;
    const int perRow = std::max(1, std::min(screenWidth / cellWidth, cells));
    const int height = ((cells + perRow - 1) / perRow) * cellHeight;
    auto block = MakeBlock(perRow * cellWidth, height, cellHeight);
    if (!block)
        return nullptr;
    block->image().fill(fill);
    block->CellsPerRow = perRow;
    const int capacity = (block->image().height() / cellHeight) * perRow;
    block->First = m_items.empty() ? 1 : m_items.back()->Last + 1;
    block->Last = block->First + std::min(capacity, cells) - 1;
    return Add(std::move(block));
}

int cMemDCs::IndexFor(int itemIndex) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (itemIndex >= m_items[i]->First && itemIndex <= m_items[i]->Last)
            return int(i) + 1;
    return 0;
}
