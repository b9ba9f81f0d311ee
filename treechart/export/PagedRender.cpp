#include "PagedRender.h"

#include "ChartRenderSource.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <memory>
#include <new>

namespace {

QFont footerFont()
{
    QFont font;
    font.setPointSizeF(8);
    return font;
}

// Height of the footer band at the bottom of the page, in device units.
double footerHeight(int resolution)
{
    // 8-point text and as much again for the space above it.
    return 2 * 8.0 * resolution / 72.0;
}

QSizeF chartArea(const QPageLayout &layout, int resolution)
{
    const QRect paint = layout.paintRectPixels(resolution);
    return QSizeF(paint.width(), std::max(1.0, paint.height() - footerHeight(resolution)));
}

} // namespace

bool PagedRender::paintPages(QPagedPaintDevice &device, QPainter &painter,
                             const ChartRenderSource &source, const PagePlan &plan,
                             const QPageLayout &layout, QString *error)
{
    const int resolution = device.logicalDpiX();
    const QSizeF area = chartArea(layout, resolution);
    const QRect paint = layout.paintRectPixels(resolution);
    for (int page = 0; page < plan.PageCount(); ++page) {
        if (page > 0 && !device.newPage()) {
            *error = QStringLiteral("Page %1 could not be started.").arg(page + 1);
            return false;
        }
        const QRect tile = plan.tiles[size_t(page)];
        painter.save();
        painter.setClipRect(QRectF(QPointF(0, 0), area));
        painter.scale(plan.scale, plan.scale);
        painter.translate(-tile.topLeft());
        painter.setClipRect(tile, Qt::IntersectClip);
        source.Paint(painter, tile);
        painter.restore();

        painter.setFont(footerFont());
        painter.setPen(Qt::black);
        const QRectF footer(0, paint.height() - footerHeight(resolution) / 2, paint.width(),
                            footerHeight(resolution) / 2);
        painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                         FooterText(source.Title(), page, plan));
    }
    return true;
}

PagePlan PagedRender::Plan(const ChartRenderSource &source, const QPageLayout &layout,
                           int resolution, PageMode mode)
{
    PagePlan plan = PagePlan::Make(source.Size(), chartArea(layout, resolution),
                                   NaturalScale(resolution), mode, source.BoxSize());
    if (mode == PageMode::Tile)
        plan.KeepPagesWith(source.BoxRects());
    return plan;
}

QPageLayout::Orientation PagedRender::BestOrientation(const ChartRenderSource &source,
                                                      QPageLayout layout, int resolution,
                                                      PageMode mode)
{
    layout.setOrientation(QPageLayout::Portrait);
    const PagePlan portrait = Plan(source, layout, resolution, mode);
    layout.setOrientation(QPageLayout::Landscape);
    const PagePlan landscape = Plan(source, layout, resolution, mode);
    // As many pages either way: the page turned as the chart is (a wide chart across).
    const QSize chart = source.Size();
    const bool better =
        mode == PageMode::Tile
            ? landscape.PageCount() < portrait.PageCount() ||
                  (landscape.PageCount() == portrait.PageCount() && chart.width() > chart.height())
            : landscape.scale > portrait.scale;
    return better ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QString PagedRender::FooterText(const QString &title, int page, const PagePlan &plan)
{
    QString text = QStringLiteral("Page %1 of %2").arg(page + 1).arg(plan.PageCount());
    // Where the page goes in the poster, pages left out or not.
    if (plan.GridCount() > 1)
        text +=
            QStringLiteral(" (row %1, column %2)").arg(plan.RowOf(page)).arg(plan.ColumnOf(page));
    return title.isEmpty() ? text : title + QStringLiteral(" - ") + text;
}

int PagedRender::Render(QPagedPaintDevice &device, const ChartRenderSource &source, PageMode mode,
                        QString *error)
{
    const QPageLayout layout = device.pageLayout();
    // Painting on a paged device starts at the top-left corner of the area inside the margins.
    const int resolution = device.logicalDpiX();
    const PagePlan plan = Plan(source, layout, resolution, mode);
    if (plan.PageCount() == 0) {
        *error = QStringLiteral("The chart is empty: there is nothing to print.");
        return 0;
    }
    // On the heap: should memory run out and ending the painter fail as well, it is given up
    // unended, as its destructor would end it again and a second failure there would end the
    // program.
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&device)) {
        *error = QStringLiteral("The pages could not be started.");
        return 0;
    }
    bool painted = true;
    try {
        painted = paintPages(device, *painter, source, plan, layout, error);
    } catch (const std::bad_alloc &) {
        try {
            painter->end();
        } catch (const std::bad_alloc &) {
            (void)painter.release();
        }
        throw;
    }
    painter->end();
    return painted ? plan.PageCount() : 0;
}
