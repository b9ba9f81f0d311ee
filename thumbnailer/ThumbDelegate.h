#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

class QPainter;
class Thumb;

namespace Pixtile {

class ThumbCellStore;
class ThumbSelection;
struct GridGeometry;
struct ThumbSettings;

// Paints one item of the grid: its cell copied from the memory cells, the outer and inner
// edges, the selection ring and the label with its focus rectangle. Made for one paint.
class ThumbDelegate
{
public:
    ThumbDelegate(const ThumbSettings &settings, const GridGeometry &geometry,
                  const ThumbCellStore &cells, const ThumbSelection &selection);

    // The item's cell at (x, y) of the surface; `surface` is the surface's rectangle.
    void paintItem(QPainter &painter, const Thumb &thumb, int x, int y, const QRect &surface) const;
    // The label box under the cell at (x, y).
    void paintLabel(QPainter &painter, const Thumb &thumb, int x, int y) const;

private:
    const ThumbSettings &m_settings;
    const GridGeometry &m_geometry;
    const ThumbCellStore &m_cells;
    const ThumbSelection &m_selection;
    QColor m_highlight;
};

} // namespace Pixtile
