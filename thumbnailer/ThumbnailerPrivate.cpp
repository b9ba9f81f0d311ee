#include "ThumbnailerPrivate.h"

#include "PixtileMessages.h"
#include "ThumbFileOps.h"
#include "WaitCursor.h"
#include "mThumbnailer.h"

#include <QScrollBar>
#include <QTimer>

namespace Pixtile {

ThumbnailerPrivate::ThumbnailerPrivate(Thumbnailer *control)
    : q(control), pipeline(settings, model, *this, control),
      view(control, settings, model, pipeline.cells(), *this), labels(*this), band(*this),
      dragDrop(*this), mouse(*this), keys(*this), tmrEndProc(new QTimer(control))
{
    tmrEndProc->setObjectName(QStringLiteral("tmrEndProc"));
    tmrEndProc->setInterval(500);
    QObject::connect(tmrEndProc, &QTimer::timeout, &receiver, [this] { watchdog(); });
    // Scrolling either bar ends a label edit first.
    QObject::connect(view.verticalBar(), &QScrollBar::valueChanged, &receiver, [this] {
        labels.end();
        if (!view.verticalBar()->isHidden())
            view.paintVisible();
    });
    QObject::connect(view.horizontalBar(), &QScrollBar::valueChanged, &receiver, [this] {
        labels.end();
        view.followHorizontalBar();
    });
    settings.patterns = mThumbnailer::ParsePatterns(settings.pattern);
    // The items in view are decoded first (when something has been laid out).
    pipeline.setVisibleItems(
        [this] { return std::make_pair(view.visible().visibleFirst, view.visible().visibleLast); });
}

ThumbnailerPrivate::~ThumbnailerPrivate()
{
    // The surface outlives the parts (the control's QWidget part deletes it). Work still
    // under way (a handler deleted the control) sees its RunWatch expire with the pipeline.
    view.surface()->detachInput();
}

void ThumbnailerPrivate::markChanged(const char *name)
{
    emit q->PropertyChanged(QString::fromLatin1(name));
}

void ThumbnailerPrivate::watchdog()
{
    // The host has gone when the window holding the control was shown once and is no more.
    if ((pipeline.listing() || pipeline.rendering()) && hostSeen && !q->window()->isVisible())
        pipeline.stop();
}

// ---- the items' source ---------------------------------------------------------------------

void ThumbnailerPrivate::clear()
{
    pipeline.endRuns();
    labels.end();
    band.reset();
    mouse.reset();
    pipeline.clear();
    model.clear();
    settings.filesList.clear();
    settings.path.clear();
    view.reset();
}

void ThumbnailerPrivate::redraw()
{
    const QString path = settings.path;
    const QStringList files = settings.filesList;
    clear();
    settings.path = path;
    settings.filesList = files;
    // An explicit list is listed again as a list, even when its files share one folder.
    const bool listMode = path == mThumbnailer::kListPath || !files.isEmpty();
    if (!listMode && path.isEmpty())
        return;
    showSource(listMode);
}

void ThumbnailerPrivate::showSource(bool listMode, std::function<void()> shown)
{
    pipeline.start(listMode, [this, shown = std::move(shown)](ThumbPipeline::Result result) {
        using Result = ThumbPipeline::Result;
        // What was rendered is painted, also after a stop.
        if (result != Result::Empty && result != Result::ListInterrupted)
            view.drawItems();
        QPointer<Thumbnailer> self(q);
        if (result != Result::Interrupted && result != Result::ListInterrupted && shown)
            shown();
        if (self && !pipeline.busy())
            emit self->RenderFinished();
    });
}

void ThumbnailerPrivate::resortShown()
{
    // While a folder renders, the files are rendered in the order they were listed and sorted
    // when all are done.
    if (settings.userMode && model.count() > 0 && !pipeline.deferSort()) {
        pipeline.sort();
        view.paintVisible();
    }
}

// ---- the pipeline's events: raised here, on the GUI thread, in listing order -----------------

void ThumbnailerPrivate::itemsCountChange(int items)
{
    emit q->ItemsCountChange(items);
}

void ThumbnailerPrivate::afterThumbAdd(int index, const QString &name)
{
    emit q->AfterThumbAdd(index, name);
}

void ThumbnailerPrivate::thumbsAdded(int items)
{
    emit q->ThumbsAdded(items);
}

void ThumbnailerPrivate::interrupted()
{
    emit q->Interrupted();
}

void ThumbnailerPrivate::itemAdd(Thumb *thumb)
{
    emit q->ItemAdd(thumb);
}

void ThumbnailerPrivate::nameTaken()
{
    PixtileMessages::ShowNameTaken(q);
}

// ---- what spans several parts --------------------------------------------------------------

void ThumbnailerPrivate::setSelectedItem(Thumb *item)
{
    if (!settings.userMode)
        return;
    // The host may hand over a copy; the control's own item of that name is meant.
    Thumb *own = item ? model.thumbs().Item(item->Name()) : nullptr;
    if (!own) {
        view.paintVisible();
        return;
    }
    const QString name = own->Name();
    if (!model.selection().setSelectedItem(name))
        return;
    QPointer<Thumbnailer> self(q);
    q->EnsureVisible(name);
    if (!self)
        return;
    if (Thumb *current = model.thumbs().Item(name))
        emit q->SelChanged(current);
    if (self)
        markChanged("SelectedItem");
}

bool ThumbnailerPrivate::renameItem(const QString &sName, const QString &sNewName)
{
    if (sNewName.isEmpty() || !ThumbFileOps::IsPlainFileName(sNewName))
        return false;
    Thumb *thumb = model.thumbs().Item(sName);
    if (!thumb || thumb->Name() == sNewName)
        return false;
    // Another item of that name (without regard to case) refuses; the item itself may change
    // the case of its name.
    const Thumb *other = model.thumbs().Item(sNewName);
    if (other && other != thumb)
        return false;
    // Nor may it take the name of a listed file that is still to be rendered.
    const int listed = model.indexOf(sNewName);
    if (listed > 0 && pipeline.queue().pending(listed - 1))
        return false;
    const QString oldName = thumb->Name();
    const bool shown = model.rename(oldName, sNewName);
    mouse.itemRenamed(oldName, sNewName);
    if (shown) {
        view.paintLabel(sNewName);
        view.refresh();
    }
    emit q->ItemRename(thumb, oldName);
    return true;
}

bool ThumbnailerPrivate::deleteItems(const QString &sPathNames)
{
    if (m_deletingItems)
        return false;
    const QString ending(2, QChar(0));
    if (sPathNames.size() <= 2 || !sPathNames.endsWith(ending))
        return false;
    m_deletingItems = true;
    QPointer<Thumbnailer> self(q);
    const QStringList paths = mThumbnailer::SplitNulList(sPathNames.chopped(2));
    for (const QString &path : paths) {
        const QString folder = mThumbnailer::ParentFolder(path);
        const QString name = mThumbnailer::FileNameOf(path);
        const Thumb *thumb = model.thumbs().Item(name);
        if (!thumb) {
            // A listed file still waiting to be rendered goes before it is rendered.
            const int record = model.indexOf(name);
            if (record > 0 && pipeline.queue().pending(record - 1)) {
                model.records().removeAt(record - 1);
                pipeline.recordRemoved(record - 1);
                emit q->ItemDelete(folder, name);
                if (!self)
                    return false;
            }
            continue;
        }
        const QString itemName = thumb->Name();
        labels.itemLeaving(itemName);
        mouse.itemLeaving(itemName);
        const int record = model.remove(itemName);
        if (record >= 0)
            pipeline.recordRemoved(record);
        emit q->ItemDelete(folder, name);
        if (!self)
            return false;
    }
    mouse.forgetHover();
    view.drawItems();
    m_deletingItems = false;
    emit q->ItemsDeleted(int(paths.size()));
    return true;
}

void ThumbnailerPrivate::deleteSelection()
{
    if (!settings.canDelete || model.selection().SelThumbs().isEmpty())
        return;
    // Each item's own folder (in list mode the items lie in several).
    QStringList paths;
    for (const QString &name : model.selection().SelThumbs())
        if (const Thumb *thumb = model.thumbs().Item(name))
            paths.append(thumb->Path() + thumb->Name());
    if (paths.isEmpty())
        return;
    if (settings.fsoEnable && !ThumbFileOps::DeleteToRecycleBin(q, paths))
        return;
    WaitCursor busy;
    deleteItems(ThumbFileOps::JoinNulList(paths));
}

// ---- derived values ------------------------------------------------------------------------

void ThumbnailerPrivate::applyBorderStyle()
{
    if (settings.borderStyle == Thumbnailer::thbFixedSingle)
        q->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    else
        q->setFrameStyle(QFrame::NoFrame);
}

void ThumbnailerPrivate::enforceOffsetRule()
{
    const int offset = ApplyOffsetRule(
        settings.thumbWidth, settings.thumbHeight, settings.thumbOffset,
        OuterBorderWidth(settings.thumbBorderStyle), InnerBorderWidth(settings.thumbBorderInStyle));
    if (offset != settings.thumbOffset) {
        settings.thumbOffset = offset;
        markChanged("ThumbOffset");
    }
}

void ThumbnailerPrivate::afterSizeChange()
{
    enforceOffsetRule();
    view.recomputeGeometry();
    if (settings.userMode)
        q->Redraw();
}

// ---- input on the drawing surface ----------------------------------------------------------

void ThumbnailerPrivate::surfaceMousePress(QMouseEvent *event)
{
    mouse.press(event);
}

void ThumbnailerPrivate::surfaceMouseMove(QMouseEvent *event)
{
    mouse.move(event);
}

void ThumbnailerPrivate::surfaceMouseRelease(QMouseEvent *event)
{
    mouse.release(event);
}

void ThumbnailerPrivate::surfaceDoubleClick(QMouseEvent *event)
{
    mouse.doubleClick(event);
}

void ThumbnailerPrivate::surfaceKeyPress(QKeyEvent *event)
{
    keys.keyPress(event);
}

void ThumbnailerPrivate::surfaceDragEnter(QDragEnterEvent *event)
{
    dragDrop.dragEnter(event);
}

void ThumbnailerPrivate::surfaceDragMove(QDragMoveEvent *event)
{
    dragDrop.dragMove(event);
}

void ThumbnailerPrivate::surfaceDragLeave(QDragLeaveEvent *event)
{
    dragDrop.dragLeave(event);
}

void ThumbnailerPrivate::surfaceDrop(QDropEvent *event)
{
    dragDrop.drop(event);
}

} // namespace Pixtile
