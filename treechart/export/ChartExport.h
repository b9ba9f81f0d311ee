#pragma once

#include "PagePlan.h"

#include <QPageLayout>
#include <QSize>
#include <QString>

class ChartRenderSource;

// Writes a whole chart to a file: a PNG picture, an SVG drawing or a PDF document, by the file's
// extension. SVG and PDF keep the captions as text (selectable and searchable). A PDF is on the
// locale's paper, turned the way that suits the chart, tiled over pages or fitted to one. A PNG
// is refused when it would be too large for picture programs.
//
// Writing is atomic: the file is written beside its target under another name and renamed over
// it at the end, so a failure leaves neither a partial file nor a damaged older one.

enum class ExportFormat { Unknown, Png, Svg, Pdf };
ExportFormat FormatForFile(const QString &fileName);

struct ExportOptions
{
    int pngScale = 1; // 1 or 2
    PageMode pageMode = PageMode::Tile;
    QPageSize::PageSizeId paper = PaperForLocale();
};

struct ExportResult
{
    int boxes = 0; // boxes written
    int pages = 0; // pages of a PDF
    QString error; // empty on success: a sentence for the user otherwise
    bool ok() const { return error.isEmpty(); }
};

// The largest PNG written: pixels a side and pixels in all.
constexpr int kMaxPngSide = 32767;
constexpr qint64 kMaxPngPixels = 256LL * 1024 * 1024;

// Why a PNG of the chart at this scale cannot be written (a sentence suggesting SVG or PDF), or
// an empty text when it can.
QString PngSizeProblem(const QSize &chart, int scale);

// The page layout of an exported PDF: the options' paper with 10 mm margins, turned the way that
// needs fewer pages (tiles) or shows the chart larger (fit); and the PDF's resolution.
QPageLayout PdfPageLayout(const ChartRenderSource &source, const ExportOptions &options);
constexpr int kPdfResolution = 300;

// Writes the chart to the file. Needs no window: the command line calls it as well.
ExportResult ExportChart(const ChartRenderSource &source, const QString &fileName,
                         const ExportOptions &options);
