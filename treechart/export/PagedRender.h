#pragma once

#include "PagePlan.h"

#include <QPageLayout>
#include <QString>

class ChartRenderSource;
class QPagedPaintDevice;
class QPainter;

// Renders a chart onto the pages of a PDF writer or a printer, set up with its paper and
// margins: tiled or fitted as chosen, with a footer line on every page giving the chart's title
// and the page number (and, for tiles, their row and column in the grid of tiles, so that the
// pages can be put together). Tiles that show no box are left out.
class PagedRender
{
public:
    // Device units per chart pixel at screen size, for a device of this resolution.
    static double NaturalScale(int resolution) { return resolution / 96.0; }

    // The plan for the chart on the device's current page layout, without the tiles that show
    // no box.
    static PagePlan Plan(const ChartRenderSource &source, const QPageLayout &layout, int resolution,
                         PageMode mode);
    // The orientation that needs fewer pages (Tile) or shows the chart larger (Fit); when both
    // do equally well, landscape for a chart wider than tall, else portrait.
    static QPageLayout::Orientation BestOrientation(const ChartRenderSource &source,
                                                    QPageLayout layout, int resolution,
                                                    PageMode mode);

    // Paints every page; the device must not be painted on yet. Returns the number of pages, or
    // 0 with `error` set when the device cannot be painted on.
    static int Render(QPagedPaintDevice &device, const ChartRenderSource &source, PageMode mode,
                      QString *error);

    // The footer of one page.
    static QString FooterText(const QString &title, int page, const PagePlan &plan);

private:
    static bool paintPages(QPagedPaintDevice &device, QPainter &painter,
                           const ChartRenderSource &source, const PagePlan &plan,
                           const QPageLayout &layout, QString *error);
};
