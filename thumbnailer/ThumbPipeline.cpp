#include "ThumbPipeline.h"

#include "CellDecoder.h"
#include "FolderLister.h"
#include "RecordSorter.h"
#include "ThumbModel.h"
#include "ThumbSettings.h"
#include "TranslateColor.h"
#include "WaitCursor.h"
#include "WidgetBusyCursor.h"
#include "mThumbnailer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

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
}

void ThumbPipeline::endRuns()
{
    stop();
    m_run = std::make_shared<const int>(0);
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
    FileRecords &records = m_model.records();
    for (;;) {
        QCoreApplication::processEvents();
        if (!run.alive())
            return Result::Gone;
        if (m_queue.done())
            break;
        const int i = m_queue.next() + 1;
        if (!m_rendering) {
            // What was rendered stays; the listed files still to come go with the stop.
            records.remove(i - 1, m_queue.end() - (i - 1));
            endRendering();
            m_events.interrupted();
            return run.alive() ? Result::Interrupted : Result::Gone;
        }
        const ThumbCellStore::Slot slot = m_cells.nextListed();
        const FileRecord record = records[i - 1];
        const DecodedCell decoded = DecodeCell(DecodeRequest{record.Path + record.Name, fit});
        bool added = false;
        if (decoded.ok()) {
            // A refused second file of the same name is told in a message box, which lets
            // events through: the host may have changed the items meanwhile.
            added = m_model.addThumb(
                ThumbModel::makeThumb(record, m_cells.place(slot, decoded.picture)));
            if (!run.alive())
                return Result::Gone;
        }
        if (!added) {
            // An undecodable file (or a second file of the same name) is dropped; the next
            // file takes its index and its cell.
            m_cells.blank(slot, TranslateColor(m_settings.backClrItem));
            const int index = m_queue.next();
            if (m_queue.pending(index) && records[index].Name == record.Name) {
                records.removeAt(index);
                m_queue.removed(index);
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
    const DecodedCell decoded = DecodeCell(
        DecodeRequest{path + sName, m_settings.cellFor(m_cells.cellWidth(), m_cells.cellHeight(),
                                                       m_cells.cellOffset())});
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
