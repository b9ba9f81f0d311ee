#include "ThumbDragDrop.h"

#include "FileHelpers.h"
#include "NativeNames.h"
#include "ThumbCellAccess.h"
#include "ThumbFileOps.h"
#include "ThumbInputCodes.h"
#include "ThumbnailerPrivate.h"
#include "WaitCursor.h"

#include <QAction>
#include <QCoreApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

namespace Pixtile {

namespace {
ThumbDragDrop::DragDriver &dragDriver()
{
    static ThumbDragDrop::DragDriver driver;
    return driver;
}
ThumbDragDrop::MenuDriver &menuDriver()
{
    static ThumbDragDrop::MenuDriver driver;
    return driver;
}
} // namespace

void ThumbDragDrop::FillData(QMimeData &data, const QStringList &paths)
{
    QList<QUrl> urls;
    urls.reserve(paths.size());
    for (const QString &path : paths)
        urls.append(NativeNames::FileUrl(path));
    data.setUrls(urls);
    data.setText(paths.join(QLatin1Char('\n')));
}

QStringList ThumbDragDrop::FilesOf(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    return files;
}

bool ThumbDragDrop::HasFiles(const QMimeData *data)
{
    return !FilesOf(data).isEmpty();
}

int ThumbDragDrop::DragOverEffect(const QMimeData *data, int offered, bool ownDrag, bool listMode)
{
    if (!HasFiles(data) || ownDrag || listMode)
        return EffectNone;
    int effect = EffectNone;
    if (offered & EffectCopy)
        effect = EffectCopy;
    if (offered & EffectMove)
        effect = EffectCopy | EffectMove;
    return effect;
}

int ThumbDragDrop::EffectFromActions(Qt::DropActions actions)
{
    int effect = EffectNone;
    if (actions & Qt::CopyAction)
        effect |= EffectCopy;
    if (actions & Qt::MoveAction)
        effect |= EffectMove;
    return effect;
}

Qt::DropActions ThumbDragDrop::ActionsFromEffect(int effect)
{
    Qt::DropActions actions = Qt::IgnoreAction;
    if (effect & EffectCopy)
        actions |= Qt::CopyAction;
    if (effect & EffectMove)
        actions |= Qt::MoveAction;
    return actions;
}

Qt::DropAction ThumbDragDrop::ActionFromEffect(int effect)
{
    if (effect & EffectCopy)
        return Qt::CopyAction;
    if (effect & EffectMove)
        return Qt::MoveAction;
    return Qt::IgnoreAction;
}

Qt::DropAction ThumbDragDrop::ExecDrag(QDrag &drag, Qt::DropActions allowed)
{
    if (dragDriver())
        return dragDriver()(drag, allowed);
    return drag.exec(allowed, Qt::CopyAction);
}

void ThumbDragDrop::setDragDriver(DragDriver driver)
{
    dragDriver() = std::move(driver);
}

QAction *ThumbDragDrop::ExecMenu(QMenu &menu, QPoint globalPos)
{
    if (menuDriver())
        return menuDriver()(menu, globalPos);
    return menu.exec(globalPos);
}

void ThumbDragDrop::setMenuDriver(MenuDriver driver)
{
    menuDriver() = std::move(driver);
}

// ---- the drag and drop of one control ----------------------------------------------------

namespace {
int dropButtonCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::RightButton) ? 2 : 1;
}
} // namespace

ThumbDragDrop::ThumbDragDrop(ThumbnailerPrivate &d) : d(d), m_mnuPopup(new QMenu(d.q))
{
    m_mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    m_mnuPopup->addAction(QStringLiteral("Copy here"))->setObjectName(QStringLiteral("mnuCopy"));
    m_mnuPopup->addAction(QStringLiteral("Move here"))->setObjectName(QStringLiteral("mnuMove"));
    m_mnuPopup->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    m_mnuPopup->addAction(QStringLiteral("Cancel"))->setObjectName(QStringLiteral("mnuCancel"));
}

ThumbDragDrop::~ThumbDragDrop() = default;

void ThumbDragDrop::startDrag(const QString &pressedName)
{
    QPointer<Thumbnailer> self(d.q);
    auto *data = new QMimeData; // owned by the drag
    int effect = EffectNone;
    QStringList paths;
    for (const QString &name : d.model.selection().SelThumbs())
        if (const Thumb *thumb = d.model.thumbs().Item(name))
            paths.append(thumb->Path() + thumb->Name());
    if (!paths.isEmpty()) {
        FillData(*data, paths);
        effect = EffectCopy | EffectMove;
    }
    QPointer<QDrag> drag = new QDrag(d.view.surface());
    drag->setMimeData(data);
    if (const Thumb *pressed = d.model.thumbs().Item(pressedName)) {
        const QImage picture = d.pipeline.cells().cellImage(ThumbCellAccess::cell(*pressed), false);
        if (!picture.isNull())
            drag->setPixmap(QPixmap::fromImage(picture));
    }
    emit d.q->ItemsStartDrag(data, &effect);
    if (!self)
        return;

    Qt::DropAction result = Qt::IgnoreAction;
    if (effect != EffectNone && HasFiles(data)) {
        m_ownDrag = true;
        result = ExecDrag(*drag, ActionsFromEffect(effect));
        if (!self)
            return;
        m_ownDrag = false;
    }
    if (drag)
        drag->deleteLater();

    d.mouse.dragEnded();
    QCoreApplication::processEvents();
    if (self)
        emit d.q->ItemsCompleteDrag(EffectFromActions(result));
}

