#pragma once

#include <QPoint>
#include <QStringList>

#include <functional>

class QAction;
class QDrag;
class QMenu;
class QMimeData;

// Drag and drop of file lists for the Thumbnailer: the data object of a drag out (file URLs),
// the effect offered to a drag over the control, and the files of a drop. Effects are bit
// masks: 1 copy, 2 move, 3 either.
class ThumbDragDrop
{
public:
    enum Effect : int { EffectNone = 0, EffectCopy = 1, EffectMove = 2 };
    // Drag-over states.
    enum State : int { StateEnter = 0, StateLeave = 1, StateOver = 2 };

    // Fills the data object with the files as URLs (and as plain text, one path a line).
    static void FillData(QMimeData &data, const QStringList &paths);
    // Local files named by the data object, in order; empty when it has none.
    static QStringList FilesOf(const QMimeData *data);
    static bool HasFiles(const QMimeData *data);

    // The effect for a drag over the control: none without files, for the control's own drag
    // and in list mode; otherwise copy when copy is offered, copy-or-move when move is offered.
    static int DragOverEffect(const QMimeData *data, int offered, bool ownDrag, bool listMode);

    static int EffectFromActions(Qt::DropActions actions);
    static Qt::DropActions ActionsFromEffect(int effect);
    static Qt::DropAction ActionFromEffect(int effect);

    // Runs a drag out; tests replace this with a driver (the default runs the drag's own loop
    // and returns the action the target chose).
    using DragDriver = std::function<Qt::DropAction(QDrag &drag, Qt::DropActions allowed)>;
    static Qt::DropAction ExecDrag(QDrag &drag, Qt::DropActions allowed);
    static void setDragDriver(DragDriver driver);

    // Shows the popup menu at a point and returns the chosen action (null for none); tests
    // replace this with a driver.
    using MenuDriver = std::function<QAction *(QMenu &menu, QPoint globalPos)>;
    static QAction *ExecMenu(QMenu &menu, QPoint globalPos);
    static void setMenuDriver(MenuDriver driver);
};
