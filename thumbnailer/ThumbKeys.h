#pragma once

#include <Qt>

class QKeyEvent;

namespace Pixtile {

class ThumbnailerPrivate;

// The keyboard of the thumbnail grid: the table of keys and where the navigation keys lead,
// kept apart from the widget so that it can be checked on its own, and ThumbKeys, which carries
// the keys out on a control. Item positions are 1-based; 0 means "no item".

// What a key asks the control to do.
enum class ThumbKeyCommand {
    None,
    Navigate,       // arrows, page keys, Home, End: move to ThumbKeyTarget()
    StopDraw,       // Escape: stop listing/rendering, end a band
    DeleteSelected, // Delete
    StartLabelEdit, // F2
    Redraw,         // F5
    SelectAll,      // Ctrl+A
};

// The grid figures the navigation keys need.
struct ThumbKeyGrid
{
    int items = 0;
    int columns = 0;
    int visibleRows = 0;
    int overhang = 0; // pixels the last visible row reaches past the surface
};

ThumbKeyCommand ClassifyThumbKey(int key, Qt::KeyboardModifiers modifiers);

// The item a navigation key moves to from `current` (0 when there is no current item), or 0
// when the key does nothing there (past the first or last item, or not a navigation key).
int ThumbKeyTarget(int key, int current, const ThumbKeyGrid &grid);

// The keys pressed on the drawing surface of one control.
class ThumbKeys
{
public:
    explicit ThumbKeys(ThumbnailerPrivate &d) : d(d) {}

    // Carries out the key, or ignores the event when it is not one of the grid's keys.
    void keyPress(QKeyEvent *event);

private:
    // The position of the current item, 0 when there is none.
    int currentIndex() const;
    // Only the item at `index` selected and current, scrolled to (SelChanged raised).
    void moveToIndex(int index);
    // Ctrl+A: every item selected, those on screen shown first; no event.
    void selectAll();

    ThumbnailerPrivate &d;
    bool m_movingTo = false;
};

} // namespace Pixtile
