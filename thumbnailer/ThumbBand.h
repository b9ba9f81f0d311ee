#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>

#include <optional>

// The selection band of the thumbnail grid: its rectangle, which items it covers (also rows
// that scrolled out of view while it was dragged) and how it scrolls the view near the edges.
// Coordinates are surface pixels.

// The grid as the band sees it.
struct ThumbBandGrid
{
    int items = 0;
    int columns = 0;
    int thumbWidth = 0;
    int thumbHeight = 0;
    int thumbSpace = 0;
    int columnPitch = 0;
    int rowPitch = 0;
    int labelHeight = 0; // 0 without labels
    int firstRow = 0;    // 0-based row painted at the top
    int yShift = 0;      // how far the rows are shifted up (the overhang at the bar's end)
};

// Scroll directions as bits.
enum ThumbScrollDir : int {
    ScrollNone = 0,
    ScrollLeft = 1,
    ScrollUp = 2,
    ScrollRight = 4,
    ScrollDown = 8,
};

class ThumbBand
{
public:
    // The band from its anchor (the press point) to its moving corner, normalised.
    static QRect normalised(QPoint anchor, QPoint corner);

    // The box of item `index` (1-based) used for band hits: cell plus label, one pixel larger
    // on the right and bottom, as a half-open rectangle (right and bottom exclusive).
    static QRect itemBox(const ThumbBandGrid &grid, int index);

    // Items (1-based, in grid order) whose box intersects the band rectangle given by its
    // edges (left/top inclusive, right/bottom exclusive), counting every row of the grid,
    // also those above or below the part shown.
    static QList<int> itemsInBand(const ThumbBandGrid &grid, int left, int top, int right,
                                  int bottom);

    // The edges the moving corner touches (within 2 pixels of or beyond them); the visible
    // area is given in surface pixels.
    static int touchedEdges(QPoint corner, const QRect &visible);

    // Draws the band's dotted frame by inverting every second pixel along its edges (the band
    // given by its corner pixels, inclusive), only inside `clip`. Drawing the same frame again
    // restores the image.
    static void DrawFrame(QImage &image, const QRect &band, const QRect &clip);

    // The auto-scroll interval for the corner's height, or nothing when the corner is not near
    // the top or bottom edge (the interval then stays as it was).
    static std::optional<int> scrollInterval(int y, int visibleTop, int visibleBottom);
};
