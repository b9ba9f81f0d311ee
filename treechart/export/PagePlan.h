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
    int columns = 0;
    int rows = 0;

    int PageCount() const { return int(tiles.size()); }

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
