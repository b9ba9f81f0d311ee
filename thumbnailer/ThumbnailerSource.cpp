// Where the Thumbnailer's items come from and how they become cells: the source properties
// (Path, Pattern, FilesList), listing, sorting, rendering every listed file into memory cells,
// and AddItem.
#include "Thumbnailer.h"

#include "FolderLister.h"
#include "MessageService.h"
#include "RecordSorter.h"
#include "ThumbRenderer.h"
#include "ThumbSelection.h"
#include "TranslateColor.h"
#include "WaitCursor.h"
#include "cMemDCs.h"
#include "mThumbnailer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace {
const QString kListPath = QStringLiteral("<List>");

// Shows the busy pointer over one widget for its lifetime.
class WidgetBusyCursor
{
public:
    explicit WidgetBusyCursor(QWidget *widget) : m_widget(widget)
    {
        m_hadCursor = widget->testAttribute(Qt::WA_SetCursor);
        m_old = widget->cursor();
        widget->setCursor(Qt::BusyCursor);
    }
    ~WidgetBusyCursor()
    {
        if (!m_widget)
            return;
        if (m_hadCursor)
            m_widget->setCursor(m_old);
        else
            m_widget->unsetCursor();
    }
    WidgetBusyCursor(const WidgetBusyCursor &) = delete;
    WidgetBusyCursor &operator=(const WidgetBusyCursor &) = delete;

private:
    QPointer<QWidget> m_widget;
    QCursor m_old;
    bool m_hadCursor = false;
};
} // namespace

// ---- source properties ---------------------------------------------------------------------

void Thumbnailer::setPattern(const QString &value)
{
    QString stored;
    if (!mThumbnailer::AcceptPattern(m_pattern, value, stored))
        return;
    m_pattern = stored;
    markChanged("Pattern");
    if (!m_userMode)
        return;
    m_patterns = mThumbnailer::ParsePatterns(m_pattern);
    if (m_patterns.isEmpty()) {
        m_pattern = QStringLiteral("*.bmp");
        m_patterns = mThumbnailer::ParsePatterns(m_pattern);
    }
    emit AfterPatternChange();
}

void Thumbnailer::setPath(const QString &value)
{
    if (!m_userMode) {
        m_path = value.isEmpty() ? QString() : mThumbnailer::AddBackslash(value);
        return;
    }
    if (value == m_path || value.isEmpty() || !mThumbnailer::PathExists(value))
        return;
    const QString path = mThumbnailer::AddBackslash(value.trimmed());
    bool cancel = false;
    QPointer<Thumbnailer> self(this);
    emit BeforePathChange(path, &cancel);
    if (!self || cancel)
        return;
    Clear();
    m_path = path;
    markChanged("Path");
    if (showSource(false))
        emit AfterPathChange(m_items);
}

void Thumbnailer::setFilesList(const QStringList &value)
{
    if (!m_userMode) {
        m_filesList = value;
        return;
    }
    if (value.isEmpty())
        return;
    WaitCursor busy;
    QStringList names;
    for (const QString &file : value) {
        const QString name = mThumbnailer::FileNameOf(file);
        if (mThumbnailer::ContainsText(names, name)) {
            busy.restore();
            ShowMessage(QStringLiteral("Filenames in the List must be unique even if they reside "
                                       "in different directories."),
                        QStringLiteral("Abort: Duplicate filenames detected"), MsgIcon::Critical,
                        MsgButtons::OkOnly, this);
            return;
        }
        names.append(name);
    }
    const QString first = mThumbnailer::ParentFolder(value.first());
    bool oneFolder = true;
    for (const QString &file : value)
        if (mThumbnailer::ParentFolder(file).compare(first, Qt::CaseInsensitive) != 0)
            oneFolder = false;
    Clear();
    m_path = oneFolder ? first : kListPath;
    m_filesList = value;
    markChanged("Path");
    markChanged("FilesList");
    busy.restore();
    if (showSource(true))
        emit AfterListChange(m_items);
}

// ---- source, listing and rendering ---------------------------------------------------------

void Thumbnailer::StopDraw()
{
    m_listing = false;
    m_rendering = false;
}

void Thumbnailer::Clear()
{
    StopDraw();
    ++m_generation;
    EndLabelEdit();
    resetInteraction();
    m_memDCs->Clear();
    m_thumbs->Clear();
    m_thumbnails->Clear();
    m_records.clear();
    m_filesList.clear();
    m_selection->reset();
    m_path.clear();
    m_items = 0;
    m_cellWidth = m_cellHeight = m_cellOffset = 0;
    m_cellsPerRow = 0;
    m_addCapacity = m_addUsed = 0;
    m_cursor = RenderCursor();
    resetView();
}

