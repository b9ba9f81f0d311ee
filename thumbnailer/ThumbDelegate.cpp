#include "ThumbDelegate.h"

#include "GridGeometry.h"
#include "GridPainter.h"
#include "NativeNames.h"
#include "ThumbCellAccess.h"
#include "ThumbCellStore.h"
#include "ThumbSelection.h"
#include "ThumbSettings.h"
#include "TranslateColor.h"

#include <QPainter>
#include <QRegion>

namespace Pixtile {

ThumbDelegate::ThumbDelegate(const ThumbSettings &settings, const GridGeometry &geometry,
                             const ThumbCellStore &cells, const ThumbSelection &selection)
    : m_settings(settings), m_geometry(geometry), m_cells(cells), m_selection(selection),
      m_highlight(SystemColorValue(COLOR_HIGHLIGHT))
{
}

void ThumbDelegate::paintItem(QPainter &painter, const Thumb &thumb, int x, int y,
                              const QRect &surface) const
{
    const int W = m_settings.thumbWidth;
    const int H = m_settings.thumbHeight;
    const int inner = m_geometry.innerBorder;
    const int outer = m_geometry.outerBorder;
    const ThumbCell &cell = ThumbCellAccess::cell(thumb);
    const QRect cellRect(x, y, W, H);
    const int frameLeft = x + (W - cell.PicWidth) / 2 - inner;
    const int frameTop = y + (H - cell.PicHeight) / 2 - inner;
    const QRect frame(frameLeft, frameTop, cell.PicWidth + 2 * inner, cell.PicHeight + 2 * inner);
    if (const cMemDC *block = m_cells.block(cell.DCIndex)) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(x, y), block->image(), QRect(cell.CellLeft, cell.CellTop, W, H));
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    GridPainter::DrawEdge(painter, cellRect,
                          GridPainter::EdgeForBorder(m_settings.thumbBorderStyle));
    if (inner > 0)
        GridPainter::DrawEdge(painter, frame,
                              GridPainter::EdgeForBorderIn(m_settings.thumbBorderInStyle));
    if (thumb.Selected() && cellRect.intersects(surface)) {
        const QRegion ring =
            QRegion(cellRect.adjusted(outer, outer, -outer, -outer)) - QRegion(frame);
        for (const QRect &part : ring)
            painter.fillRect(part, m_highlight);
    }
    if (m_settings.hasLabel)
        paintLabel(painter, thumb, x, y);
}

void ThumbDelegate::paintLabel(QPainter &painter, const Thumb &thumb, int x, int y) const
{
    const bool selected = thumb.Selected();
    const int lb = m_geometry.labelBorder;
    const QRect box(x, y + m_settings.thumbHeight + 1, m_settings.thumbWidth,
                    m_geometry.labelHeight);
    painter.fillRect(box, selected ? m_highlight : SystemColorValue(COLOR_WINDOW));
    GridPainter::DrawEdge(painter, box, GridPainter::EdgeForBorder(m_settings.labelBorderStyle));
    const QRect textBox = box.adjusted(lb + 1, lb, -(lb + 1), -lb);
    painter.setPen(SystemColorValue(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const QString text = GridPainter::ElideAtWordBreak(NativeNames::Display(thumb.Name()),
                                                       painter.fontMetrics(), textBox.width());
    painter.drawText(textBox, Qt::AlignCenter | Qt::TextSingleLine, text);
    if (m_selection.isCurrent(thumb.Name()))
        GridPainter::DrawFocusRect(painter, textBox.adjusted(-1, -1, 1, 1));
}

} // namespace Pixtile
