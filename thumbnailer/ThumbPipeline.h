#pragma once

#include "CellDecoder.h"
#include "DecodeQueue.h"
#include "ThumbCellStore.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;
class Thumb;

namespace Pixtile {

class DecodeRun;
struct FileRecord;
class ThumbModel;
struct ThumbSettings;

// What the render pipeline tells the control while it works: always on the GUI thread and in
// listing order. The control raises its events from here; handlers may change the items, clear
// the control or destroy it.
class RenderEvents
{
public:
    virtual void itemsCountChange(int items) = 0;
    virtual void afterThumbAdd(int index, const QString &name) = 0;
    virtual void thumbsAdded(int items) = 0;
    virtual void interrupted() = 0;
    virtual void itemAdd(Thumb *thumb) = 0;
    // A second file of a name already shown was refused (the control tells the user).
    virtual void nameTaken() = 0;

protected:
    ~RenderEvents() = default;
};

// Tells code that runs the host's handlers whether the pipeline it started from is still there.
class RunWatch
{
public:
    // Neither cleared nor destroyed since the watch was taken.
    bool alive() const { return !m_run.expired(); }
    // Not destroyed (it may have been cleared).
    bool exists() const { return !m_life.expired(); }

private:
    friend class ThumbPipeline;
    std::weak_ptr<const int> m_run;
    std::weak_ptr<const int> m_life;
};

// How the control's items come to be: listing the source into records, sorting them, then for
// each listed file a decode request (DecodeQueue), the decoded picture (CellDecoder, on the
// worker threads of a DecodeRun) and its place in the memory cells (ThumbCellStore), after
// which the item is added and the host told.
//
// It all runs from the event loop: start() returns at once, and each step is a call the event
// loop makes (the listing, then the results as their decodes finish), so no caller waits and no
// event is handled inside another. Decodes run ahead on all cores (the items in view first), but
// results are applied one at a time in listing order, on the GUI thread, so the events come in
// the order and with the values they have without threads. The host runs between two steps
// (and between two files when many results are ready at once) and may stop, clear, delete or
// re-sort; the queue keeps the order right, and a stop, a clear or a new start cancels what is
// still queued without waiting for decodes under way, whose results go with their run.
class ThumbPipeline
{
public:
    // `cursorOwner` shows the busy pointer while the files render.
    ThumbPipeline(const ThumbSettings &settings, ThumbModel &model, RenderEvents &events,
                  QWidget *cursorOwner);
    ~ThumbPipeline();
    ThumbPipeline(const ThumbPipeline &) = delete;
    ThumbPipeline &operator=(const ThumbPipeline &) = delete;

    RunWatch watch() const;

    // How a start ended:
    //   Listed nothing:  the source holds no file to show (ItemsCountChange(0) was raised);
    //   ListInterrupted: stopped before or while listing (Interrupted was raised, no records);
    //   Done:            every listed file rendered (ThumbsAdded was raised);
    //   Interrupted:     stopped while rendering (Interrupted was raised; what was rendered
    //                    stays);
    //   Failed:          the memory cells could not be made (nothing rendered).
    enum class Result { Empty, ListInterrupted, Done, Interrupted, Failed };
    using Finished = std::function<void(Result)>;
    // Lists the source (the folder and its patterns, or the list of files) into the records,
    // sorts them and renders every listed record into new memory cells, from the event loop;
    // returns at once. `finished` is called when that has ended, unless the run was cleared,
    // started again or destroyed first.
    void start(bool listMode, Finished finished);
    // Between start() and its end.
    bool busy() const { return bool(m_job); }

    // Sorts the records by the current key and order.
    void sort();
    // Sorts and repaints later when the files are still rendering: true when it must wait.
    bool deferSort() { return m_queue.deferSort(); }

    // Adds one file to the current set without listing again (AddItem).
    bool addItem(const QString &sPath, const QString &sName);

    // StopDraw: listing and rendering end before their next file.
    void stop();
    // A record was taken out of the records (0-based index): the queue and the decodes follow.
    void recordRemoved(int index);
    bool listing() const { return m_listing; }
    bool rendering() const { return m_rendering; }

    // The listed files still to be rendered.
    DecodeQueue &queue() { return m_queue; }
    const ThumbCellStore &cells() const { return m_cells; }

    // Stops and ends every watch taken so far: work under way returns at its next check, and a
    // start under way ends without its `finished`.
    void endRuns();
    // endRuns(), and every memory cell dropped (Clear).
    void clear();

    // Screen width used to size memory cells (0 = the primary screen's).
    void setScreenWidthForCells(int width) { m_screenWidthOverride = width; }
    // Decodes kept going at once (0 = one per core).
    void setDecodeWorkers(int workers) { m_workers = workers; }
    int decodeWorkers() const;
    // Whether photos' embedded thumbnails may stand in for decoding them (on by default).
    void setUseEmbeddedThumbnails(bool use) { m_useEmbedded = use; }
    // The items in view (1-based first and last, 0 when none): decoded before the others.
    void setVisibleItems(std::function<std::pair<int, int>()> visible)
    {
        m_visibleItems = std::move(visible);
    }

private:
    struct Job;
    class Waker;

    int screenWidthForCells() const;
    // The decode request of a listed file.
    DecodeRequest requestFor(const FileRecord &record, const ThumbRenderer::CellSpec &fit) const;
    // Hands out decodes ahead of the record to apply next: that record first, then the items in
    // view, then the records in order, as far as the workers and the look-ahead allow.
    void feed(DecodeRun &run, const ThumbRenderer::CellSpec &fit);
    // The run's queued decodes are cancelled and the run let go.
    void cancelDecodes();
    // Rendering has ended: a sort asked for meanwhile is applied.
    void endRendering();

    // The next step of the start under way is called from the event loop (once, however often
    // it is asked for before it runs).
    void schedule();
    void step();
    // The steps: listing and sorting, then making the cells and handing out the decodes; then
    // applying the results that are ready, in listing order.
    void listStep();
    void beginRendering();
    void renderStep();
    // The start ends: its `finished` is called.
    void finish(Result result);

    const ThumbSettings &m_settings;
    ThumbModel &m_model;
    RenderEvents &m_events;
    QWidget *m_cursorOwner;
    ThumbCellStore m_cells;
    DecodeQueue m_queue;
    bool m_listing = false;
    bool m_rendering = false;
    bool m_addingItem = false;
    int m_screenWidthOverride = 0;
    int m_workers = 0;
    bool m_useEmbedded = true;
    std::function<std::pair<int, int>()> m_visibleItems;
    std::unique_ptr<Job> m_job;
    std::shared_ptr<Waker> m_waker;
    std::shared_ptr<DecodeRun> m_decodeRun;
    std::shared_ptr<const ThumbCache::Store> m_cache;
    std::shared_ptr<const int> m_run = std::make_shared<const int>(0);
    std::shared_ptr<const int> m_life = std::make_shared<const int>(0);
};

} // namespace Pixtile
