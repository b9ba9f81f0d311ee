#pragma once

#include <QPoint>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QDrag;
class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class QMenu;
class QMimeData;

namespace Pixtile {

class ThumbnailerPrivate;

// Drag and drop of file lists for the Thumbnailer: dragging the selected files out (as file
// URLs) and taking files dropped onto the surface, copied or moved into the shown folder, with
// the popup menu "mnuPopup" for a drop with the right button. Effects are bit masks: 1 copy,
// 2 move, 3 either.
class ThumbDragDrop
{
public:
    explicit ThumbDragDrop(ThumbnailerPrivate &d);
    ~ThumbDragDrop();

    // A drag leaves the pressed item: the selected files are dragged out.
    void startDrag(const QString &pressedName);
    void dragEnter(QDragEnterEvent *event);
    void dragMove(QDragMoveEvent *event);
    void dragLeave(QDragLeaveEvent *event);
    void drop(QDropEvent *event);

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

private:
    bool isOwnDrag(const QDropEvent *event) const;
    void dragOver(QDropEvent *event, int state);
    bool transferIn(const QStringList &files, int effect);

    ThumbnailerPrivate &d;
    QMenu *m_mnuPopup;
    // A drag out of this control is running.
    bool m_ownDrag = false;
    // What the last drag over the surface showed: its button, its effect and its files.
    int m_dropButton = 1;
    int m_dropEffect = 0;
    std::unique_ptr<QMimeData> m_dragOverData;
};

} // namespace Pixtile
