#include "ThumbRenderer.h"

#include "HeaderReaders.h"
#include "PictureDecoder.h"
#include "mThumbnailer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Pixtile {

namespace ThumbRenderer {

QSize InnerBox(const CellSpec &cell)
{
    const int frame = 2 * cell.outerBorder + 2 * cell.offset + 2 * cell.innerBorder;
    return QSize(std::max(1, cell.cellWidth - frame), std::max(1, cell.cellHeight - frame));
}

QSize FitSize(const QSize &picture, const CellSpec &cell)
{
    const QSize box = InnerBox(cell);
    const int innerWidth = box.width();
    const int innerHeight = box.height();
    const int w = std::max(1, picture.width());
    const int h = std::max(1, picture.height());
    if (w <= innerWidth && h <= innerHeight)
        return QSize(w, h);
    double scale = std::min(double(innerWidth) / w, double(innerHeight) / h);
    scale = std::round(scale * 10000.0) / 10000.0; // four decimal places
    // The rounded scale may be larger than the exact one: for a very long picture the long side
    // would then pass the box, so it is held to it.
    return QSize(std::max(1, std::min(int(std::lround(w * scale)), innerWidth)),
                 std::max(1, std::min(int(std::lround(h * scale)), innerHeight)));
}

namespace {

// Metafiles cannot be decoded here: they are shown as a sheet of their own proportions.
QImage metafileSheet(const QString &file, const CellSpec &cell)
{
    const QString extension = mThumbnailer::ExtensionOf(file);
    int w = 0, h = 0;
    if (extension == QLatin1String("EMF")) {
        if (!HeaderReaders::ReadEmfSize(file, w, h))
            return QImage();
    } else if (extension == QLatin1String("WMF")) {
        if (!HeaderReaders::ReadSizeByExtension(extension, file, w, h))
            return QImage();
    } else {
        return QImage();
    }
    const QSize drawn = FitSize(QSize(w, h), cell);
    QImage sheet(drawn, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(0, 0, drawn.width() - 1, drawn.height() - 1);
    if (drawn.width() > 24 && drawn.height() > 12) {
        QFont font = painter.font();
        font.setPixelSize(std::min(10, drawn.height() - 2));
        painter.setFont(font);
        painter.drawText(sheet.rect(), Qt::AlignCenter, extension);
    }
    return sheet;
}

} // namespace

QImage DecodeFitted(const QString &file, const CellSpec &cell)
{
    const auto fit = [&cell](const QSize &upright) { return FitSize(upright, cell); };
    QImage image = PictureDecoder::Read(file, fit);
    // A name whose suffix misleads (a .dib holding a whole bitmap file) is read by its content.
    if (image.isNull())
        image = PictureDecoder::Read(file, fit, true);
    if (image.isNull())
        image = metafileSheet(file, cell);
    return image;
}

} // namespace ThumbRenderer

} // namespace Pixtile
