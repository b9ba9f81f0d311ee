#include "HeaderReaders.h"

#include "NativeNames.h"

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>

#include <atomic>

#include <cmath>

namespace Pixtile {

namespace HeaderReaders {
namespace {

quint16 le16(const uchar *p)
{
    return quint16(p[0] | (p[1] << 8));
}
quint32 le32(const uchar *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}
quint16 be16(const uchar *p)
{
    return quint16((p[0] << 8) | p[1]);
}

// Reads exactly `count` bytes from the start of the file; false when it is shorter.
bool readHead(const QString &file, qint64 count, QByteArray &bytes)
{
    QFile f(file);
    if (!NativeNames::Open(f, QIODevice::ReadOnly))
        return false;
    bytes = f.read(count);
    return bytes.size() == count;
}

bool done(int w, int h, int &width, int &height)
{
    if (w == 0 || h == 0)
        return false;
    width = w;
    height = h;
    return true;
}

} // namespace

bool ReadBitmapSize(const QString &file, int &width, int &height)
{
    QByteArray bytes;
    if (!readHead(file, 14 + 12, bytes))
        return false;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    if (p[0] != 'B' || p[1] != 'M')
        return false;
    const quint32 headerSize = le32(p + 14);
    if (headerSize == 12) // the old core header: 16-bit sizes
        return done(le16(p + 18), le16(p + 20), width, height);
    if (!readHead(file, 14 + 40, bytes))
        return false;
    p = reinterpret_cast<const uchar *>(bytes.constData());
    const qint32 w = qint32(le32(p + 18));
    const qint32 h = qint32(le32(p + 22));
    // A negative height marks a top-down bitmap; its size is the magnitude.
    if (w == INT32_MIN || h == INT32_MIN)
        return false;
    return done(std::abs(w), std::abs(h), width, height);
}

bool ReadGifSize(const QString &file, int &width, int &height)
{
    QByteArray bytes;
    if (!readHead(file, 10, bytes))
        return false;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    if (!bytes.startsWith("GIF"))
        return false;
    return done(le16(p + 6), le16(p + 8), width, height);
}

bool ReadJpegSize(const QString &file, int &width, int &height)
{
    QFile f(file);
    if (!NativeNames::Open(f, QIODevice::ReadOnly))
        return false;
    char c0 = 0, c1 = 0;
    if (!f.getChar(&c0) || !f.getChar(&c1) || uchar(c0) != 0xFF || uchar(c1) != 0xD8)
        return false;
    char c = 0;
    for (;;) {
        // Advance to the next FF and past any fill bytes; what follows is the marker.
        do {
            if (!f.getChar(&c))
                return false;
        } while (uchar(c) != 0xFF);
        do {
            if (!f.getChar(&c))
                return false;
        } while (uchar(c) == 0xFF);
        const uchar marker = uchar(c);
        if (marker >= 0xC0 && marker <= 0xC3) {
            const QByteArray frame = f.read(7);
            if (frame.size() != 7)
                return false;
            const auto *p = reinterpret_cast<const uchar *>(frame.constData());
            return done(be16(p + 5), be16(p + 3), width, height);
        }
        if (marker == 0xDA || marker == 0xD9)
            return false;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // markers without a segment
        const QByteArray length = f.read(2);
        if (length.size() != 2)
            return false;
        const int segment = be16(reinterpret_cast<const uchar *>(length.constData()));
        if (segment < 2)
            return false;
        if (!f.seek(f.pos() + segment - 2) || f.pos() > f.size())
            return false;
    }
}

bool ReadEmfSize(const QString &file, int &width, int &height)
{
    QByteArray bytes;
    if (!readHead(file, 88, bytes))
        return false;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    // EMR_HEADER record, " EMF" signature at offset 40.
    if (le32(p) != 1 || le32(p + 40) != 0x464D4520u)
        return false;
    const qint64 left = qint32(le32(p + 8));
    const qint64 top = qint32(le32(p + 12));
    const qint64 right = qint32(le32(p + 16));
    const qint64 bottom = qint32(le32(p + 20));
    const qint64 w = right - left;
    const qint64 h = bottom - top;
    if (w <= 0 || h <= 0 || w > 1000000 || h > 1000000)
        return false;
    return done(int(w), int(h), width, height);
}

bool ReadWmfSize(const QString &file, int &width, int &height)
{
    QByteArray bytes;
    if (!readHead(file, 22, bytes))
        return false;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    if (le32(p) != 0x9AC6CDD7u)
        return false; // a plain metafile has no size of its own
    const int left = qint16(le16(p + 6));
    const int top = qint16(le16(p + 8));
    const int right = qint16(le16(p + 10));
    const int bottom = qint16(le16(p + 12));
    const int inch = le16(p + 14);
    if (inch == 0)
        return false;
    const long w = std::lround(double(right - left) * 2540.0 / inch);
    const long h = std::lround(double(bottom - top) * 2540.0 / inch);
    if (w < -32768 || w > 32767 || h < -32768 || h > 32767)
        return false;
    return done(int(std::labs(w)), int(std::labs(h)), width, height);
}

// The screen is asked on the GUI thread only; other threads (decoding metafiles) use what it
// said last.
static std::atomic<double> s_dpiX{96.0};
static std::atomic<double> s_dpiY{96.0};

static double logicalDpi(bool horizontal)
{
    const QCoreApplication *app = QCoreApplication::instance();
    if (qobject_cast<const QGuiApplication *>(app) && QThread::currentThread() == app->thread()) {
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            s_dpiX.store(screen->logicalDotsPerInchX());
            s_dpiY.store(screen->logicalDotsPerInchY());
        }
    }
    return horizontal ? s_dpiX.load() : s_dpiY.load();
}

int HimetricToPixelsX(int himetric)
{
    return int(std::lround(himetric * logicalDpi(true) / 2540.0));
}

int HimetricToPixelsY(int himetric)
{
    return int(std::lround(himetric * logicalDpi(false) / 2540.0));
}

bool HasReader(const QString &extension)
{
    static const QStringList known = {
        QStringLiteral("BMP"),  QStringLiteral("DIB"), QStringLiteral("GIF"), QStringLiteral("JPG"),
        QStringLiteral("JPEG"), QStringLiteral("EMF"), QStringLiteral("WMF")};
    return known.contains(extension);
}

bool ReadSizeByExtension(const QString &extension, const QString &file, int &width, int &height)
{
    if (extension == QLatin1String("BMP") || extension == QLatin1String("DIB"))
        return ReadBitmapSize(file, width, height);
    if (extension == QLatin1String("GIF"))
        return ReadGifSize(file, width, height);
    if (extension == QLatin1String("JPG") || extension == QLatin1String("JPEG"))
        return ReadJpegSize(file, width, height);
    if (extension == QLatin1String("EMF"))
        return ReadEmfSize(file, width, height);
    if (extension == QLatin1String("WMF")) {
        int w = 0, h = 0;
        if (!ReadWmfSize(file, w, h))
            return false;
        width = HimetricToPixelsX(w);
        height = HimetricToPixelsY(h);
        return true;
    }
    return false;
}

} // namespace HeaderReaders

} // namespace Pixtile
