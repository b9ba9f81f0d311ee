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
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

ThumbPipeline::ThumbPipeline(const ThumbSettings &settings, ThumbModel &model, RenderEvents &events,
                             QWidget *cursorOwner)
    : m_settings(settings), m_model(model), m_events(events), m_cursorOwner(cursorOwner)
{
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
}

void ThumbPipeline::endRuns()
{
    stop();
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

int ThumbPipeline::list(bool listMode)
{
    const RunWatch run = watch();
    const FolderLister lister(m_settings.listOptions());
    FileRecords records;
    bool completed = false;
    {
        WaitCursor busy;
        m_listing = true;
        m_model.records().clear();
        auto keepGoing = [&]() {
            QCoreApplication::processEvents();
            return run.alive() && m_listing;
        };
        completed =
            listMode ? lister.listFiles(m_settings.filesList, records, keepGoing)
                     : lister.listFolder(m_settings.path, m_settings.patterns, records, keepGoing);
    }
    if (!run.alive())
        return -1;
    m_listing = false;
    if (!completed) {
        m_model.records().clear();
        m_events.interrupted();
        return -1;
    }
    m_model.records() = std::move(records);
    return m_model.count();
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

ThumbPipeline::Result ThumbPipeline::renderAll()
{
    const RunWatch run = watch();
    const int items = m_model.count();
    if (!m_cells.buildForListing(items, m_settings.thumbWidth, m_settings.thumbHeight,
                                 m_settings.thumbOffset, screenWidthForCells(),
                                 TranslateColor(m_settings.backClrItem)))
        return Result::Failed;
    const ThumbRenderer::CellSpec fit =
        m_settings.cellFor(m_cells.cellWidth(), m_cells.cellHeight(), m_cells.cellOffset());

    WidgetBusyCursor busy(m_cursorOwner);
    m_rendering = true;
    m_queue.start(items);
    // Metafile sizes depend on the screen's resolution, which only this thread may ask.
    HeaderReaders::HimetricToPixelsX(0);
    cancelDecodes();
    if (m_settings.useThumbnailCache)
        m_cache = std::make_shared<const ThumbCache::Store>(ThumbCache::Root());
    // This rendering's decodes; a stop, a clear or a new rendering lets it go.
    const std::shared_ptr<DecodeRun> decodes = DecodeRun::create();
    m_decodeRun = decodes;
    const auto gone = [&] {
        decodes->cancel();
        return Result::Gone;
    };
    FileRecords &records = m_model.records();
    for (;;) {
        QCoreApplication::processEvents();
        if (!run.alive())
            return gone();
        if (m_queue.done())
            break;
        const int i = m_queue.next() + 1;
        if (!m_rendering) {
            // What was rendered stays; the listed files still to come go with the stop.
            decodes->cancel();
            records.remove(i - 1, m_queue.end() - (i - 1));
            endRendering();
            m_events.interrupted();
            return run.alive() ? Result::Interrupted : Result::Gone;
        }
        feed(*decodes, fit);
        const int ticket = m_queue.ticket(i - 1);
        // The host runs while the file's picture is awaited.
        while (!decodes->ready(ticket) && run.alive() && m_rendering && m_queue.pending(i - 1) &&
               m_queue.ticket(i - 1) == ticket) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (run.alive() && m_rendering && !m_queue.done())
                feed(*decodes, fit);
        }
        if (!run.alive())
            return gone();
        // Stopped, or the file was deleted meanwhile: the loop takes it from the top.
        if (!m_rendering || !m_queue.pending(i - 1) || m_queue.ticket(i - 1) != ticket)
            continue;
        const DecodedCell decoded = decodes->take(ticket);
        const ThumbCellStore::Slot slot = m_cells.nextListed();
        const FileRecord record = records[i - 1];
        bool added = false;
        if (decoded.ok()) {
            // A refused second file of the same name is told in a message box, which lets
            // events through: the host may have changed the items meanwhile.
            added = m_model.addThumb(
                ThumbModel::makeThumb(record, m_cells.place(slot, decoded.picture)));
            if (!run.alive())
                return gone();
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
            }
            continue;
        }
        if (i == 1)
            m_model.selection().setCurrentOnly(record.Name);
        // Past this file before the host hears of it, so that it may delete it at once.
        m_queue.advance();
        m_cells.takeListed();
        m_events.afterThumbAdd(i, record.Name);
    }
    m_rendering = false;
    endRendering();
    m_events.thumbsAdded(m_model.count());
    return run.alive() ? Result::Done : Result::Gone;
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
