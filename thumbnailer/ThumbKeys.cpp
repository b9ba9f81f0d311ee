#include "ThumbKeys.h"

ThumbKeyCommand ClassifyThumbKey(int key, Qt::KeyboardModifiers modifiers)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return ThumbKeyCommand::Navigate;
    case Qt::Key_Escape:
        return ThumbKeyCommand::StopDraw;
    case Qt::Key_Delete:
        return ThumbKeyCommand::DeleteSelected;
    case Qt::Key_F2:
        return ThumbKeyCommand::StartLabelEdit;
    case Qt::Key_F5:
        return ThumbKeyCommand::Redraw;
    case Qt::Key_A:
        // Ctrl alone (Shift or Alt with it make another shortcut).
        if ((modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) ==
            Qt::ControlModifier)
            return ThumbKeyCommand::SelectAll;
        return ThumbKeyCommand::None;
    default:
        return ThumbKeyCommand::None;
    }
}

namespace {

// How far one page moves: the rows shown, less the partly shown bottom row.
int pageStep(const ThumbKeyGrid &grid)
{
    const int rows = grid.overhang > 0 ? grid.visibleRows - 1 : grid.visibleRows;
    return grid.columns * (rows > 0 ? rows : 0);
}

} // namespace

int ThumbKeyTarget(int key, int current, const ThumbKeyGrid &grid)
{
    const int items = grid.items;
    const int columns = grid.columns;
    if (items <= 0 || columns <= 0)
        return 0;
    if (current < 0 || current > items)
        current = 0;

    if (current == 0) {
        switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
            return 1;
        case Qt::Key_End:
            return items;
        default:
            return 0;
        }
    }

    switch (key) {
    case Qt::Key_Left:
        return current > 1 ? current - 1 : 0;
    case Qt::Key_Right:
        return current <= items - 1 ? current + 1 : 0;
    case Qt::Key_Up:
        return current >= columns + 1 ? current - columns : 0;
    case Qt::Key_Down:
        return current <= items - columns ? current + columns : 0;
    case Qt::Key_PageUp: {
        if (current <= columns)
            return 0;
        int target = current - pageStep(grid);
        while (target < 1)
            target += columns;
        return target;
    }
    case Qt::Key_PageDown: {
        if (current > items - columns)
            return 0;
        int target = current + pageStep(grid);
        while (target > items)
            target -= columns;
        return target;
    }
    case Qt::Key_Home:
        return current != 1 ? 1 : 0;
    case Qt::Key_End:
        return current != items ? items : 0;
    default:
        return 0;
    }
}
