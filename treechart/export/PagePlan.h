#pragma once

#include <QLocale>
#include <QPageSize>
#include <QRect>
#include <QSizeF>

#include <vector>

// How a chart goes onto pages: tiled at its screen size over as many pages as it needs, the
// tiles overlapping so that a box cut at a page edge shows whole on the next page, or scaled
// down to fit one page.
enum class PageMode { Tile, Fit };

struct PagePlan
{
    double scale = 1;         // device units per chart pixel
    std::vector<QRect> tiles; // the part of the chart on each page, in reading order
    // Where each page lies in the grid of tiles: row × columns + column, counted from 0.
    std::vector<int> cells;
    int columns = 0;
    int rows = 0;

    int PageCount() const { return int(tiles.size()); }
    // The pages of the whole grid, those left out included.
    int GridCount() const { return columns * rows; }
    // The row and column of a page in the grid, counted from 1.
    int RowOf(int page) const { return cells[size_t(page)] / columns + 1; }
    int ColumnOf(int page) const { return cells[size_t(page)] % columns + 1; }

    // Leaves out the pages that meet none of the boxes (chart coordinates): a page of a large
    // chart may show nothing but background and connectors. The others keep their place in the
    // grid. Linear in the number of boxes and pages.
    void KeepPagesWith(const std::vector<QRect> &boxes);

    // `area` is the part of the page the chart may cover, in device units; `natural` the device
    // units per chart pixel at screen size. Fit never enlarges a chart beyond screen size.
    // Neighbouring tiles share `overlap` chart pixels across and down: the size of a box (with
    // its shadow) makes every box cut at a page edge whole on the next page. At most half a
    // tile is shared, and never less than kOverlap.
    static PagePlan Make(const QSize &chart, const QSizeF &area, double natural, PageMode mode,
                         QSize overlap = QSize());

    // The least overlap of neighbouring tiles, in chart pixels.
    static constexpr int kOverlap = 40;
};

// The paper of the locale: Letter where the locale's country uses it, A4 elsewhere.
QPageSize::PageSizeId PaperForLocale(const QLocale &locale = QLocale());
