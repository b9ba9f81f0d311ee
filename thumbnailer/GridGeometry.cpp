#include "GridGeometry.h"

#include <QtGlobal>

#include <algorithm>

namespace Pixtile {

int FloorDiv(int a, int b)
{
    if (b == 0)
        return 0;
    int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

int OuterBorderWidth(int thumbBorderStyle)
{
    return thumbBorderStyle < 4 ? 1 : 2;
}

int InnerBorderWidth(int thumbBorderInStyle)
{
    if (thumbBorderInStyle >= 1 && thumbBorderInStyle <= 4)
        return 1;
    if (thumbBorderInStyle >= 5 && thumbBorderInStyle <= 8)
        return 2;
    return 0;
}

int LabelBorderWidth(int labelBorderStyle)
{
    return labelBorderStyle < 4 ? 1 : 2;
}

GridGeometry GridGeometry::compute(const GridSettings &s, int textHeight, int scrollBarSize)
{
    GridGeometry g;
    g.outerBorder = OuterBorderWidth(s.thumbBorderStyle);
    g.innerBorder = InnerBorderWidth(s.thumbBorderInStyle);
    g.labelBorder = LabelBorderWidth(s.labelBorderStyle);
    g.textHeight = textHeight;
    g.labelHeight = 2 * g.labelBorder + textHeight + 1;
    g.columnPitch = s.thumbWidth + s.thumbSpace;
    g.rowPitch = s.hasLabel ? s.thumbHeight + g.labelHeight + s.thumbSpace + 1
                            : s.thumbHeight + s.thumbSpace;
    g.scrollBarSize = scrollBarSize < 1 ? 16 : scrollBarSize;
    g.thumbWidth = s.thumbWidth;
    g.thumbHeight = s.thumbHeight;
    g.thumbSpace = s.thumbSpace;
    g.hasLabel = s.hasLabel;
    return g;
}

GridLayout GridLayout::compute(const GridGeometry &g, int W, int H, int items)
{
    GridLayout l;
    l.surfaceWidth = W;
    l.surfaceHeight = H;
    l.visibleAreaWidth = W;
    if (items <= 0 || g.columnPitch <= 0 || g.rowPitch <= 0)
        return l;
    const int S = g.scrollBarSize;
    const int minWidth = g.minimumWidth();
    auto columnsFor = [&](int width) {
        return std::max(1, FloorDiv(width - g.thumbSpace, g.columnPitch));
    };

    if (minWidth > W) {
        l.horizontalBar = true;
        l.columns = 1;
    } else {
        l.columns = columnsFor(W);
    }
    const int available = l.horizontalBar ? H - S : H;
    const int rowsFit = FloorDiv(available - g.thumbSpace, g.rowPitch);

    if (qint64(l.columns) * rowsFit < items) {
        l.verticalBar = true;
        l.surfaceWidth = std::max(W - S, minWidth);
        l.columns = columnsFor(l.surfaceWidth);
        if (l.surfaceWidth + S > W) {
            l.horizontalBar = true;
            l.columns = 1;
        }
    } else {
        l.surfaceWidth = std::max(W, minWidth);
    }
    l.rows = (items + l.columns - 1) / l.columns;

    if (l.verticalBar) {
        l.verticalMax = l.rows - FloorDiv(l.surfaceHeight - g.thumbSpace, g.rowPitch);
        if (l.verticalMax < 0)
            l.verticalMax = 0;
        l.verticalLargeChange = FloorDiv(l.surfaceHeight, g.rowPitch);
        if (l.verticalLargeChange < 1)
            l.verticalLargeChange = 1;
    }
    if (l.horizontalBar)
        l.horizontalMax = std::max(0, l.verticalBar ? minWidth + S - W : minWidth - W);
    l.visibleAreaWidth = l.verticalBar ? W - S : W;
    return l;
}

VisibleRange VisibleRange::compute(const GridGeometry &g, int surfaceWidth, int surfaceHeight,
                                   int items, int rows, bool verticalBar, int verticalValue,
                                   int verticalMax, bool horizontalBar)
{
    VisibleRange r;
    if (items <= 0)
        return r;
    const int h = surfaceHeight - g.thumbSpace;
    const int w = surfaceWidth - g.thumbSpace;
    if (h <= 0 || w <= 0 || g.rowPitch <= 0 || g.columnPitch <= 0)
        return r;
    const int fullRows = h / g.rowPitch;
    r.columns = std::max(1, w / g.columnPitch);

    if (!verticalBar) {
        r.visibleRows = fullRows;
        r.visibleFirst = 1;
        r.visibleLast = items;
        r.visibleItems = items;
        return r;
    }

    if (h % g.rowPitch != 0) {
        r.visibleRows = fullRows + 1;
        r.overhang = r.visibleRows * g.rowPitch + g.thumbSpace +
                     (horizontalBar ? g.scrollBarSize : 0) - surfaceHeight;
        if (r.overhang <= g.thumbSpace || verticalValue >= verticalMax)
            r.visiblePartItems = 0;
        else if (verticalValue == verticalMax - 1)
            r.visiblePartItems = r.columns + items - rows * r.columns;
        else
            r.visiblePartItems = r.columns;
    } else {
        r.visibleRows = fullRows;
    }
    r.visibleItems = std::min(r.columns * r.visibleRows, items);
    r.firstRow = verticalValue;
    if (verticalValue >= verticalMax && r.overhang > 0) {
        r.firstRow = std::max(0, verticalValue - 1);
        r.paintShift = r.overhang;
    }
    r.visibleFirst = r.columns * r.firstRow + 1;
    r.visibleLast = std::min(items, r.visibleFirst + r.visibleItems - 1);
    if (r.visibleFirst > items) {
        r.visibleFirst = 0;
        r.visibleLast = 0;
    }
    return r;
}

int ApplyOffsetRule(int thumbWidth, int thumbHeight, int thumbOffset, int outerBorder,
                    int innerBorder)
{
    const int m = std::min(thumbWidth, thumbHeight);
    if (m - 2 * outerBorder - 2 * thumbOffset - 2 * innerBorder < 10)
        return FloorDiv(m - 2 * outerBorder - 2 * innerBorder - 10, 2);
    return thumbOffset;
}

} // namespace Pixtile
