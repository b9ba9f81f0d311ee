#include "Thumbnailer.h"

#include "GridPainter.h"
#include "ThumbSelection.h"
#include "ThumbSurface.h"
#include "TranslateColor.h"
#include "cLabelEdit.h"
#include "cMemDCs.h"
#include "cToolTip.h"
#include "mThumbnailer.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include <algorithm>

Thumbnailer::Thumbnailer(QWidget *parent)
    : QFrame(parent), m_thumbs(std::make_unique<::Thumbs>()),
      m_thumbnails(std::make_unique<::Thumbnails>()),
      m_selection(std::make_unique<ThumbSelection>(*m_thumbs)),
      m_memDCs(std::make_unique<cMemDCs>())
{
    setObjectName(QStringLiteral("Thumbnailer"));
    m_thumbs->setMessageParent(this);
    m_thumbnails->setMessageParent(this);

    m_viewport = new QWidget(this);
    m_viewport->setObjectName(QStringLiteral("viewport"));
    m_picBase = new ThumbSurface(this);
    m_picBase->setParent(m_viewport);
    m_vScroll = new QScrollBar(Qt::Vertical, m_viewport);
    m_vScroll->setObjectName(QStringLiteral("VScroll"));
    m_vScroll->hide();
    m_hScroll = new QScrollBar(Qt::Horizontal, m_viewport);
    m_hScroll->setObjectName(QStringLiteral("HScroll"));
    m_hScroll->hide();
    m_txtLabel = new cLabelEdit(m_picBase);
    connect(m_txtLabel, &cLabelEdit::editEnded, this, [this] { EndLabelEdit(); });
    m_tmrEndProc = new QTimer(this);
    m_tmrEndProc->setObjectName(QStringLiteral("tmrEndProc"));
    m_tmrEndProc->setInterval(500);
    m_tmrAutoScroll = new QTimer(this);
    m_tmrAutoScroll->setObjectName(QStringLiteral("tmrAutoScroll"));
    m_tmrAutoScroll->setInterval(50);
    m_mnuPopup = new QMenu(this);
    m_mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    m_mnuPopup->addAction(QStringLiteral("Copy here"))->setObjectName(QStringLiteral("mnuCopy"));
    m_mnuPopup->addAction(QStringLiteral("Move here"))->setObjectName(QStringLiteral("mnuMove"));
    m_mnuPopup->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    m_mnuPopup->addAction(QStringLiteral("Cancel"))->setObjectName(QStringLiteral("mnuCancel"));

    connect(m_vScroll, &QScrollBar::valueChanged, this, [this] { VScroll_Change(); });
    connect(m_hScroll, &QScrollBar::valueChanged, this, [this] { HScroll_Change(); });
    connect(m_tmrEndProc, &QTimer::timeout, this, [this] { tmrEndProc_Timer(); });
    connect(m_tmrAutoScroll, &QTimer::timeout, this, [this] { tmrAutoScroll_Timer(); });
    if (m_tooltips)
        m_toolTip = std::make_unique<cToolTip>();

    setBorderStyle(thbFixedSingle);
    m_patterns = mThumbnailer::ParsePatterns(m_pattern);
    recomputeGeometry();
    resetView();
    m_tmrEndProc->start();
}

Thumbnailer::~Thumbnailer()
{
    StopDraw();
    ++m_generation;
    m_memDCs->Clear();
}

bool Thumbnailer::alive(const QPointer<Thumbnailer> &self, quint64 generation)
{
    return self && self->m_generation == generation;
}

void Thumbnailer::markChanged(const char *name)
{
    emit PropertyChanged(QString::fromLatin1(name));
}

// ---- properties ----------------------------------------------------------------------------

void Thumbnailer::setBorderStyle(ethBorderStyle value)
{
    m_borderStyle = value;
    applyBorderStyle();
    markChanged("BorderStyle");
}

void Thumbnailer::applyBorderStyle()
{
    if (m_borderStyle == thbFixedSingle)
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    else
        setFrameStyle(QFrame::NoFrame);
}

void Thumbnailer::setBackColor(quint32 value)
{
    m_backColor = value;
    markChanged("BackColor");
    if (m_userMode)
        PaintVisible();
}

void Thumbnailer::setBackClrItem(quint32 value)
{
    m_backClrItem = value;
    markChanged("BackClrItem");
}

void Thumbnailer::setThumbWidth(int value)
{
    m_thumbWidth = std::clamp(value, 20, 200);
    markChanged("ThumbWidth");
    afterSizeChange();
}

void Thumbnailer::setThumbHeight(int value)
{
    m_thumbHeight = std::clamp(value, 20, 200);
    markChanged("ThumbHeight");
    afterSizeChange();
}

