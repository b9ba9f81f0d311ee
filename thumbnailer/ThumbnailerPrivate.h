#pragma once

#include "ThumbBand.h"
#include "ThumbDragDrop.h"
#include "ThumbKeys.h"
#include "ThumbLabelEditing.h"
#include "ThumbModel.h"
#include "ThumbMouse.h"
#include "ThumbPipeline.h"
#include "ThumbSettings.h"
#include "ThumbSurface.h"
#include "ThumbView.h"
#include "WheelScroller.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QTimer;
class Thumbnailer;

namespace Pixtile {

// The inside of a Thumbnailer: the settings behind its properties and the parts that do the
// work, each with its own state: the items (ThumbModel), the render pipeline (listing, decode
// queue, memory cells), the grid view, and one class per interaction (mouse, band, label
// editing, drag and drop, keys). It routes the surface's input to the interactions, raises the
// pipeline's events and carries out what spans several parts (Clear, renaming, deleting).
//
// Every part may run the host's handlers (through the control's signals); after that, code
// checks that the control is still there before it touches anything.
class ThumbnailerPrivate final : public RenderEvents, public ThumbSurfaceInput
{
public:
    explicit ThumbnailerPrivate(Thumbnailer *control);
    ThumbnailerPrivate(const ThumbnailerPrivate &) = delete;
    ThumbnailerPrivate &operator=(const ThumbnailerPrivate &) = delete;
    ~ThumbnailerPrivate();

    Thumbnailer *const q;
    // Context of every connection the parts make: they end with the parts.
    QObject receiver;
    ThumbSettings settings;
    ThumbModel model;
    ThumbPipeline pipeline;
    ThumbView view;
    ThumbLabelEditing labels;
    ThumbBand band;
    ThumbDragDrop dragDrop;
    ThumbMouse mouse;
    ThumbKeys keys;
    WheelScroller wheel;
    // The watchdog "tmrEndProc": stops listing and rendering when the host window has gone.
    QTimer *tmrEndProc;
    bool hostSeen = false;

    // The host is told that a saved property changed.
    void markChanged(const char *name);

    // Clear: items, cells, selection, interaction state and the view reset; Path emptied.
    void clear();
    // Redraw: the same source listed and rendered again.
    void redraw();
    // Lists, sorts, renders and paints, from the event loop: returns at once. When that has
    // ended `shown` runs, unless it was interrupted (Interrupted was raised then), and then
    // RenderFinished is raised; neither happens when the control was cleared, given another
    // source or destroyed first.
    void showSource(bool listMode, std::function<void()> shown = {});
    // A new sort key or order: reorders and repaints what is shown, or after the rendering.
    void resortShown();

    // Setting SelectedItem (selects, scrolls to it and raises SelChanged).
    void setSelectedItem(Thumb *item);
    bool renameItem(const QString &sName, const QString &sNewName);
    bool deleteItems(const QString &sPathNames);
    // The Delete key: the selected files, to the trash first when FSOEnable is on.
    void deleteSelection();

    // Derived values after a setting changed.
    void applyBorderStyle();
    void enforceOffsetRule();
    void afterSizeChange();

private:
    void watchdog();

    // RenderEvents
    void itemsCountChange(int items) override;
    void afterThumbAdd(int index, const QString &name) override;
    void thumbsAdded(int items) override;
    void interrupted() override;
    void itemAdd(Thumb *thumb) override;
    void nameTaken() override;

    // ThumbSurfaceInput
    void surfaceMousePress(QMouseEvent *event) override;
    void surfaceMouseMove(QMouseEvent *event) override;
    void surfaceMouseRelease(QMouseEvent *event) override;
    void surfaceDoubleClick(QMouseEvent *event) override;
    void surfaceKeyPress(QKeyEvent *event) override;
    void surfaceDragEnter(QDragEnterEvent *event) override;
    void surfaceDragMove(QDragMoveEvent *event) override;
    void surfaceDragLeave(QDragLeaveEvent *event) override;
    void surfaceDrop(QDropEvent *event) override;

    bool m_deletingItems = false;
};

} // namespace Pixtile
