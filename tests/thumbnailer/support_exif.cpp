#include "support_exif.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>

namespace PixtileTestExif {

namespace {

QByteArray jpegBytes(const QImage &image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

void put16(QByteArray &b, int value)
{
    char v[2];
    qToLittleEndian<quint16>(quint16(value), v);
    b.append(v, 2);
}

void put32(QByteArray &b, quint32 value)
{
    char v[4];
    qToLittleEndian<quint32>(value, v);
    b.append(v, 4);
}

// One IFD entry: tag, type (3 SHORT, 4 LONG), count 1, value.
void entry(QByteArray &b, int tag, int type, quint32 value)
{
    put16(b, tag);
    put16(b, type);
    put32(b, 1);
    if (type == 3) {
        put16(b, int(value));
        put16(b, 0);
    } else {
        put32(b, value);
    }
}

} // namespace

QByteArray jpegWithExif(const QImage &stored, const QImage &thumbnail, int orientation, int quality)
{
    const QByteArray photo = jpegBytes(stored, quality);
    const QByteArray preview = thumbnail.isNull() ? QByteArray() : jpegBytes(thumbnail, 85);
    // TIFF structure, little-endian: header, IFD0 (orientation), IFD1 (the thumbnail).
    QByteArray tiff("II*\0", 4);
    put32(tiff, 8);
    const int ifd0Entries = orientation > 0 ? 1 : 0;
    const int ifd1 = 8 + 2 + 12 * ifd0Entries + 4;
    put16(tiff, ifd0Entries);
    if (orientation > 0)
        entry(tiff, 0x0112, 3, quint32(orientation));
    put32(tiff, preview.isEmpty() ? 0 : quint32(ifd1));
    if (!preview.isEmpty()) {
        const int data = ifd1 + 2 + 3 * 12 + 4;
        put16(tiff, 3);
        entry(tiff, 0x0103, 3, 6); // compression: JPEG
        entry(tiff, 0x0201, 4, quint32(data));
        entry(tiff, 0x0202, 4, quint32(preview.size()));
        put32(tiff, 0);
        tiff += preview;
    }
    QByteArray app1("\xFF\xE1", 2);
    const int length = 2 + 6 + int(tiff.size());
    app1.append(char(length >> 8)).append(char(length & 0xFF));
    app1.append("Exif\0\0", 6).append(tiff);
    return photo.left(2) + app1 + photo.mid(2);
}

} // namespace PixtileTestExif
