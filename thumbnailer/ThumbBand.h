#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>

#include <optional>

class QTimer;

namespace Pixtile {

class ThumbnailerPrivate;

// The selection band of the thumbnail grid: dragged from empty space, drawn as a dotted frame,
// scrolling the view while its corner is near an edge (timer "tmrAutoScroll") and selecting
// the items it covers when released, also rows that scrolled out of view meanwhile.
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
    explicit ThumbBand(ThumbnailerPrivate &d);

    // A press on empty space: the band would start here.
    void anchorAt(QPoint point);
    // The pointer moves with a button held after such a press: band mode.
    void begin();
    bool active() const { return m_bandMode; }
    // The band's corner follows the pointer. On the first move an existing selection is
    // dropped, unless Ctrl is held.
    void moveCorner(QPoint point, bool ctrl);
    // Released at `point`: the items the band covers are selected (toggled with Ctrl).
    void select(QPoint point, bool ctrl);
    // Escape: the band collapses to its corner and ends without selecting.
    void cancel();
    // The band ends without selecting (after a double click).
    void end();
    // Clear: no band (the surface is cleared with the items).
    void reset();

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

private:
    ThumbBandGrid grid() const;
    void drawFrame();
    void eraseFrame();
    int scrollableDirections() const;
    void updateAutoScroll();
    void autoScrollTick();

    ThumbnailerPrivate &d;
    QTimer *m_tmrAutoScroll;
    bool m_bandMode = false;
    bool m_bandStarted = false;
    QPoint m_anchor;
    QPoint m_corner;
    bool m_shown = false;
    QRect m_frame;
    QRect m_clip;
};

} // namespace Pixtile