void Thumbnailer::setThumbOffset(int value)
{
    m_thumbOffset = std::clamp(value, 1, 10);
    markChanged("ThumbOffset");
    afterSizeChange();
}

void Thumbnailer::afterSizeChange()
{
    enforceOffsetRule();
    recomputeGeometry();
    if (m_userMode)
        Redraw();
}

void Thumbnailer::setThumbSpace(int value)
{
    m_thumbSpace = std::clamp(value, 1, 20);
    markChanged("ThumbSpace");
    recomputeGeometry();
    if (m_userMode)
        DrawItems();
}

void Thumbnailer::setThumbBorderStyle(ethBorder value)
{
    m_thumbBorderStyle = value;
    markChanged("ThumbBorderStyle");
    enforceOffsetRule();
    recomputeGeometry();
}

void Thumbnailer::setThumbBorderInStyle(ethBorderIn value)
{
    m_thumbBorderInStyle = value;
    markChanged("ThumbBorderInStyle");
    enforceOffsetRule();
    recomputeGeometry();
}

void Thumbnailer::setLabelBorderStyle(ethBorder value)
{
    m_labelBorderStyle = value;
    markChanged("LabelBorderStyle");
    recomputeGeometry();
    if (m_userMode)
        DrawItems();
}

void Thumbnailer::setHasLabel(bool value)
{
    m_hasLabel = value;
    markChanged("HasLabel");
    recomputeGeometry();
    if (m_userMode)
        DrawItems();
}

void Thumbnailer::setLabelEdit(ethLabelEdit value)
{
    store(m_labelEdit, value, "LabelEdit");
}

void Thumbnailer::setShowHidden(bool value)
{
    store(m_showHidden, value, "ShowHidden");
}

void Thumbnailer::setShowSystem(bool value)
{
    store(m_showSystem, value, "ShowSystem");
}

void Thumbnailer::setShowReadOnly(bool value)
{
    store(m_showReadOnly, value, "ShowReadOnly");
}

void Thumbnailer::setCanDelete(bool value)
{
    store(m_canDelete, value, "CanDelete");
}

void Thumbnailer::setDragDrop(bool value)
{
    m_dragDrop = value;
    markChanged("DragDrop");
    m_picBase->setAcceptDrops(value);
}

void Thumbnailer::setSorted(ethSort value)
{
    store(m_sorted, value, "Sorted");
    resortShown();
}

void Thumbnailer::setSortOrder(ethSortOrder value)
{
    store(m_sortOrder, value, "SortOrder");
    resortShown();
}

// A new sort key or order reorders and repaints what is shown (at run time only). While a folder
// renders, the files are rendered in the order they were listed and sorted when all are done.
void Thumbnailer::resortShown()
{
    if (m_userMode && m_items > 0 && !m_cursor.deferSort()) {
        sortRecords();
        PaintVisible();
    }
}

void Thumbnailer::setFSOEnable(bool value)
{
    store(m_fsoEnable, value, "FSOEnable");
}

void Thumbnailer::setGetType(bool value)
{
    store(m_getType, value, "GetType");
}

void Thumbnailer::setGetSize(bool value)
{
    store(m_getSize, value, "GetSize");
}

void Thumbnailer::setGetDate(bool value)
{
    store(m_getDate, value, "GetDate");
}

void Thumbnailer::setGetDims(bool value)
{
    store(m_getDims, value, "GetDims");
}

void Thumbnailer::setGetExt(bool value)
{
    store(m_getExt, value, "GetExt");
}

// ---- geometry ------------------------------------------------------------------------------

void Thumbnailer::recomputeGeometry()
{
    GridSettings settings;
    settings.thumbWidth = m_thumbWidth;
    settings.thumbHeight = m_thumbHeight;
    settings.thumbSpace = m_thumbSpace;
    settings.thumbBorderStyle = m_thumbBorderStyle;
    settings.thumbBorderInStyle = m_thumbBorderInStyle;
    settings.labelBorderStyle = m_labelBorderStyle;
    settings.hasLabel = m_hasLabel;
    const int textHeight = QFontMetrics(font()).height();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_hScroll);
    m_geometry = GridGeometry::compute(settings, textHeight, bar);
}

void Thumbnailer::enforceOffsetRule()
{
    const int offset = ApplyOffsetRule(m_thumbWidth, m_thumbHeight, m_thumbOffset,
                                       OuterBorderWidth(m_thumbBorderStyle),
                                       InnerBorderWidth(m_thumbBorderInStyle));
    if (offset != m_thumbOffset) {
        m_thumbOffset = offset;
        markChanged("ThumbOffset");
    }
}

