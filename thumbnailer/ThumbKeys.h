#pragma once

#include <Qt>

// The keyboard table of the thumbnail grid, kept apart from the widget so that it can be
// checked on its own. Item positions are 1-based; 0 means "no item".

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
