#include "support_pixtile.h"

#include <QFile>
#include <QImage>
#include <QtEndian>

namespace PixtileTestFiles {

bool writeImage(const QString &path, int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image.save(path, nullptr, 95);
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

static void put16(QByteArray &b, int offset, int value)
{
    qToLittleEndian<quint16>(quint16(value), b.data() + offset);
}
static void put32(QByteArray &b, int offset, qint64 value)
{
    qToLittleEndian<quint32>(quint32(value), b.data() + offset);
}

QByteArray gifBytes(int width, int height)
{
    QByteArray b = QByteArray::fromHex(
        "47494638396101000100800000000000FFFFFF2C00000000010001000002024401003B");
    put16(b, 6, width);
    put16(b, 8, height);
    return b;
}

QByteArray wmfBytes(int left, int top, int right, int bottom, int unitsPerInch)
{
    QByteArray b(22 + 18, '\0');
    put32(b, 0, 0x9AC6CDD7u);
    put16(b, 6, left);
    put16(b, 8, top);
    put16(b, 10, right);
    put16(b, 12, bottom);
    put16(b, 14, unitsPerInch);
    return b;
}

QByteArray emfBytes(int left, int top, int right, int bottom)
{
    QByteArray b(108, '\0');
    put32(b, 0, 1);
    put32(b, 4, 108);
    put32(b, 8, left);
    put32(b, 12, top);
    put32(b, 16, right);
    put32(b, 20, bottom);
    put32(b, 40, 0x464D4520u);
    return b;
}

} // namespace PixtileTestFiles
