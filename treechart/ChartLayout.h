#pragma once

#include "ChartSettings.h"
#include "cLevels.h"

#include <QSize>

#include <functional>

namespace Chart {

// Places the boxes of the chart: row i of the levels at a fixed height, the boxes of a row in
// stored order, shifted by their parent's place when Expand is 1. Writes the geometry of every
// node and returns the canvas size (never smaller than the visible area).
class ChartLayout
{
public:
    // Called for each node right after it has been placed, in layout order.
    using Visitor = std::function<void(cNode &node)>;

    static QSize Arrange(const cLevels &levels, const ChartSettings &settings, int viewWidth,
                         int viewHeight, const Visitor &afterEach = {});

    // Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
    static int RoundHalfEven(double value);
};

} // namespace Chart
