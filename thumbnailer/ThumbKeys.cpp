#include "ThumbKeys.h"

#include "ThumbnailerPrivate.h"

#include <QKeyEvent>

namespace Pixtile {

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

// ---- the keys of one control -------------------------------------------------------------

int ThumbKeys::currentIndex() const
{
    const Thumb *current = d.model.selection().SelectedItem();
    return current ? d.model.indexOf(current->Name()) : 0;
}

void ThumbKeys::moveToIndex(int index)
{
    if (m_movingTo || index < 1 || index > d.model.count())
        return;
    m_movingTo = true;
    QPointer<Thumbnailer> self(d.q);
    d.model.selection().clearSelection();
    d.setSelectedItem(d.model.itemAt(index));
    if (self)
        m_movingTo = false;
}

void ThumbKeys::selectAll()
{
    // The items on screen first, so that they show the selection at once.
    const ::Thumbnails &shown = d.model.thumbnails();
    for (int i = 1; i <= shown.Count(); ++i)
        if (Thumb *thumb = d.model.shownItem(i))
            thumb->setSelected(true);
    d.view.paintVisible();
    const ::Thumbs &thumbs = d.model.thumbs();
    QStringList names;
    for (int i = 1; i <= thumbs.Count(); ++i)
        names.append(thumbs.Item(i)->Name());
    d.model.selection().selectAll(names);
}

void ThumbKeys::keyPress(QKeyEvent *event)
{
    switch (ClassifyThumbKey(event->key(), event->modifiers())) {
    case ThumbKeyCommand::Navigate: {
        const VisibleRange &visible = d.view.visible();
        const ThumbKeyGrid grid{d.model.count(), d.view.columns(), visible.visibleRows,
                                visible.overhang};
        const int target = ThumbKeyTarget(event->key(), currentIndex(), grid);
        if (target > 0)
            moveToIndex(target);
        break;
    }
    case ThumbKeyCommand::StopDraw:
        d.pipeline.stop();
        d.band.cancel();
        break;
    case ThumbKeyCommand::DeleteSelected:
        if (d.settings.canDelete)
            d.deleteSelection();
        break;
    case ThumbKeyCommand::StartLabelEdit:
        if (d.settings.labelEdit == Thumbnailer::thlAutomatic)
            d.labels.start();
        break;
    case ThumbKeyCommand::Redraw:
        d.redraw();
        break;
    case ThumbKeyCommand::SelectAll:
        selectAll();
        break;
    case ThumbKeyCommand::None:
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace Pixtile
