#pragma once

namespace Pixtile {

// The grid's derived geometry, layout and visible range: plain arithmetic on the control's
// settings and size, kept apart from the widget so it can be checked without a window.

// Edge widths of the three border-style families.
int OuterBorderWidth(int thumbBorderStyle);   // 1 for the thin styles (below 4), else 2
int InnerBorderWidth(int thumbBorderInStyle); // 0 none, 1 thin (1-4), 2 thick (5-8), else 0
int LabelBorderWidth(int labelBorderStyle);   // 1 for the thin styles (below 4), else 2

struct GridSettings
{
    int thumbWidth = 60;
    int thumbHeight = 60;
    int thumbSpace = 10;
    int thumbBorderStyle = 1;
    int thumbBorderInStyle = 0;
    int labelBorderStyle = 3;
    bool hasLabel = true;
};

struct GridGeometry
{
    int outerBorder = 1;
    int innerBorder = 0;
    int labelBorder = 1;
    int textHeight = 0;
    int labelHeight = 0;
    int columnPitch = 0;
    int rowPitch = 0;
    int scrollBarSize = 16;
    int thumbWidth = 60;
    int thumbHeight = 60;
    int thumbSpace = 10;
    bool hasLabel = true;

    // textHeight: height of "W" in the control's font; scrollBarSize below 1 counts as 16.
    static GridGeometry compute(const GridSettings &settings, int textHeight, int scrollBarSize);
    // Width one column needs: space + cell + space.
    int minimumWidth() const { return 2 * thumbSpace + thumbWidth; }
};

// Where the grid goes in a control of inner size W x H holding `items` items.
struct GridLayout
{
    int columns = 0;
    int rows = 0;
    bool horizontalBar = false;
    bool verticalBar = false;
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    int verticalMax = 0;
    int verticalLargeChange = 1;
    int horizontalMax = 0;
    int visibleAreaWidth = 0; // width of the area the selection band scrolls in

    static GridLayout compute(const GridGeometry &geometry, int W, int H, int items);
};

// What the last layout shows for a vertical bar position.
struct VisibleRange
{
    int columns = 0;
    int visibleRows = 0;
    int visibleItems = 0;
    int visiblePartItems = 0;
    int visibleFirst = 0;
    int visibleLast = 0;
    int overhang = 0;
    int firstRow = 0;
    // Vertical shift of the painted rows: the overhang when the bar is shown and at its end.
    int paintShift = 0;

    // surfaceWidth/Height: the drawing surface; rows: rows of the layout; the bar state as shown.
    static VisibleRange compute(const GridGeometry &geometry, int surfaceWidth, int surfaceHeight,
                                int items, int rows, bool verticalBar, int verticalValue,
                                int verticalMax, bool horizontalBar);
};

// Keeps at least 10 pixels for the picture: the offset lowered when the borders and the offset
// leave less. Returns the offset to use.
int ApplyOffsetRule(int thumbWidth, int thumbHeight, int thumbOffset, int outerBorder,
                    int innerBorder);

// Integer division rounding toward minus infinity (Int() of a quotient).
int FloorDiv(int a, int b);

} // namespace Pixtile