bool ThumbDragDrop::isOwnDrag(const QDropEvent *event) const
{
    if (m_ownDrag)
        return true;
    const QObject *source = event->source();
    return source && (source == d.q || source == d.view.surface());
}

void ThumbDragDrop::dragOver(QDropEvent *event, int state)
{
    const QMimeData *data = event->mimeData();
    if (!HasFiles(data)) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    int effect = DragOverEffect(data, EffectFromActions(event->possibleActions()), isOwnDrag(event),
                                d.settings.listMode());
    int button = dropButtonCode(event->buttons());
    int shift = ThumbInputCodes::Shift(event->modifiers());
    const QPointF pos = event->position();
    m_dragOverData = std::make_unique<QMimeData>();
    FillData(*m_dragOverData, FilesOf(data));
    QPointer<Thumbnailer> self(d.q);
    emit d.q->ItemsDragOver(const_cast<QMimeData *>(data), &effect, &button, &shift, float(pos.x()),
                            float(pos.y()), state);
    if (!self)
        return;
    m_dropButton = button;
    m_dropEffect = effect;
    if (effect == EffectNone) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    event->setDropAction(ActionFromEffect(effect));
    event->accept();
}

void ThumbDragDrop::dragEnter(QDragEnterEvent *event)
{
    dragOver(event, StateEnter);
}

void ThumbDragDrop::dragMove(QDragMoveEvent *event)
{
    dragOver(event, StateOver);
}

void ThumbDragDrop::dragLeave(QDragLeaveEvent *)
{
    if (!m_dragOverData)
        return;
    int effect = EffectNone;
    int button = m_dropButton;
    int shift = 0;
    const QPoint pos = d.view.surface()->mapFromGlobal(QCursor::pos());
    emit d.q->ItemsDragOver(m_dragOverData.get(), &effect, &button, &shift, float(pos.x()),
                            float(pos.y()), StateLeave);
}

void ThumbDragDrop::drop(QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    const bool refused = DragOverEffect(data, EffectCopy | EffectMove, isOwnDrag(event),
                                        d.settings.listMode()) == EffectNone;
    if (refused) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    QPointer<Thumbnailer> self(d.q);
    const QStringList files = FilesOf(data);
    int effect = m_dropEffect;
    bool cancel = false;

    if (m_dropButton == 2) {
        // The data is held while the menu is open: the drop's own object may not outlive it.
        QMimeData held;
        FillData(held, files);
        QAction *copy = m_mnuPopup->findChild<QAction *>(QStringLiteral("mnuCopy"));
        QAction *move = m_mnuPopup->findChild<QAction *>(QStringLiteral("mnuMove"));
        copy->setEnabled(effect & EffectCopy);
        move->setEnabled(effect & EffectMove);
        m_mnuPopup->setDefaultAction((effect & EffectCopy)  ? copy
                                     : effect == EffectMove ? move
                                                            : nullptr);
        const QPoint global = d.view.surface()->mapToGlobal(event->position().toPoint());
        QAction *chosen = ExecMenu(*m_mnuPopup, global);
        if (!self)
            return;
        if (chosen == copy && copy->isEnabled())
            effect = EffectCopy;
        else if (chosen == move && move->isEnabled())
            effect = EffectMove;
        else
            effect = EffectNone;
        if (effect != EffectNone) {
            emit d.q->ItemsDragDrop(&held, &effect, &cancel);
            if (!self)
                return;
            if (!cancel)
                transferIn(files, effect);
        }
    } else {
        emit d.q->ItemsDragDrop(const_cast<QMimeData *>(data), &effect, &cancel);
        if (!self)
            return;
        if (!cancel)
            transferIn(files, effect);
    }
    // The transfer's questions let the host run.
    if (!self)
        return;
    m_dragOverData.reset();
    if (cancel || effect == EffectNone) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    event->setDropAction(ActionFromEffect(effect));
    event->accept();
}

bool ThumbDragDrop::transferIn(const QStringList &files, int effect)
{
    // A copy: the host may change the folder while the operation asks the user something.
    const QString path = d.settings.path;
    if (path.isEmpty() || d.settings.listMode() || !FolderExists(path) || ThumbFileOps::busy())
        return false;
    ThumbFileOps::Transfer mode;
    if (effect & EffectCopy)
        mode = ThumbFileOps::Transfer::Copy;
    else if (effect == EffectMove)
        mode = ThumbFileOps::Transfer::Move;
    else
        return false;
    bool ok;
    {
        WaitCursor busy;
        ok = ThumbFileOps::TransferFiles(d.q, files, path, mode);
    }
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return ok;
}

} // namespace Pixtile
