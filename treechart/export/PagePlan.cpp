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
        }
    }
    return plan;
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
