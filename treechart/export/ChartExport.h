#pragma once

#include "PagePlan.h"
#include "PrivacyFilter.h"

#include <QPageLayout>
#include <QSize>
#include <QString>

class ChartRenderSource;

// Writes a whole chart to a file: a PNG picture, an SVG drawing or a PDF document, by the file's
// extension. SVG and PDF keep the captions as text (selectable and searchable). A PDF is on the
// locale's paper, turned the way that suits the chart, tiled over pages or fitted to one; pages
// that would show no box are left out. A PNG is refused when it would be too large for picture
// programs, an SVG when it would be too large to build in memory.
//
// Writing is atomic (ReplacingFile): the file is written beside its target under another name,
// every write checked, and renamed over it once it is on the disk, so a failure (a full disk
// included) leaves neither a partial file nor a damaged older one. A target that exists and is
// not a regular file (a pipe, a device) is refused. Running out of memory is a failure with a
// message like any other.

enum class ExportFormat { Unknown, Png, Svg, Pdf };
ExportFormat FormatForFile(const QString &fileName);

// What of a chart an export or a print takes: the whole chart, the part the view shows, or the
// branch of the selected box (the box and every box below it), where the chart offers them
// (ChartRenderSource::PartRect).
enum class ChartPart { Whole, Visible, Branch };

struct ExportOptions
{
    ChartPart part = ChartPart::Whole;
    // What the export shows of the living and the private, where the chart offers the choice
    // (ChartRenderSource::OffersPrivacy); nothing is hidden by default.
    Genealogy::PrivacyOptions privacy;
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

// An SVG drawing is built whole in memory before it is written, taking several times its size:
// the largest drawing written, in bytes, as SvgSizeEstimate gives them.
constexpr qint64 kMaxSvgBytes = 192LL * 1024 * 1024;
// About how many bytes the chart's SVG drawing takes (never much less than it will).
qint64 SvgSizeEstimate(const ChartRenderSource &source);
// Why an SVG drawing of the chart cannot be written (a sentence suggesting PDF), or an empty text
// when it can.
QString SvgSizeProblem(const ChartRenderSource &source);

// Why the chart can never be written to the file (it exists and is a pipe, a device or a folder,
// or it is read-only): a sentence, or an empty text. Export checks it first;
// hosts may ask before they do any work.
QString ExportTargetProblem(const QString &fileName);

// The message for an export that ran out of memory.
QString NotEnoughMemoryText(const QString &fileName);

// The page layout of an exported PDF: the options' paper with 10 mm margins, turned the way that
// needs fewer pages (tiles) or shows the chart larger (fit); and the PDF's resolution.
QPageLayout PdfPageLayout(const ChartRenderSource &source, const ExportOptions &options);
constexpr int kPdfResolution = 300;

// Writes the chart to the file. Needs no window: the command line calls it as well.
ExportResult ExportChart(const ChartRenderSource &source, const QString &fileName,
                         const ExportOptions &options);