void Thumbnailer::Redraw()
{
    const QString path = m_path;
    const QStringList files = m_filesList;
    Clear();
    m_path = path;
    m_filesList = files;
    // An explicit list is listed again as a list, even when its files share one folder.
    const bool listMode = path == kListPath || !files.isEmpty();
    if (!listMode && path.isEmpty())
        return;
    showSource(listMode);
}

bool Thumbnailer::showSource(bool listMode)
{
    QPointer<Thumbnailer> self(this);
    const quint64 generation = m_generation;
    const int count = listSource(listMode);
    if (count < 0 || !alive(self, generation))
        return false;
    m_items = count;
    emit ItemsCountChange(m_items);
    if (!alive(self, generation))
        return false;
    RenderResult result = RenderResult::Done;
    if (m_items > 0) {
        sortRecords();
        result = renderAll();
        if (result == RenderResult::Gone || !alive(self, generation))
            return false;
        DrawItems();
    }
    return result != RenderResult::Interrupted;
}

int Thumbnailer::listSource(bool listMode)
{
    QPointer<Thumbnailer> self(this);
    const quint64 generation = m_generation;
    ListOptions options;
    options.getType = m_getType;
    options.getSize = m_getSize;
    options.getDate = m_getDate;
    options.getDims = m_getDims;
    options.getExt = m_getExt;
    options.showHidden = m_showHidden;
    options.showSystem = m_showSystem;
    options.showReadOnly = m_showReadOnly;
    const FolderLister lister(options);

    FileRecords records;
    bool completed = false;
    {
        WaitCursor busy;
        m_listing = true;
        m_records.clear();
        auto keepGoing = [&]() {
            QCoreApplication::processEvents();
            return alive(self, generation) && m_listing;
        };
        completed = listMode ? lister.listFiles(m_filesList, records, keepGoing)
                             : lister.listFolder(m_path, m_patterns, records, keepGoing);
    }
    if (!alive(self, generation))
        return -1;
    m_listing = false;
    if (!completed) {
        m_records.clear();
        emit Interrupted();
        return -1;
    }
    m_records = std::move(records);
    return int(m_records.size());
}

void Thumbnailer::sortRecords()
{
    WaitCursor busy;
    RecordSorter::Sort(m_records, m_sorted, m_sortOrder == thdDescending);
}

int Thumbnailer::screenWidthForCells() const
{
    if (m_screenWidthOverride > 0)
        return m_screenWidthOverride;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return std::max(1, screen->geometry().width());
    return 1024;
}

Thumbnailer::RenderResult Thumbnailer::renderAll()
{
    QPointer<Thumbnailer> self(this);
    const quint64 generation = m_generation;
    if (!m_memDCs->Build(m_items, m_thumbWidth, m_thumbHeight, screenWidthForCells(),
                         TranslateColor(m_backClrItem)))
        return RenderResult::Failed;
    m_cellWidth = m_thumbWidth;
    m_cellHeight = m_thumbHeight;
    m_cellOffset = m_thumbOffset;
    m_cellsPerRow = m_memDCs->Item(1)->CellsPerRow;
    m_addCapacity = m_addUsed = 0;

    ThumbRenderer::CellSpec cell;
    cell.cellWidth = m_cellWidth;
    cell.cellHeight = m_cellHeight;
    cell.outerBorder = OuterBorderWidth(m_thumbBorderStyle);
    cell.offset = m_cellOffset;
    cell.innerBorder = InnerBorderWidth(m_thumbBorderInStyle);

    WidgetBusyCursor busy(this);
    m_rendering = true;
    m_cursor.start(m_items);
    // The blocks made for the listed files; AddItem may append its own while the host runs.
    const int blocks = m_memDCs->Count();
    int dc = 1;
    int k = 0;    // cell within the current block
    int slot = 1; // cell over all blocks: each rendered file takes one, also when deleted later
    for (;;) {
        QCoreApplication::processEvents();
        if (!alive(self, generation))
            return RenderResult::Gone;
        if (m_cursor.done())
            break;
        const int i = m_cursor.next() + 1;
        if (!m_rendering) {
            // What was rendered stays; the listed files still to come go with the stop.
            m_records.remove(i - 1, m_cursor.end() - (i - 1));
            m_items = int(m_records.size());
            endRendering();
            emit Interrupted();
            return alive(self, generation) ? RenderResult::Interrupted : RenderResult::Gone;
        }
        cMemDC *block = m_memDCs->Item(dc);
        if (slot > block->Last && dc < blocks) {
            block = m_memDCs->Item(++dc);
            k = 0;
        }
        const FileRecord record = m_records[i - 1];
        const int cellLeft = (k % block->CellsPerRow) * m_cellWidth;
        const int cellTop = (k / block->CellsPerRow) * m_cellHeight;
        QRect picture;
        bool added = ThumbRenderer::RenderInto(record.Path + record.Name, block->image(), cellLeft,
                                               cellTop, cell, picture);
        if (added) {
            Thumb thumb;
            thumb.m_path = record.Path;
            thumb.m_name = record.Name;
            thumb.m_fileType = record.FileType;
            thumb.m_size = record.Size;
            thumb.m_dateMdf = record.DateMdf;
            thumb.m_width = record.Width;
            thumb.m_height = record.Height;
            thumb.m_extension = record.Extension;
            thumb.m_cell = ThumbCell{dc,
                                     cellLeft,
                                     cellTop,
                                     picture.left(),
                                     picture.top(),
                                     picture.width(),
                                     picture.height()};
            // A refused second file of the same name is told in a message box, which lets
            // events through: the host may have changed the items meanwhile.
            added = m_thumbs->Add(thumb, record.Name);
            if (!alive(self, generation))
                return RenderResult::Gone;
        }
        if (!added) {
            // An undecodable file (or a second file of the same name) is dropped; the next
            // file takes its index and its cell.
            QImage &image = block->image();
            QPainter(&image).fillRect(QRect(cellLeft, cellTop, m_cellWidth, m_cellHeight),
                                      TranslateColor(m_backClrItem));
            const int index = m_cursor.next();
            if (m_cursor.pending(index) && m_records[index].Name == record.Name) {
                m_records.removeAt(index);
                m_cursor.removed(index);
                --m_items;
                emit ItemsCountChange(m_items);
            }
            continue;
        }
        if (i == 1)
            m_selection->setCurrentOnly(record.Name);
        // Past this file before the host hears of it, so that it may delete it at once.
        m_cursor.advance();
        ++k;
        ++slot;
        emit AfterThumbAdd(i, record.Name);
    }
    m_rendering = false;
    endRendering();
    emit ThumbsAdded(m_items);
    return alive(self, generation) ? RenderResult::Done : RenderResult::Gone;
}

