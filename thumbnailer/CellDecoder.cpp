#include "CellDecoder.h"

#include "ExifThumbnail.h"
#include "ImageOrientation.h"
#include "PictureDecoder.h"
#include "ThumbCache.h"
#include "mThumbnailer.h"

#include <cmath>

namespace Pixtile {

namespace {

// Device pixels a picture of `size` takes.
QSize devicePixels(const QSize &size, qreal ratio)
{
    return QSize(int(std::ceil(size.width() * ratio - 1e-6)),
                 int(std::ceil(size.height() * ratio - 1e-6)));
}

bool covers(const QSize &have, const QSize &need)
{
    return have.width() >= need.width() && have.height() >= need.height();
}

// Whether a preview of `preview` shows a picture of `original` without bars or distortion
// (within a pixel of rounding).
bool sameProportions(const QSize &preview, const QSize &original)
{
    const double expected = double(preview.width()) * original.height() / original.width();
    return std::abs(expected - preview.height()) <= 1.0;
}

DecodedCell fromCache(const DecodeRequest &request, const ThumbCache::Source &source, int pixels)
{
    ThumbCache::Entry entry;
    if (!request.cache->find(source, pixels, entry))
        return {};
    QSize original = entry.original;
    // An entry without the original's size (another program's) or whose size does not match
    // its own proportions: the size is read from the file's header.
    if (original.isEmpty() || !sameProportions(entry.image.size(), original))
        original = PictureDecoder::UprightSizeOf(request.file);
    if (original.isEmpty())
        return {};
    const QSize drawn = ThumbRenderer::FitSize(original, request.cell);
    if (!covers(entry.image.size(), devicePixels(drawn, request.devicePixelRatio)) &&
        !covers(entry.image.size(), original))
        return {};
    return {PictureDecoder::SmoothScaled(entry.image, drawn), DecodedFrom::Cache};
}

DecodedCell fromEmbedded(const DecodeRequest &request)
{
    const ExifThumbnail::Embedded found =
        ExifThumbnail::FromJpegBytes(ExifThumbnail::ReadHead(request.file));
    if (found.jpeg.isEmpty())
        return {};
    QImage preview;
    if (!preview.loadFromData(found.jpeg, "JPEG"))
        return {};
    preview = ImageOrientation::TurnedUpright(preview, found.orientation);
    const QSize original = found.stored.isValid()
                               ? ImageOrientation::UprightSize(found.stored, found.orientation)
                               : PictureDecoder::UprightSizeOf(request.file);
    if (original.isEmpty() || !sameProportions(preview.size(), original))
        return {};
    const QSize drawn = ThumbRenderer::FitSize(original, request.cell);
    if (!covers(preview.size(), devicePixels(drawn, request.devicePixelRatio)))
        return {};
    return {PictureDecoder::SmoothScaled(preview, drawn), DecodedFrom::Embedded};
}

// Decodes the file at the cache size and writes the entry (or the failure); the picture is
// then shrunk to the cell. Null when the file cannot be decoded.
DecodedCell decodeIntoCache(const DecodeRequest &request, const ThumbCache::Source &source,
                            int flavor)
{
    const int side = ThumbCache::kFlavors[flavor].pixels;
    QSize original;
    const auto fit = [&original, side](const QSize &upright) {
        original = upright;
        return PictureDecoder::ShrunkWithin(upright, QSize(side, side));
    };
    QImage thumbnail = PictureDecoder::Read(request.file, fit);
    if (thumbnail.isNull())
        thumbnail = PictureDecoder::Read(request.file, fit, true);
    if (thumbnail.isNull()) {
        request.cache->writeFailure(source);
        return {};
    }
    request.cache->write(source, flavor, thumbnail, original);
    return {PictureDecoder::SmoothScaled(thumbnail, ThumbRenderer::FitSize(original, request.cell)),
            DecodedFrom::File};
}

bool isJpegName(const QString &file)
{
    const QString extension = mThumbnailer::ExtensionOf(file);
    return extension == QLatin1String("JPG") || extension == QLatin1String("JPEG") ||
           extension == QLatin1String("JPE") || extension == QLatin1String("JFIF");
}

bool isMetafileName(const QString &file)
{
    const QString extension = mThumbnailer::ExtensionOf(file);
    return extension == QLatin1String("WMF") || extension == QLatin1String("EMF");
}

} // namespace

DecodedCell DecodeCell(const DecodeRequest &request)
{
    // Metafiles are drawn (or shown as a sheet) afresh: cheap, and a sheet is no thumbnail.
    const bool cached = request.cache && !isMetafileName(request.file);
    ThumbCache::Source source;
    int pixels = 0;
    if (cached && ThumbCache::Source::Of(request.file, source) &&
        request.cache->covers(source.file)) {
        const QSize box =
            devicePixels(ThumbRenderer::InnerBox(request.cell), request.devicePixelRatio);
        pixels = std::max(box.width(), box.height());
        DecodedCell found = fromCache(request, source, pixels);
        if (found.ok())
            return found;
        if (request.cache->failed(source))
            return {};
    }
    if (request.embedded && isJpegName(request.file)) {
        DecodedCell found = fromEmbedded(request);
        if (found.ok())
            return found;
    }
    const int flavor = ThumbCache::FlavorFor(pixels);
    if (pixels > 0 && flavor >= 0 && request.cache->writesFor(source.file))
        return decodeIntoCache(request, source, flavor);
    return {ThumbRenderer::DecodeFitted(request.file, request.cell), DecodedFrom::File};
}

} // namespace Pixtile
