#include "ThumbPipeline.h"

#include "CellDecoder.h"
#include "DecodeRun.h"
#include "FolderLister.h"
#include "HeaderReaders.h"
#include "RecordSorter.h"
#include "ThumbCache.h"
#include "ThumbModel.h"
#include "ThumbSettings.h"
#include "TranslateColor.h"
#include "WaitCursor.h"
#include "WidgetBusyCursor.h"
#include "mThumbnailer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <atomic>

namespace Pixtile {

namespace {

// How long one step applies ready results before it lets the event loop run again.
constexpr qint64 kStepBudgetMs = 8;

} // namespace

// Queues the pipeline's next step to the GUI thread, from any thread (a decode that finished),
// at most once until that step runs. It outlives the pipeline while a decode still holds it:
// the pipeline lets go of it when it goes, and a step queued before then does nothing.
class ThumbPipeline::Waker : public std::enable_shared_from_this<Waker>
{
public:
    explicit Waker(ThumbPipeline *pipeline) : m_pipeline(pipeline) {}

    void wake()
    {
        if (m_queued.exchange(true))
            return;
        QCoreApplication *app = QCoreApplication::instance();
        if (!app)
            return;
        QMetaObject::invokeMethod(
            app,
            [waker = weak_from_this()] {
                if (const std::shared_ptr<Waker> self = waker.lock()) {
                    self->m_queued.store(false);
                    if (self->m_pipeline)
                        self->m_pipeline->step();
                }
            },
            Qt::QueuedConnection);
    }
    // GUI thread: the pipeline is going.
    void detach() { m_pipeline = nullptr; }

private:
    ThumbPipeline *m_pipeline; // read and cleared on the GUI thread only
    std::atomic<bool> m_queued{false};
};

// A start under way: where it stands and what it works with.
struct ThumbPipeline::Job
{
    RunWatch watch;
    bool listMode = false;
    Finished finished;
    bool listed = false;
    std::shared_ptr<DecodeRun> decodes;
    ThumbRenderer::CellSpec fit;
    std::unique_ptr<WidgetBusyCursor> busy;
};

ThumbPipeline::ThumbPipeline(const ThumbSettings &settings, ThumbModel &model, RenderEvents &events,
                             QWidget *cursorOwner)
    : m_settings(settings), m_model(model), m_events(events), m_cursorOwner(cursorOwner),
      m_waker(std::make_shared<Waker>(this))
{
}

ThumbPipeline::~ThumbPipeline()
{
    m_waker->detach();
    cancelDecodes();
}

RunWatch ThumbPipeline::watch() const
{
    RunWatch watch;
    watch.m_run = m_run;
    watch.m_life = m_life;
    return watch;
}

void ThumbPipeline::stop()
{
    m_listing = false;
    m_rendering = false;
    cancelDecodes();
    // The start under way hears of it at its next step, which need not wait for a decode.
    if (m_job)
        schedule();
}

void ThumbPipeline::endRuns()
{
    stop();
    m_job.reset();
    m_run = std::make_shared<const int>(0);
}

void ThumbPipeline::cancelDecodes()
{
    if (m_decodeRun)
        m_decodeRun->cancel();
    m_decodeRun.reset();
    m_cache.reset();
}

void ThumbPipeline::recordRemoved(int index)
{
    const int ticket = m_queue.removed(index);
    if (ticket >= 0 && m_decodeRun)
        m_decodeRun->forget(ticket);
    // The record to apply next may have changed, and its result be there already.
    if (m_job && m_rendering)
        schedule();
}

int ThumbPipeline::decodeWorkers() const
{
    return m_workers > 0 ? m_workers : DecodeRun::defaultWorkers();
}

DecodeRequest ThumbPipeline::requestFor(const FileRecord &record,
                                        const ThumbRenderer::CellSpec &fit) const
{
    DecodeRequest request;
    request.file = record.Path + record.Name;
    request.cell = fit;
    request.devicePixelRatio = m_cursorOwner ? m_cursorOwner->devicePixelRatioF() : 1.0;
    request.cache = m_cache;
    request.embedded = m_useEmbedded;
    return request;
}

void ThumbPipeline::feed(DecodeRun &run, const ThumbRenderer::CellSpec &fit)
{
    const int workers = decodeWorkers();
    // Results wait in order; a few per worker keep every worker busy without holding many.
    const int lookAhead = std::max(2, 4 * workers);
    const FileRecords &records = m_model.records();
    const auto submit = [&](int index) {
        if (!m_queue.pending(index))
            return true;
        const int ticket = m_queue.ticket(index);
        if (run.submitted(ticket))
            return true;
        if (run.running() >= workers)
            return false;
        // The record to apply next always goes; others only within the look-ahead.
        if (index != m_queue.next() && run.outstanding() >= lookAhead)
            return false;
        run.submit(ticket, requestFor(records[index], fit));
        return true;
    };
    if (!submit(m_queue.next()))
        return;
    if (m_visibleItems) {
        const auto [first, last] = m_visibleItems();
        for (int i = std::max(first - 1, m_queue.next()); first > 0 && i < last; ++i)
            if (!submit(i))
                return;
    }
    const int end = std::min(m_queue.end(), m_queue.next() + lookAhead);
    for (int i = m_queue.next() + 1; i < end; ++i)
        if (!submit(i))
            return;
}

void ThumbPipeline::clear()
{
    endRuns();
    m_cells.clear();
    m_queue = DecodeQueue();
}

void ThumbPipeline::start(bool listMode, Finished finished)
{
    endRuns();
    m_job = std::make_unique<Job>();
    m_job->watch = watch();
    m_job->listMode = listMode;
    m_job->finished = std::move(finished);
    // Listing is asked for now: a StopDraw before its step stops it as well.
    m_listing = true;
    m_model.records().clear();
    schedule();
}

void ThumbPipeline::schedule()
{
    m_waker->wake();
}

void ThumbPipeline::step()
{
    if (!m_job)
        return;
    if (!m_job->listed)
        listStep();
    else
        renderStep();
}

void ThumbPipeline::finish(Result result)
{
    Finished finished = std::move(m_job->finished);
    m_job.reset();
    if (finished)
        finished(result);
}

void ThumbPipeline::listStep()
{
    const RunWatch run = m_job->watch;
    m_job->listed = true;
    const FolderLister lister(m_settings.listOptions());
    FileRecords records;
    bool completed = false;
    if (m_listing) {
        WaitCursor busy;
        // Nothing else runs while the files are listed: the flag only changes between steps.
        const auto keepGoing = [this] { return m_listing; };
        completed = m_job->listMode ? lister.listFiles(m_settings.filesList, records, keepGoing)
                                    : lister.listFolder(m_settings.path, m_settings.patterns,
                                                        records, keepGoing);
    }
    m_listing = false;
    if (!completed) {
        m_model.records().clear();
        m_events.interrupted();
        if (run.alive())
            finish(Result::ListInterrupted);
        return;
    }
    m_model.records() = std::move(records);
    m_events.itemsCountChange(m_model.count());
    if (!run.alive())
        return;
    if (m_model.count() == 0) {
        finish(Result::Empty);
        return;
    }
    sort();
    beginRendering();
}

void ThumbPipeline::sort()
{
    WaitCursor busy;
    RecordSorter::Sort(m_model.records(), m_settings.sorted,
                       m_settings.sortOrder == Thumbnailer::thdDescending);
}

int ThumbPipeline::screenWidthForCells() const
{
    if (m_screenWidthOverride > 0)
        return m_screenWidthOverride;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return std::max(1, screen->geometry().width());
    return 1024;
}

void ThumbPipeline::beginRendering()
{
    const int items = m_model.count();
    if (!m_cells.buildForListing(items, m_settings.thumbWidth, m_settings.thumbHeight,
                                 m_settings.thumbOffset, screenWidthForCells(),
                                 TranslateColor(m_settings.backClrItem))) {
        finish(Result::Failed);
        return;
    }
    Job &job = *m_job;
    job.fit = m_settings.cellFor(m_cells.cellWidth(), m_cells.cellHeight(), m_cells.cellOffset());
    job.busy = std::make_unique<WidgetBusyCursor>(m_cursorOwner);
    m_rendering = true;
    m_queue.start(items);
    // Metafile sizes depend on the screen's resolution, which only this thread may ask.
    HeaderReaders::HimetricToPixelsX(0);
    cancelDecodes();
    if (m_settings.useThumbnailCache)
        m_cache = std::make_shared<const ThumbCache::Store>(ThumbCache::Root());
    // This rendering's decodes; a stop, a clear or a new start lets them go. Each finished
    // decode asks for the next step.
    job.decodes = DecodeRun::create([waker = std::weak_ptr<Waker>(m_waker)] {
        if (const std::shared_ptr<Waker> w = waker.lock())
            w->wake();
    });
    m_decodeRun = job.decodes;
    feed(*job.decodes, job.fit);
    schedule();
}

void ThumbPipeline::renderStep()
{
    const RunWatch run = m_job->watch;
    // Held for this step: a stop or a clear lets the job's go.
    const std::shared_ptr<DecodeRun> decodes = m_job->decodes;
    const ThumbRenderer::CellSpec fit = m_job->fit;
    FileRecords &records = m_model.records();
    QElapsedTimer spent;
    spent.start();
    int applied = 0;
    for (;;) {
        if (m_queue.done()) {
            m_rendering = false;
            endRendering();
            m_job->busy.reset();
            m_events.thumbsAdded(m_model.count());
            if (run.alive())
                finish(Result::Done);
            return;
        }
        const int i = m_queue.next() + 1;
        if (!m_rendering) {
            // What was rendered stays; the listed files still to come go with the stop.
            decodes->cancel();
            records.remove(i - 1, m_queue.end() - (i - 1));
            endRendering();
            m_job->busy.reset();
            m_events.interrupted();
            if (run.alive())
                finish(Result::Interrupted);
            return;
        }
        feed(*decodes, fit);
        const int ticket = m_queue.ticket(i - 1);
        // Not decoded yet: its decode asks for the next step when it is done.
        if (!decodes->ready(ticket))
            return;
        // Many results ready at once: the host gets a turn between them.
        if (applied > 0 && spent.elapsed() >= kStepBudgetMs) {
            schedule();
            return;
        }
        ++applied;
        const DecodedCell decoded = decodes->take(ticket);
        const ThumbCellStore::Slot slot = m_cells.nextListed();
        const FileRecord record = records[i - 1];
        bool added = false;
        if (decoded.ok()) {
            added = m_model.addThumb(
                ThumbModel::makeThumb(record, m_cells.place(slot, decoded.picture)));
            if (!added) {
                // A second file of the same name: the control tells the user, in a message box
                // that lets events through; the host may change the items meanwhile.
                m_events.nameTaken();
                if (!run.alive())
                    return;
            }
        }
        if (!added) {
            // An undecodable file (or a second file of the same name) is dropped; the next
            // file takes its index and its cell.
            m_cells.blank(slot, TranslateColor(m_settings.backClrItem));
            const int index = m_queue.next();
            if (m_queue.pending(index) && records[index].Name == record.Name) {
                records.removeAt(index);
                recordRemoved(index);
                m_events.itemsCountChange(m_model.count());
                if (!run.alive())
                    return;
            }
            continue;
        }
        if (i == 1)
            m_model.selection().setCurrentOnly(record.Name);
        // Past this file before the host hears of it, so that it may delete it at once.
        m_queue.advance();
        m_cells.takeListed();
        m_events.afterThumbAdd(i, record.Name);
        if (!run.alive())
            return;
    }
}

void ThumbPipeline::endRendering()
{
    cancelDecodes();
    m_queue.finish();
    // A sort asked for while the files were rendered.
    if (m_queue.takeSort())
        sort();
}

bool ThumbPipeline::addItem(const QString &sPath, const QString &sName)
{
    const QString path = mThumbnailer::AddBackslash(sPath);
    if (m_addingItem || sName.isEmpty() || m_model.thumbs().Item(sName))
        return false;
    m_addingItem = true;
    struct Reset
    {
        ThumbPipeline *pipeline;
        RunWatch watch;
        ~Reset()
        {
            if (watch.exists())
                pipeline->m_addingItem = false;
        }
    } reset{this, watch()};

    ThumbCellStore::Slot slot;
    if (!m_cells.nextAdded(m_settings.thumbWidth, m_settings.thumbHeight, m_settings.thumbOffset,
                           screenWidthForCells(), TranslateColor(m_settings.backClrItem), slot))
        return false;
    FileRecord record;
    if (!FolderLister(m_settings.listOptions()).recordOf(path + sName, record))
        return false;
    std::shared_ptr<const ThumbCache::Store> cache;
    if (m_settings.useThumbnailCache)
        cache = std::make_shared<const ThumbCache::Store>(ThumbCache::Root());
    DecodeRequest request =
        requestFor(record, m_settings.cellFor(m_cells.cellWidth(), m_cells.cellHeight(),
                                              m_cells.cellOffset()));
    request.file = path + sName;
    request.cache = cache;
    const DecodedCell decoded = DecodeCell(request);
    if (!decoded.ok())
        return false;
    Thumb thumb = ThumbModel::makeThumb(record, m_cells.place(slot, decoded.picture));
    if (!m_model.addThumb(thumb))
        return false;
    m_model.records().append(record);
    m_cells.takeAdded();
    m_events.itemAdd(&thumb);
    return true;
}

} // namespace Pixtile
