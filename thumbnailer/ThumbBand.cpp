#include "ThumbBand.h"

#include <algorithm>

QRect ThumbBand::normalised(QPoint anchor, QPoint corner)
{
    const int left = std::min(anchor.x(), corner.x());
    const int right = std::max(anchor.x(), corner.x());
    const int top = std::min(anchor.y(), corner.y());
    const int bottom = std::max(anchor.y(), corner.y());
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QRect ThumbBand::itemBox(const ThumbBandGrid &grid, int index)
{
    if (grid.columns <= 0 || index < 1)
        return {};
    const int k = index - 1;
    const int row = k / grid.columns;
    const int column = k % grid.columns;
    const int x = column * grid.columnPitch + grid.thumbSpace;
    const int y = (row - grid.firstRow) * grid.rowPitch + grid.thumbSpace - grid.yShift;
    const int bottom =
        grid.labelHeight > 0 ? y + grid.thumbHeight + 1 + grid.labelHeight : y + grid.thumbHeight;
    // Half-open: [x, x + width + 1) x [y, bottom + 1)
    return QRect(x, y, grid.thumbWidth + 1, bottom - y + 1);
}

QList<int> ThumbBand::itemsInBand(const ThumbBandGrid &grid, int left, int top, int right,
                                  int bottom)
{
    QList<int> hits;
    if (grid.items <= 0 || grid.columns <= 0 || left >= right || top >= bottom)
        return hits;
    for (int index = 1; index <= grid.items; ++index) {
        const QRect box = itemBox(grid, index);
        const int l = std::max(left, box.x());
        const int r = std::min(right, box.x() + box.width());
        const int t = std::max(top, box.y());
        const int b = std::min(bottom, box.y() + box.height());
        if (l < r && t < b)
            hits.append(index);
    }
    return hits;
}

int ThumbBand::touchedEdges(QPoint corner, const QRect &visible)
{
    int dirs = ScrollNone;
    const int left = visible.x();
    const int top = visible.y();
    const int right = visible.x() + visible.width();
    const int bottom = visible.y() + visible.height();
    if (corner.x() <= left + 2)
        dirs |= ScrollLeft;
    if (corner.x() >= right - 2)
        dirs |= ScrollRight;
    if (corner.y() <= top + 2)
        dirs |= ScrollUp;
    if (corner.y() >= bottom - 2)
        dirs |= ScrollDown;
    return dirs;
}

std::optional<int> ThumbBand::scrollInterval(int y, int visibleTop, int visibleBottom)
{
    int outside;
    if (y <= visibleTop + 2)
        outside = visibleTop - y;
    else if (y >= visibleBottom - 2)
        outside = y - visibleBottom;
    else
        return std::nullopt;
    if (outside <= 5)
        return 350;
    if (outside <= 13)
        return 250;
    if (outside <= 21)
        return 150;
    if (outside <= 30)
        return 100;
    return 50;
}

void ThumbBand::DrawFrame(QImage &image, const QRect &band, const QRect &clip)
{
    const QRect area = clip.intersected(image.rect());
    if (area.isEmpty() || image.depth() != 32)
        return;
    auto invert = [&](int x, int y) {
        if (((x + y) & 1) != 0 || !area.contains(x, y))
            return;
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        line[x] = (line[x] & 0xFF000000u) | (~line[x] & 0x00FFFFFFu);
    };
    const int l = band.left();
    const int t = band.top();
    const int r = band.right();
    const int b = band.bottom();
    // Every edge pixel once, so that a frame one pixel thin is still drawn.
    for (int x = l; x <= r; ++x) {
        invert(x, t);
        if (b != t)
            invert(x, b);
    }
    for (int y = t + 1; y < b; ++y) {
        invert(l, y);
        if (r != l)
            invert(r, y);
    }
}