void Thumbnailer::resetView()
{
    const QSignalBlocker blockV(m_vScroll);
    const QSignalBlocker blockH(m_hScroll);
    m_vScroll->hide();
    m_vScroll->setValue(0);
    m_hScroll->hide();
    m_hScroll->setValue(0);
    m_layout = GridLayout();
    m_visible = VisibleRange();
    m_viewport->setGeometry(contentsRect());
    m_picBase->move(0, 0);
    m_picBase->resizeSurface(m_viewport->width(), m_viewport->height(),
                             TranslateColor(m_backColor));
    m_picBase->update();
}

void Thumbnailer::layOutGrid()
{
    m_viewport->setGeometry(contentsRect());
    const int W = m_viewport->width();
    const int H = m_viewport->height();
    if (m_items <= 0) {
        resetView();
        return;
    }
    m_layout = GridLayout::compute(m_geometry, W, H, m_items);
    const int S = m_geometry.scrollBarSize;
    const QSignalBlocker blockV(m_vScroll);
    const QSignalBlocker blockH(m_hScroll);
    if (m_layout.verticalBar) {
        m_vScroll->setRange(0, m_layout.verticalMax);
        m_vScroll->setPageStep(m_layout.verticalLargeChange);
        m_vScroll->setSingleStep(1);
        m_vScroll->setGeometry(W - S, 0, S, m_layout.horizontalBar ? H - S : H);
        m_vScroll->show();
        m_vScroll->raise();
    } else {
        m_vScroll->hide();
        m_vScroll->setValue(0);
    }
    if (m_layout.horizontalBar) {
        m_hScroll->setRange(0, m_layout.horizontalMax);
        m_hScroll->setPageStep(std::max(1, m_layout.visibleAreaWidth));
        m_hScroll->setSingleStep(std::max(1, m_geometry.columnPitch / 4));
        m_hScroll->setGeometry(0, H - S, m_layout.verticalBar ? W - S : W, S);
        m_hScroll->show();
        m_hScroll->raise();
    } else {
        m_hScroll->hide();
        m_hScroll->setValue(0);
    }
    m_picBase->move(m_layout.horizontalBar ? -m_hScroll->value() : 0, 0);
    m_picBase->resizeSurface(m_layout.surfaceWidth, m_layout.surfaceHeight,
                             TranslateColor(m_backColor));
}

void Thumbnailer::DrawItems()
{
    if (m_picBase->isHidden())
        return;
    layOutGrid();
    PaintVisible();
}

void Thumbnailer::Refresh()
{
    m_picBase->update();
}

void Thumbnailer::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    DrawItems();
}

void Thumbnailer::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    m_hostSeen = true;
}

void Thumbnailer::changeEvent(QEvent *event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        recomputeGeometry();
        DrawItems();
    }
}

// ---- painting ------------------------------------------------------------------------------

