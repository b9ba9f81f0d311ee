#pragma once

#include "GridGeometry.h"

#include <QPointF>
#include <QRect>

class QScrollBar;
class QWidget;
class Thumbnailer;

namespace Pixtile {

class ThumbCellStore;
class ThumbModel;
class ThumbSurface;
class ThumbSurfaceInput;
struct ThumbSettings;

// The grid as shown: the drawing surface "picBase" inside a viewport with the bars "VScroll"
// and "HScroll", the derived geometry, the layout of the items and the range visible for the
// bar's position. Painting fills Thumbnails with the rectangles drawn, which hit testing uses.
class ThumbView
{
public:
    ThumbView(Thumbnailer *control, const ThumbSettings &settings, ThumbModel &model,
              const ThumbCellStore &cells, ThumbSurfaceInput &input);

    ThumbSurface *surface() const { return m_picBase; }
    QScrollBar *verticalBar() const { return m_vScroll; }
    QScrollBar *horizontalBar() const { return m_hScroll; }

    const GridGeometry &geometry() const { return m_geometry; }
    const GridLayout &layout() const { return m_layout; }
    const VisibleRange &visible() const { return m_visible; }
    // Columns of the visible range, else of the layout.
    int columns() const { return m_visible.columns ? m_visible.columns : m_layout.columns; }

    // The derived geometry again, from the settings, the control's font and its style.
    void recomputeGeometry();
    // Nothing laid out: bars hidden and at 0, surface cleared at the control's size.
    void reset();
    // Lays out the grid and paints, unless the surface is hidden (DrawItems).
    void drawItems();
    // Computes the visible range for the bar's position and paints the visible items.
    void paintVisible();
    // Repaints the label box of a visible item (after a rename).
    void paintLabel(const QString &name);
    // Shows the surface again as it was painted last.
    void refresh();

    // The place (1-based, in Thumbnails) of the drawn item whose box holds the point: the cell
    // and, with labels, the label under it, edges included. 0 when none. `part` receives where
    // the point lies (Thumbnailer::THHITTESTINFO).
    int itemAt(QPointF point, int *part = nullptr) const;
    // Scrolls so that the item at a 1-based position is shown whole, or only repaints.
    void ensureVisible(int index);
    // Sets the vertical bar (repainting through its change), or repaints when it stays.
    void setVerticalValue(int value);
    // The part of the surface in view, in surface pixels.
    QRect visibleArea() const;
    // The horizontal bar moved: the surface follows.
    void followHorizontalBar();

private:
    void layOut();

    Thumbnailer *m_control;
    const ThumbSettings &m_settings;
    ThumbModel &m_model;
    const ThumbCellStore &m_cells;
    GridGeometry m_geometry;
    GridLayout m_layout;
    VisibleRange m_visible;
    // children (the viewport clips the surface to the inside of the control's border)
    QWidget *m_viewport;
    ThumbSurface *m_picBase;
    QScrollBar *m_vScroll;
    QScrollBar *m_hScroll;
};

} // namespace Pixtile
