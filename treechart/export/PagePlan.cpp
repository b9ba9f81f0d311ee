#include "PagePlan.h"

#include <algorithm>
#include <cmath>

namespace {

// How far one tile starts from the previous one.
int stepFor(int tile, int overlap)
{
    return std::max(1, tile - std::clamp(overlap, PagePlan::kOverlap, tile / 2));
}

// How many tiles of `tile` pixels, `step` apart, cover `length` pixels.
int tilesFor(int length, int tile, int step)
{
    if (length <= tile)
        return 1;
    return 1 + int(std::ceil(double(length - tile) / step));
}

} // namespace

PagePlan PagePlan::Make(const QSize &chart, const QSizeF &area, double natural, PageMode mode,
                        QSize overlap)
{
    PagePlan plan;
    if (chart.isEmpty() || area.isEmpty() || natural <= 0)
        return plan;
    if (mode == PageMode::Fit) {
        plan.scale =
            std::min({natural, area.width() / chart.width(), area.height() / chart.height()});
        plan.columns = plan.rows = 1;
        plan.tiles.push_back(QRect(QPoint(0, 0), chart));
        plan.cells.push_back(0);
        return plan;
    }
    plan.scale = natural;
    const int tileW = std::max(1, int(std::floor(area.width() / natural)));
    const int tileH = std::max(1, int(std::floor(area.height() / natural)));
    const int stepW = stepFor(tileW, overlap.width());
    const int stepH = stepFor(tileH, overlap.height());
    plan.columns = tilesFor(chart.width(), tileW, stepW);
    plan.rows = tilesFor(chart.height(), tileH, stepH);
    for (int r = 0; r < plan.rows; ++r) {
        for (int c = 0; c < plan.columns; ++c) {
            const QRect tile(c * stepW, r * stepH, tileW, tileH);
            plan.tiles.push_back(tile & QRect(QPoint(0, 0), chart));
            plan.cells.push_back(r * plan.columns + c);
        }
    }
    return plan;
}

void PagePlan::KeepPagesWith(const std::vector<QRect> &boxes)
{
    if (tiles.size() <= 1 || cells.size() != tiles.size())
        return;
    // The pages are a grid of columns × rows tiles, each step apart: the tiles a box meets are
    // found from its corners without looking at every page.
    const int stepW = columns > 1 ? tiles[1].left() - tiles[0].left() : 1;
    const int stepH = rows > 1 ? tiles[size_t(columns)].top() - tiles[0].top() : 1;
    const int tileW = tiles[0].width();
    const int tileH = tiles[0].height();
    // Tiles [first, last] along one side that meet [from, to]: tile i covers [i × step, i × step
    // + size - 1].
    auto span = [](int from, int to, int step, int size, int count, int *first, int *last) {
        *first = std::max(0, from < size ? 0 : (from - size) / step + 1);
        *last = std::min(count - 1, to / step);
        return *first <= *last;
    };
    std::vector<char> used(size_t(GridCount()), 0);
    for (const QRect &box : boxes) {
        if (box.isEmpty() || box.right() < 0 || box.bottom() < 0)
            continue;
        int c0, c1, r0, r1;
        if (!span(std::max(0, box.left()), box.right(), stepW, tileW, columns, &c0, &c1) ||
            !span(std::max(0, box.top()), box.bottom(), stepH, tileH, rows, &r0, &r1))
            continue;
        for (int r = r0; r <= r1; ++r) {
            for (int c = c0; c <= c1; ++c)
                used[size_t(r * columns + c)] = 1;
        }
    }
    std::vector<QRect> keptTiles;
    std::vector<int> keptCells;
    for (size_t page = 0; page < tiles.size(); ++page) {
        if (used[size_t(cells[page])]) {
            keptTiles.push_back(tiles[page]);
            keptCells.push_back(cells[page]);
        }
    }
    // A chart whose boxes are not known to lie on any page keeps its pages.
    if (keptTiles.empty())
        return;
    tiles = std::move(keptTiles);
    cells = std::move(keptCells);
}

QPageSize::PageSizeId PaperForLocale(const QLocale &locale)
{
    // The countries whose paper is Letter; the rest of the world uses A4.
    switch (locale.territory()) {
    case QLocale::UnitedStates:
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Philippines:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::Venezuela:
    case QLocale::CostaRica:
    case QLocale::Guatemala:
    case QLocale::Panama:
    case QLocale::DominicanRepublic:
    case QLocale::PuertoRico:
    case QLocale::ElSalvador:
    case QLocale::Nicaragua:
    case QLocale::Belize:
        return QPageSize::Letter;
    default:
        return QPageSize::A4;
    }
}
