#include "ChartExport.h"

#include "ChartRenderSource.h"
#include "PagedRender.h"
#include "ReplacingFile.h"

#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <memory>
#include <new>

namespace {

// The bytes of an SVG drawing that do not depend on the boxes: its head, the title, the styles.
constexpr qint64 kSvgBytesFixed = 4096;

QString fileText(const QString &fileName)
{
    return QLatin1Char('\'') + QFileInfo(fileName).fileName() + QLatin1Char('\'');
}

QString writeError(const QString &fileName, const QString &reason, bool existed = false)
{
    QString text =
        QStringLiteral("The chart could not be written to %1: %2.").arg(fileText(fileName), reason);
    if (existed)
        text += QStringLiteral(" The file that was there is unchanged.");
    return text;
}

// The whole chart as a picture; null when there is not enough memory for it.
QImage renderPng(const ChartRenderSource &source, int scale)
{
    const QSize chart = source.Size();
    QImage image(chart * scale, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    // The picture states its resolution, so that it prints at the chart's screen size.
    const int dotsPerMeter = int(96 * scale / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&image);
    painter.scale(scale, scale);
    source.Paint(painter, QRect(QPoint(0, 0), chart));
    return image;
}

QString writePng(const QImage &image, ReplacingFile &file)
{
    QImageWriter writer(&file, "png");
    if (!writer.write(image))
        return writer.errorString();
    return QString();
}

QString writeSvg(const ChartRenderSource &source, ReplacingFile &file)
{
    const QSize chart = source.Size();
    // The generator builds the whole drawing in memory and writes it when the painter ends.
    // Should memory run out, the painter is still ended where that can be done; when ending it
    // fails as well (ending writes the drawing, which takes more memory), the painter and the
    // drawing are given up unended, as their destructors would end it again and a second failure
    // there would end the program.
    auto svg = std::make_unique<QSvgGenerator>();
    svg->setOutputDevice(&file);
    svg->setResolution(96); // one chart pixel is one pixel of the drawing
    svg->setSize(chart);
    svg->setViewBox(QRect(QPoint(0, 0), chart));
    svg->setTitle(source.Title());
    svg->setDescription(QStringLiteral("Family-tree chart made with Velkin Tree"));
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(svg.get()))
        return QStringLiteral("the drawing could not be started");
    bool drawn = true;
    try {
        source.Paint(*painter, QRect(QPoint(0, 0), chart));
    } catch (const std::bad_alloc &) {
        drawn = false;
    }
    try {
        painter->end();
    } catch (const std::bad_alloc &) {
        (void)painter.release();
        (void)svg.release();
        throw;
    }
    if (!drawn)
        throw std::bad_alloc();
    return QString();
}

QString writePdf(const ChartRenderSource &source, ReplacingFile &file, const ExportOptions &options,
                 int *pages)
{
    QPdfWriter pdf(&file);
    pdf.setResolution(kPdfResolution);
    pdf.setTitle(source.Title());
    pdf.setCreator(QStringLiteral("Velkin Tree"));
    pdf.setPageLayout(PdfPageLayout(source, options));
    QString error;
    *pages = PagedRender::Render(pdf, source, options.pageMode, &error);
    return error;
}

} // namespace

qint64 SvgSizeEstimate(const ChartRenderSource &source)
{
    return kSvgBytesFixed + qint64(source.BoxCount()) * source.SvgBytesPerBox();
}

QString SvgSizeProblem(const ChartRenderSource &source)
{
    const qint64 estimate = SvgSizeEstimate(source);
    if (estimate <= kMaxSvgBytes)
        return QString();
    constexpr qint64 kMegabyte = 1024 * 1024;
    return QStringLiteral("The chart is too large for an SVG drawing: its %L1 boxes would make "
                          "about %L2 MB, and an SVG drawing is written up to %L3 MB. Export the "
                          "chart as PDF instead.")
        .arg(source.BoxCount())
        .arg((estimate + kMegabyte - 1) / kMegabyte)
        .arg(kMaxSvgBytes / kMegabyte);
}