void Thumbnailer::endRendering()
{
    m_cursor.finish();
    // A sort asked for while the files were rendered.
    if (m_cursor.takeSort())
        sortRecords();
}

bool Thumbnailer::AddItem(const QString &sPath, const QString &sName)
{
    const QString path = mThumbnailer::AddBackslash(sPath);
    if (m_addingItem || sName.isEmpty() || m_thumbs->Item(sName))
        return false;
    m_addingItem = true;
    struct Reset
    {
        QPointer<Thumbnailer> self;
        ~Reset()
        {
            if (self)
                self->m_addingItem = false;
        }
    } reset{this};

    if (m_memDCs->Count() == 0) {
        m_cellWidth = m_thumbWidth;
        m_cellHeight = m_thumbHeight;
        m_cellOffset = m_thumbOffset;
    }
    if (m_addCapacity == 0 || m_addUsed >= m_addCapacity) {
        cMemDC *block = m_memDCs->AddBlock(100, m_cellWidth, m_cellHeight, screenWidthForCells(),
                                           TranslateColor(m_backClrItem));
        if (!block)
            return false;
        m_addCapacity = block->Last - block->First + 1;
        m_addUsed = 0;
    }
    ListOptions options;
    options.getType = m_getType;
    options.getSize = m_getSize;
    options.getDate = m_getDate;
    options.getDims = m_getDims;
    options.getExt = m_getExt;
    FileRecord record;
    if (!FolderLister(options).recordOf(path + sName, record))
        return false;

    const int dc = m_memDCs->Count();
    cMemDC *block = m_memDCs->Item(dc);
    const int cellLeft = (m_addUsed % block->CellsPerRow) * m_cellWidth;
    const int cellTop = (m_addUsed / block->CellsPerRow) * m_cellHeight;
    ThumbRenderer::CellSpec cell;
    cell.cellWidth = m_cellWidth;
    cell.cellHeight = m_cellHeight;
    cell.outerBorder = OuterBorderWidth(m_thumbBorderStyle);
    cell.offset = m_cellOffset;
    cell.innerBorder = InnerBorderWidth(m_thumbBorderInStyle);
    QRect picture;
    if (!ThumbRenderer::RenderInto(path + sName, block->image(), cellLeft, cellTop, cell, picture))
        return false;

    Thumb thumb;
    thumb.m_path = record.Path;
    thumb.m_name = record.Name;
    thumb.m_fileType = record.FileType;
    thumb.m_size = record.Size;
    thumb.m_dateMdf = record.DateMdf;
    thumb.m_width = record.Width;
    thumb.m_height = record.Height;
    thumb.m_extension = record.Extension;
    thumb.m_cell = ThumbCell{
        dc, cellLeft, cellTop, picture.left(), picture.top(), picture.width(), picture.height()};
    if (!m_thumbs->Add(thumb, record.Name))
        return false;
    m_records.append(record);
    ++m_addUsed;
    ++m_items;
    QPointer<Thumbnailer> self(this);
    emit ItemAdd(&thumb);
    return true;
}
