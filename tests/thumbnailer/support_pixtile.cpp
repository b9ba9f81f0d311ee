#include "support_pixtile.h"

#include "Thumbnailer.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

// Every test program of the viewer keeps its thumbnail cache in a temporary folder of its own
// (tests of the cache point XDG_CACHE_HOME elsewhere themselves).
struct PrivateThumbnailCache
{
    QTemporaryDir home;
    PrivateThumbnailCache() { qputenv("XDG_CACHE_HOME", QFile::encodeName(home.path())); }
};
const PrivateThumbnailCache privateThumbnailCache;

} // namespace

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

QByteArray wmfWithShapes(int width, int height)
{
    QByteArray body;
    const auto record = [&body](int function, std::initializer_list<int> params) {
        QByteArray r(6 + 2 * int(params.size()), '\0');
        put32(r, 0, qint64(3 + params.size()));
        put16(r, 4, function);
        int at = 6;
        for (const int p : params) {
            put16(r, at, p);
            at += 2;
        }
        body += r;
    };
    record(0x020B, {0, 0});          // window origin
    record(0x020C, {height, width}); // window extent
    record(0x02FA, {5, 0, 0, 0, 0}); // a null pen (object 0)
    record(0x012D, {0});
    // Brushes: solid, 0x00BBGGRR in two words.
    record(0x02FC, {0, 0x00FF, 0x0000, 0}); // red, object 1
    record(0x012D, {1});
    record(0x041B, {height / 2, width / 2, 0, 0}); // rectangle: bottom, right, top, left
    record(0x02FC, {0, 0xFF00, 0x0000, 0});        // green, object 2
    record(0x012D, {2});
    record(0x041B, {height / 2, width, 0, width / 2});
    record(0x02FC, {0, 0x0000, 0x00FF, 0}); // blue, object 3
    record(0x012D, {3});
    record(0x041B, {height, width, height / 2, 0});
    record(0x0000, {}); // end
    QByteArray b(22 + 18, '\0');
    put32(b, 0, 0x9AC6CDD7u);
    put16(b, 10, width);
    put16(b, 12, height);
    put16(b, 14, 1000);
    int checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= quint8(b[2 * i]) | (quint8(b[2 * i + 1]) << 8);
    put16(b, 20, checksum);
    // Metafile header: type, header size, version, size in words, objects, largest record.
    put16(b, 22, 1);
    put16(b, 24, 9);
    put16(b, 26, 0x0300);
    put32(b, 28, (18 + body.size()) / 2);
    put16(b, 32, 4);
    put32(b, 34, 8);
    return b + body;
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

namespace PixtileTestWait {

bool WaitShown(Thumbnailer &control, int timeoutMs)
{
    return QTest::qWaitFor([&control] { return !control.Rendering(); }, timeoutMs);
}

} // namespace PixtileTestWait
