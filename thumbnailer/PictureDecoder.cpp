#include "PictureDecoder.h"

#include "HeaderReaders.h"
#include "ImageOrientation.h"
#include "MetafileRenderer.h"
#include "NativeNames.h"
#include "mThumbnailer.h"

#include <QFile>
#include <QImageReader>
#include <QSemaphore>

#include <algorithm>
#include <vector>

namespace Pixtile {

namespace PictureDecoder {

namespace {

// Formats that smooth scaling works on as they are; everything else is scaled in 32 bits.
bool ScalesAsItIs(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888_Premultiplied:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64_Premultiplied:
        return true;
    default:
        return false;
    }
}

bool IsPalette(QImage::Format format)
{
    return format == QImage::Format_Mono || format == QImage::Format_MonoLSB ||
           format == QImage::Format_Indexed8;
}

QImage::Format WorkingFormat(const QImage &image)
{
    return image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}

// Averages blocks of factor x factor pixels into one, a band of rows at a time, so that only
// one band is ever held in 32 bits. Blocks at the right and bottom edges average what they
// hold.
QImage BoxReduced(const QImage &image, int factor)
{
    const QImage::Format working = WorkingFormat(image);
    const int w = image.width();
    const int h = image.height();
    const int rw = (w + factor - 1) / factor;
    const int rh = (h + factor - 1) / factor;
    QImage reduced(rw, rh, working);
    if (reduced.isNull())
        return reduced;
    std::vector<quint64> sums(size_t(rw) * 4);
    for (int ry = 0; ry < rh; ++ry) {
        const int top = ry * factor;
        const int rows = std::min(factor, h - top);
        const QImage band = image.copy(0, top, w, rows).convertToFormat(working);
        if (band.isNull())
            return QImage();
        std::fill(sums.begin(), sums.end(), 0);
        for (int y = 0; y < rows; ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(band.constScanLine(y));
            for (int rx = 0; rx < rw; ++rx) {
                quint64 *sum = &sums[size_t(rx) * 4];
                const int end = std::min(w, (rx + 1) * factor);
                for (int x = rx * factor; x < end; ++x) {
                    const QRgb p = line[x];
                    sum[0] += qRed(p);
                    sum[1] += qGreen(p);
                    sum[2] += qBlue(p);
                    sum[3] += qAlpha(p);
                }
            }
        }
        auto *out = reinterpret_cast<QRgb *>(reduced.scanLine(ry));
        for (int rx = 0; rx < rw; ++rx) {
            const quint64 count =
                quint64(rows) * quint64(std::min(w, (rx + 1) * factor) - rx * factor);
            const quint64 *sum = &sums[size_t(rx) * 4];
            out[rx] = qRgba(int((sum[0] + count / 2) / count), int((sum[1] + count / 2) / count),
                            int((sum[2] + count / 2) / count), int((sum[3] + count / 2) / count));
        }
    }
    return reduced;
}

// Permits for decoding pictures whole: one each, all of them for a large one.
QSemaphore &wholeDecodes()
{
    static QSemaphore permits(kWholeDecodesAtOnce);
    return permits;
}

class WholeDecodePermit
{
public:
    explicit WholeDecodePermit(int count) : m_count(count)
    {
        if (m_count > 0)
            wholeDecodes().acquire(m_count);
    }
    ~WholeDecodePermit()
    {
        if (m_count > 0)
            wholeDecodes().release(m_count);
    }
    WholeDecodePermit(const WholeDecodePermit &) = delete;
    WholeDecodePermit &operator=(const WholeDecodePermit &) = delete;

private:
    int m_count;
};

bool isMetafileName(const QString &file)
{
    return mThumbnailer::ExtensionOf(file) == QLatin1String("WMF");
}

// A placeable metafile drawn at the size `fit` gives for its header size; null when it is not
// one or cannot be drawn.
QImage readMetafile(const QString &file, const FitRule &fit)
{
    int w = 0, h = 0;
    if (!HeaderReaders::ReadSizeByExtension(QStringLiteral("WMF"), file, w, h))
        return QImage();
    QFile in(file);
    if (!NativeNames::Open(in, QIODevice::ReadOnly) || in.size() > (qint64(kDecodeLimitMB) << 20))
        return QImage();
    return MetafileRenderer::RenderWmf(in.readAll(), fit(QSize(w, h)));
}

} // namespace

QImage SmoothScaled(const QImage &image, const QSize &size)
{
    if (image.isNull() || size.isEmpty())
        return QImage();
    if (image.size() == size)
        return image;
    if (ScalesAsItIs(image.format()))
        return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Scaled as they are, palette and 1-bit pictures come out as a hatch of their colours.
    const qint64 copyBytes = qint64(image.width()) * image.height() * 4;
    // Reduced to no less than twice the wanted size, so the final smooth step stays exact.
    const int factor = std::max(
        1, std::min(image.width() / (2 * size.width()), image.height() / (2 * size.height())));
    const QImage working = copyBytes <= kWorkingCopyBytes || factor == 1
                               ? image.convertToFormat(WorkingFormat(image))
                               : BoxReduced(image, factor);
    if (working.isNull())
        return working;
    return working.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QSize ShrunkWithin(const QSize &picture, const QSize &bound)
{
    const QSize own(std::max(1, picture.width()), std::max(1, picture.height()));
    if (bound.isEmpty() || (own.width() <= bound.width() && own.height() <= bound.height()))
        return own;
    const QSize shrunk = own.scaled(bound, Qt::KeepAspectRatio);
    return QSize(std::max(1, shrunk.width()), std::max(1, shrunk.height()));
}

QSize UprightSizeOf(const QString &file, const QSize &stored)
{
    if (isMetafileName(file)) {
        int w = 0, h = 0;
        if (!stored.isEmpty())
            return stored;
        return HeaderReaders::ReadSizeByExtension(QStringLiteral("WMF"), file, w, h) ? QSize(w, h)
                                                                                     : QSize();
    }
    QFile device(file);
    QImageReader reader;
    NativeNames::SetReaderFile(reader, device);
    const QSize size = stored.isEmpty() ? reader.size() : stored;
    if (!size.isValid() || size.isEmpty())
        return QSize();
    return ImageOrientation::UprightSize(size, ImageOrientation::OrientationOf(reader));
}

QImage Read(const QString &file, const FitRule &fit, bool byContent)
{
    if (!byContent && isMetafileName(file))
        return readMetafile(file, fit);
    QFile device(file);
    QImageReader reader;
    NativeNames::SetReaderFile(reader, device);
    reader.setDecideFormatFromContent(byContent);
    reader.setAutoTransform(true);
    // This reader's own limit; the process-wide default is left as it is.
    reader.setAllocationLimit(kDecodeLimitMB);
    QSize drawn;
    bool scaled = false;
    const QSize stored = reader.size();
    if (stored.isValid() && !stored.isEmpty()) {
        const int orientation = ImageOrientation::OrientationOf(reader);
        const QSize upright = ImageOrientation::UprightSize(stored, orientation);
        drawn = fit(upright);
        // The scaled size is asked for in the stored orientation; the turn comes after. Readers
        // that scale palette pictures themselves would hatch them: those are scaled here.
        if (drawn != upright && reader.supportsOption(QImageIOHandler::ScaledSize) &&
            !IsPalette(reader.imageFormat())) {
            reader.setScaledSize(ImageOrientation::SwapsSides(orientation) ? drawn.transposed()
                                                                           : drawn);
            scaled = true;
        }
    }
    // A whole decode holds its permit until it has been scaled. Unknown sizes count as large.
    const bool large = !stored.isValid() || qint64(stored.width()) * stored.height() > kLargePixels;
    const WholeDecodePermit permit(scaled ? 0 : large ? kWholeDecodesAtOnce : 1);
    const QImage image = reader.read();
    if (image.isNull())
        return byContent ? readMetafile(file, fit) : image;
    if (!drawn.isValid())
        drawn = fit(image.size());
    return SmoothScaled(image, drawn);
}

QImage ReadWithin(const QString &file, const QSize &bound)
{
    return Read(file, [&bound](const QSize &upright) { return ShrunkWithin(upright, bound); });
}

} // namespace PictureDecoder

} // namespace Pixtile
