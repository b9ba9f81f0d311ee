#pragma once

#include "CellDecoder.h"
#include "DecodeQueue.h"
#include "ThumbCellStore.h"

#include <QString>

#include <functional>
#include <memory>

class DecodeRun;
class QWidget;
class Thumb;
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
// which the item is added and the host told. Decodes run ahead on all cores (the items in view
// first), but results are applied one at a time in listing order, on the GUI thread, so the
// events come in the order and with the values they have without threads. The host runs
// between two files and while results are awaited (and may stop, clear, delete or re-sort);
// the queue keeps the order right, and a stop or clear cancels what is still queued without
// waiting for decodes under way.
class ThumbPipeline
{
public:
    // `cursorOwner` shows the busy pointer while the files render.
    ThumbPipeline(const ThumbSettings &settings, ThumbModel &model, RenderEvents &events,
                  QWidget *cursorOwner);

    RunWatch watch() const;

    // Lists the source (the folder and its patterns, or the list of files) into the records.
    // The number of records, or -1 when stopped (Interrupted was raised) or cleared meanwhile.
    int list(bool listMode);
    // Sorts the records by the current key and order.
    void sort();
    // Sorts and repaints later when the files are still rendering: true when it must wait.
    bool deferSort() { return m_queue.deferSort(); }

    enum class Result { Done, Interrupted, Failed, Gone };
    // Renders every listed record into new memory cells. Gone: cleared or destroyed meanwhile.
    Result renderAll();
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

    // Stops and ends every watch taken so far: work under way returns at its next check.
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
    std::shared_ptr<DecodeRun> m_decodeRun;
    std::shared_ptr<const ThumbCache::Store> m_cache;
    std::shared_ptr<const int> m_run = std::make_shared<const int>(0);
    std::shared_ptr<const int> m_life = std::make_shared<const int>(0);
};
