#include "ChartLayout.h"

#include <cmath>

namespace Chart {

int ChartLayout::RoundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    double result = lower;
    if (fraction > 0.5)
        result = lower + 1;
    else if (fraction == 0.5)
        result = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1;
    return int(result);
}

QSize ChartLayout::Arrange(const cLevels &levels, const ChartSettings &s, int viewWidth,
                           int viewHeight, const Visitor &afterEach)
{
    int canvasWidth = viewWidth;
    int canvasHeight = viewHeight;
    const int rows = levels.Count();
    if (rows == 0)
        return QSize(canvasWidth, canvasHeight);

    const int ox = s.OffsetX;
    const int oy = s.OffsetY;
    const int w = s.NodeWidth;
    const int h = s.NodeHeight;
    const int shadow = s.NodeShadowSize;

    const qint64 chartHeight = qint64(rows) * (h + s.NodeSpaceV) + 2LL * oy - s.NodeSpaceV;
    if (chartHeight > viewHeight)
        canvasHeight = int(chartHeight);

    int maxX = 0;
    int i = 0;
    for (const cLevelPtr &level : levels) {
        ++i;
        if (!level)
            continue;
        const int y = oy + (i - 1) * (h + s.NodeSpaceV);
        int j = 0;
        for (const cNodePtr &nodePtr : *level) {
            ++j;
            if (!nodePtr)
                continue;
            cNode &node = *nodePtr;
            const int x = ox + (j - 1) * (w + s.NodeSpaceH);
            const cNode *parent = node.ParentNode().get();
            if (s.Expand == 1 && parent) {
                node.setLeft(x + parent->Left() - ox);
                node.setRight(x + parent->Right() - ox);
                node.setCenter(x + parent->Center() - ox);
            } else if (s.Expand == 0 || s.Expand == 1) {
                node.setLeft(x);
                node.setRight(x + w + shadow);
                node.setCenter(RoundHalfEven(x + w / 2.0));
            }
            node.setTop(y);
            node.setBottom(y + h + shadow);

            // The comparison is with the box's right edge, the new width adds the margin, so
            // the right margin ends up between 0 and OffsetX while every box stays inside.
            if (maxX < node.Right())
                maxX = node.Right() + ox;
            canvasWidth = maxX > viewWidth ? maxX : viewWidth;

            if (afterEach)
                afterEach(node);
        }
    }
    return QSize(canvasWidth, canvasHeight);
}

} // namespace Chart
