// Drag and drop of the Thumbnailer: dragging the selected files out (as file URLs) and taking
// files dropped onto the surface, copied or moved into the shown folder.
#include "Thumbnailer.h"

#include "FileHelpers.h"
#include "ThumbDragDrop.h"
#include "ThumbFileOps.h"
#include "ThumbSelection.h"
#include "ThumbSurface.h"
#include "WaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>

namespace {
const QString kListPath = QStringLiteral("<List>");

int dropButtonCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::RightButton) ? 2 : 1;
}
} // namespace

// ---- dragging out --------------------------------------------------------------------------

void Thumbnailer::startDrag()
{
    QPointer<Thumbnailer> self(this);
    auto *data = new QMimeData;
    int effect = ThumbDragDrop::EffectNone;
    QStringList paths;
    for (const QString &name : m_selection->SelThumbs())
        if (const Thumb *thumb = m_thumbs->Item(name))
            paths.append(thumb->Path() + thumb->Name());
    if (!paths.isEmpty()) {
        ThumbDragDrop::FillData(*data, paths);
        effect = ThumbDragDrop::EffectCopy | ThumbDragDrop::EffectMove;
    }
    QPointer<QDrag> drag = new QDrag(m_picBase);
    drag->setMimeData(data);
    if (const Thumb *pressed = m_thumbs->Item(m_pressedName)) {
        const QImage picture = cellImage(*pressed, false);
        if (!picture.isNull())
            drag->setPixmap(QPixmap::fromImage(picture));
    }
    emit ItemsStartDrag(data, &effect);
    if (!self)
        return;

    Qt::DropAction result = Qt::IgnoreAction;
    if (effect != ThumbDragDrop::EffectNone && ThumbDragDrop::HasFiles(data)) {
        m_ownDrag = true;
        result = ThumbDragDrop::ExecDrag(*drag, ThumbDragDrop::ActionsFromEffect(effect));
        if (!self)
            return;
        m_ownDrag = false;
    }
    if (drag)
        drag->deleteLater();

    m_pressedOnItem = false;
    m_dragStarted = false;
    QCoreApplication::processEvents();
    if (self)
        emit ItemsCompleteDrag(ThumbDragDrop::EffectFromActions(result));
}

// ---- dropping in ---------------------------------------------------------------------------

bool Thumbnailer::isOwnDrag(const QDropEvent *event) const
{
    if (m_ownDrag)
        return true;
    const QObject *source = event->source();
    return source && (source == this || source == m_picBase);
}

void Thumbnailer::dragOver(QDropEvent *event, int state)
{
    const QMimeData *data = event->mimeData();
    if (!ThumbDragDrop::HasFiles(data)) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    int effect = ThumbDragDrop::DragOverEffect(
        data, ThumbDragDrop::EffectFromActions(event->possibleActions()), isOwnDrag(event),
        m_path == kListPath);
    int button = dropButtonCode(event->buttons());
    int shift = ShiftCode(event->modifiers());
    const QPointF pos = event->position();
    m_dragOverData = std::make_unique<QMimeData>();
    ThumbDragDrop::FillData(*m_dragOverData, ThumbDragDrop::FilesOf(data));
    QPointer<Thumbnailer> self(this);
    emit ItemsDragOver(const_cast<QMimeData *>(data), &effect, &button, &shift, float(pos.x()),
                       float(pos.y()), state);
    if (!self)
        return;
    m_dropButton = button;
    m_dropEffect = effect;
    if (effect == ThumbDragDrop::EffectNone) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    event->setDropAction(ThumbDragDrop::ActionFromEffect(effect));
    event->accept();
}

void Thumbnailer::picBase_DragEnter(QDragEnterEvent *event)
{
    dragOver(event, ThumbDragDrop::StateEnter);
}

void Thumbnailer::picBase_DragMove(QDragMoveEvent *event)
{
    dragOver(event, ThumbDragDrop::StateOver);
}

void Thumbnailer::picBase_DragLeave(QDragLeaveEvent *)
{
    if (!m_dragOverData)
        return;
    int effect = ThumbDragDrop::EffectNone;
    int button = m_dropButton;
    int shift = 0;
    const QPoint pos = m_picBase->mapFromGlobal(QCursor::pos());
    emit ItemsDragOver(m_dragOverData.get(), &effect, &button, &shift, float(pos.x()),
                       float(pos.y()), ThumbDragDrop::StateLeave);
}

void Thumbnailer::picBase_Drop(QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    const bool refused = ThumbDragDrop::DragOverEffect(
                             data, ThumbDragDrop::EffectCopy | ThumbDragDrop::EffectMove,
                             isOwnDrag(event), m_path == kListPath) == ThumbDragDrop::EffectNone;
    if (refused) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    QPointer<Thumbnailer> self(this);
    const QStringList files = ThumbDragDrop::FilesOf(data);
    int effect = m_dropEffect;
    bool cancel = false;

    if (m_dropButton == 2) {
        // The data is held while the menu is open: the drop's own object may not outlive it.
        QMimeData held;
        ThumbDragDrop::FillData(held, files);
        QAction *copy = m_mnuPopup->findChild<QAction *>(QStringLiteral("mnuCopy"));
        QAction *move = m_mnuPopup->findChild<QAction *>(QStringLiteral("mnuMove"));
        copy->setEnabled(effect & ThumbDragDrop::EffectCopy);
        move->setEnabled(effect & ThumbDragDrop::EffectMove);
        m_mnuPopup->setDefaultAction((effect & ThumbDragDrop::EffectCopy)  ? copy
                                     : effect == ThumbDragDrop::EffectMove ? move
                                                                           : nullptr);
        const QPoint global = m_picBase->mapToGlobal(event->position().toPoint());
        QAction *chosen = ThumbDragDrop::ExecMenu(*m_mnuPopup, global);
        if (!self)
            return;
        if (chosen == copy && copy->isEnabled())
            effect = ThumbDragDrop::EffectCopy;
        else if (chosen == move && move->isEnabled())
            effect = ThumbDragDrop::EffectMove;
        else
            effect = ThumbDragDrop::EffectNone;
        if (effect != ThumbDragDrop::EffectNone) {
            emit ItemsDragDrop(&held, &effect, &cancel);
            if (!self)
                return;
            if (!cancel)
                transferIn(files, effect);
        }
    } else {
        emit ItemsDragDrop(const_cast<QMimeData *>(data), &effect, &cancel);
        if (!self)
            return;
        if (!cancel)
            transferIn(files, effect);
    }
    m_dragOverData.reset();
    if (cancel || effect == ThumbDragDrop::EffectNone) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    event->setDropAction(ThumbDragDrop::ActionFromEffect(effect));
    event->accept();
}

bool Thumbnailer::transferIn(const QStringList &files, int effect)
{
    if (m_path.isEmpty() || m_path == kListPath || !FolderExists(m_path) || ThumbFileOps::busy())
        return false;
    ThumbFileOps::Transfer mode;
    if (effect & ThumbDragDrop::EffectCopy)
        mode = ThumbFileOps::Transfer::Copy;
    else if (effect == ThumbDragDrop::EffectMove)
        mode = ThumbFileOps::Transfer::Move;
    else
        return false;
    bool ok;
    {
        WaitCursor busy;
        ok = ThumbFileOps::TransferFiles(this, files, m_path, mode);
    }
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return ok;
}