QPageLayout PdfPageLayout(const ChartRenderSource &source, const ExportOptions &options)
{
    QPageLayout layout(QPageSize(options.paper), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
    layout.setOrientation(
        PagedRender::BestOrientation(source, layout, kPdfResolution, options.pageMode));
    return layout;
}

ExportFormat FormatForFile(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return ExportFormat::Png;
    if (suffix == QLatin1String("svg"))
        return ExportFormat::Svg;
    if (suffix == QLatin1String("pdf"))
        return ExportFormat::Pdf;
    return ExportFormat::Unknown;
}

QString PngSizeProblem(const QSize &chart, int scale)
{
    const qint64 width = qint64(chart.width()) * scale;
    const qint64 height = qint64(chart.height()) * scale;
    if (width <= kMaxPngSide && height <= kMaxPngSide && width * height <= kMaxPngPixels)
        return QString();
    return QStringLiteral("The chart is too large for a PNG picture: at %1× it would be %L2 × %L3 "
                          "pixels, and a PNG picture may have at most %L4 pixels a side and 256 "
                          "megapixels. Export the chart as SVG or PDF instead.")
        .arg(scale)
        .arg(width)
        .arg(height)
        .arg(kMaxPngSide);
}

namespace {

ExportResult exportChart(const ChartRenderSource &source, const QString &fileName,
                         const ExportOptions &options)
{
    ExportResult result;
    const ExportFormat format = FormatForFile(fileName);
    if (format == ExportFormat::Unknown) {
        result.error = QStringLiteral("%1 does not end in .png, .svg or .pdf: the name of the "
                                      "file decides how the chart is written.")
                           .arg(fileText(fileName));
        return result;
    }
    if (source.Size().isEmpty() || source.BoxCount() == 0) {
        // Said as every other failure is: the command line prints it alone.
        result.error = writeError(fileName, QStringLiteral("the chart is empty, there is nothing "
                                                           "to export"));
        return result;
    }
    // A target that can never be replaced is refused before the chart is drawn.
    result.error = ExportTargetProblem(fileName);
    if (!result.ok())
        return result;
    const int scale = options.pngScale == 2 ? 2 : 1;
    QImage picture;
    if (format == ExportFormat::Png) {
        result.error = PngSizeProblem(source.Size(), scale);
        if (!result.ok())
            return result;
        picture = renderPng(source, scale);
        if (picture.isNull()) {
            result.error = QStringLiteral("There is not enough memory for a picture of %L1 × %L2 "
                                          "pixels. Export the chart as SVG or PDF instead.")
                               .arg(source.Size().width() * scale)
                               .arg(source.Size().height() * scale);
            return result;
        }
    } else if (format == ExportFormat::Svg) {
        result.error = SvgSizeProblem(source);
        if (!result.ok())
            return result;
    }

    ReplacingFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = writeError(fileName, file.reason());
        return result;
    }
    QString problem;
    switch (format) {
    case ExportFormat::Png:
        problem = writePng(picture, file);
        break;
    case ExportFormat::Svg:
        problem = writeSvg(source, file);
        break;
    case ExportFormat::Pdf:
        problem = writePdf(source, file, options, &result.pages);
        break;
    case ExportFormat::Unknown:
        break;
    }
    // A failed write of the file is the cause whatever the writer made of it.
    if (!file.reason().isEmpty())
        problem = file.reason();
    if (!problem.isEmpty()) {
        file.cancel();
        result.error = writeError(fileName, problem, file.replacesExisting());
        return result;
    }
    if (!file.commit()) {
        result.error = writeError(fileName, file.reason(), file.replacesExisting());
        return result;
    }
    result.boxes = source.BoxCount();
    return result;
}

} // namespace

ExportResult ExportChart(const ChartRenderSource &source, const QString &fileName,
                         const ExportOptions &options)
{
    try {
        return exportChart(source, fileName, options);
    } catch (const std::bad_alloc &) {
        ExportResult result;
        result.error = NotEnoughMemoryText(fileName);
        return result;
    }
}

QString ExportTargetProblem(const QString &fileName)
{
    const QString problem = ReplacingFile::TargetProblem(fileName);
    return problem.isEmpty() ? QString() : writeError(fileName, problem);
}

QString NotEnoughMemoryText(const QString &fileName)
{
    return QStringLiteral("There is not enough memory to export the chart to %1. Nothing was "
                          "written; a PDF of the chart needs the least memory.")
        .arg(fileText(fileName));
}