void Thumbnailer::PaintVisible()
{
    QImage &canvas = m_picBase->canvas();
    m_visible = VisibleRange();
    if (m_items > 0 && m_layout.columns > 0)
        m_visible = VisibleRange::compute(m_geometry, canvas.width(), canvas.height(), m_items,
                                          m_layout.rows, !m_vScroll->isHidden(), m_vScroll->value(),
                                          m_vScroll->maximum(), !m_hScroll->isHidden());
    canvas.fill(TranslateColor(m_backColor));
    m_thumbnails->Clear();
    const int first = m_visible.visibleFirst;
    const int last = m_visible.visibleLast;
    if (first > 0 && last >= first && last <= m_items && last <= int(m_records.size())) {
        QPainter painter(&canvas);
        painter.setFont(font());
        const QColor highlight = SystemColorValue(COLOR_HIGHLIGHT);
        const int W = m_thumbWidth;
        const int H = m_thumbHeight;
        const int columns = std::max(1, m_visible.columns);
        const int inner = m_geometry.innerBorder;
        const int outer = m_geometry.outerBorder;
        const int shift = (!m_vScroll->isHidden() && m_vScroll->value() >= m_vScroll->maximum())
                              ? m_visible.overhang
                              : 0;
        const QRect surfaceRect = canvas.rect();
        for (int i = first, k = 0; i <= last; ++i, ++k) {
            Thumb *thumb = m_thumbs->Item(m_records[i - 1].Name);
            if (!thumb)
                continue;
            const ThumbCell &cell = thumb->m_cell;
            const int x = (k % columns) * m_geometry.columnPitch + m_thumbSpace;
            const int y = (k / columns) * m_geometry.rowPitch + m_thumbSpace - shift;
            const QRect cellRect(x, y, W, H);
            const int frameLeft = x + (W - cell.PicWidth) / 2 - inner;
            const int frameTop = y + (H - cell.PicHeight) / 2 - inner;
            const QRect frame(frameLeft, frameTop, cell.PicWidth + 2 * inner,
                              cell.PicHeight + 2 * inner);
            if (cMemDC *block = m_memDCs->Item(cell.DCIndex)) {
                painter.setCompositionMode(QPainter::CompositionMode_Source);
                painter.drawImage(QPoint(x, y), block->image(),
                                  QRect(cell.CellLeft, cell.CellTop, W, H));
                painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            }
            GridPainter::DrawEdge(painter, cellRect,
                                  GridPainter::EdgeForBorder(m_thumbBorderStyle));
            if (inner > 0)
                GridPainter::DrawEdge(painter, frame,
                                      GridPainter::EdgeForBorderIn(m_thumbBorderInStyle));
            if (thumb->m_selected && cellRect.intersects(surfaceRect)) {
                const QRegion ring =
                    QRegion(cellRect.adjusted(outer, outer, -outer, -outer)) - QRegion(frame);
                for (const QRect &part : ring)
                    painter.fillRect(part, highlight);
            }
            if (m_hasLabel)
                paintLabel(painter, *thumb, x, y);
            Thumbnail shown;
            shown.setPath(thumb->m_path);
            shown.setName(thumb->m_name);
            shown.setThumbLeft(x);
            shown.setThumbTop(y);
            shown.setThumbRight(x + W);
            shown.setThumbBottom(y + H);
            if (m_hasLabel) {
                shown.setLabelTop(y + H + 1);
                shown.setLabelBottom(y + H + 1 + m_geometry.labelHeight);
            } else {
                shown.setLabelTop(-1);
                shown.setLabelBottom(-1);
            }
            m_thumbnails->Add(shown, thumb->m_name);
        }
    }
    m_picBase->update();
}

void Thumbnailer::paintLabel(QPainter &painter, const Thumb &thumb, int x, int y)
{
    const bool selected = thumb.m_selected;
    const int lb = m_geometry.labelBorder;
    const QRect box(x, y + m_thumbHeight + 1, m_thumbWidth, m_geometry.labelHeight);
    painter.fillRect(box, SystemColorValue(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    GridPainter::DrawEdge(painter, box, GridPainter::EdgeForBorder(m_labelBorderStyle));
    const QRect textBox = box.adjusted(lb + 1, lb, -(lb + 1), -lb);
    painter.setPen(SystemColorValue(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const QString text =
        GridPainter::ElideAtWordBreak(thumb.m_name, painter.fontMetrics(), textBox.width());
    painter.drawText(textBox, Qt::AlignCenter | Qt::TextSingleLine, text);
    if (m_selection->isCurrent(thumb.m_name))
        GridPainter::DrawFocusRect(painter, textBox.adjusted(-1, -1, 1, 1));
}

void Thumbnailer::PaintLabel(const QString &name)
{
    if (!m_hasLabel)
        return;
    const Thumbnail *shown = m_thumbnails->Item(name);
    const Thumb *thumb = m_thumbs->Item(name);
    if (!shown || !thumb)
        return;
    {
        QPainter painter(&m_picBase->canvas());
        painter.setFont(font());
        paintLabel(painter, *thumb, shown->ThumbLeft(), shown->ThumbTop());
    }
    m_picBase->update();
}

QImage Thumbnailer::cellImage(const Thumb &thumb, bool wholeCell) const
{
    const ThumbCell &cell = thumb.m_cell;
    const cMemDC *block = m_memDCs->Item(cell.DCIndex);
    if (!block)
        return QImage();
    const QRect source = wholeCell
                             ? QRect(cell.CellLeft, cell.CellTop, m_cellWidth, m_cellHeight)
                             : QRect(cell.PicLeft, cell.PicTop, cell.PicWidth, cell.PicHeight);
    return block->image().copy(source);
}

// ---- scroll bars and timers ----------------------------------------------------------------

void Thumbnailer::VScroll_Change()
{
    EndLabelEdit();
    if (!m_vScroll->isHidden())
        PaintVisible();
}

void Thumbnailer::HScroll_Change()
{
    EndLabelEdit();
    if (!m_hScroll->isHidden())
        m_picBase->move(-m_hScroll->value(), 0);
}

void Thumbnailer::tmrEndProc_Timer()
{
    // The host has gone when the window holding the control was shown once and is no more.
    if ((m_listing || m_rendering) && m_hostSeen && !window()->isVisible())
        StopDraw();
}
