// Time and memory of decoding large pictures for a thumbnail cell and for the photo viewer.
//
//   bench_large_pictures [--dir FOLDER] [--megapixels N]
//
// Writes, unless FOLDER already holds them, a 7000 x 5000 bitmap and pictures of about N
// megapixels (default 100) as a 24-bit, an 8-bit palette and a 1-bit bitmap and as a JPEG, then
// decodes each one into a 70 x 70 cell and for a 1920 x 1080 viewer. For every decode it prints
// the wall time and how far the peak resident memory rose above what the process held before.
#include "PictureDecoder.h"
#include "ThumbRenderer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QtEndian>

#include <cmath>
#include <cstdio>

using namespace Pixtile;

namespace {

// Resident memory figures of this process in KiB (VmRSS, VmHWM).
qint64 statusKiB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toLongLong();
    return -1;
}

// Starts a new peak: the kernel sets the peak back to the current resident size.
bool resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

void put16(QByteArray &b, int offset, int value)
{
    qToLittleEndian<quint16>(quint16(value), b.data() + offset);
}
void put32(QByteArray &b, int offset, qint64 value)
{
    qToLittleEndian<quint32>(quint32(value), b.data() + offset);
}

// A bitmap file of `bits` per pixel (24, 8 or 1) written row by row, never held whole.
bool writeBitmap(const QString &path, int width, int height, int bits)
{
    if (QFile::exists(path))
        return true;
    const int colours = bits == 24 ? 0 : (1 << bits);
    const int rowBytes = ((width * bits + 31) / 32) * 4;
    const int offset = 14 + 40 + colours * 4;
    QByteArray header(offset, '\0');
    header[0] = 'B';
    header[1] = 'M';
    put32(header, 2, qint64(offset) + qint64(rowBytes) * height);
    put32(header, 10, offset);
    put32(header, 14, 40);
    put32(header, 18, width);
    put32(header, 22, height);
    put16(header, 26, 1);
    put16(header, 28, bits);
    put32(header, 46, colours);
    for (int i = 0; i < colours; ++i) {
        const int v = colours == 2 ? i * 255 : i;
        put32(header, 54 + i * 4, qint64(v) | (qint64(255 - v) << 8) | (qint64(v / 2) << 16));
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(header) != header.size())
        return false;
    QByteArray row(rowBytes, '\0');
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < rowBytes; ++x)
            row[x] = char((x / 3 + y / 7) & 0xFF);
        if (bits == 1)
            row.fill(char((y & 1) ? 0xAA : 0x55));
        if (file.write(row) != row.size())
            return false;
    }
    return true;
}

bool writeJpeg(const QString &path, int width, int height)
{
    if (QFile::exists(path))
        return true;
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x / 13) & 0xFF, (y / 11) & 0xFF, ((x + y) / 17) & 0xFF);
    }
    return image.save(path, "JPG", 90);
}

void measure(const char *what, const QString &file)
{
    const qint64 before = statusKiB("VmRSS:");
    const bool peakReset = resetPeak();
    QElapsedTimer timer;
    timer.start();
    ThumbRenderer::CellSpec cell;
    cell.cellWidth = cell.cellHeight = 70;
    const QImage thumb = ThumbRenderer::DecodeFitted(file, cell);
    const double cellMs = timer.nsecsElapsed() / 1e6;
    const qint64 cellPeak = statusKiB("VmHWM:");
    resetPeak();
    timer.restart();
    const QImage shown = PictureDecoder::ReadWithin(file, QSize(1920, 1080));
    const double viewerMs = timer.nsecsElapsed() / 1e6;
    const qint64 viewerPeak = statusKiB("VmHWM:");
    std::printf("%-34s %4s %8.0f %9lld %8.0f %9lld\n", what, thumb.isNull() ? "no" : "yes", cellMs,
                peakReset ? (cellPeak - before) / 1024 : -1, viewerMs,
                peakReset ? (viewerPeak - before) / 1024 : -1);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString dir = QDir::tempPath() + QStringLiteral("/pixtile-bench-large");
    double megapixels = 100;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--dir"))
            dir = args[++i];
        else if (args[i] == QLatin1String("--megapixels"))
            megapixels = std::max(1.0, args[++i].toDouble());
    }
    QDir().mkpath(dir);
    // 10 : 7 like a camera frame.
    const int width = int(std::lround(std::sqrt(megapixels * 1e6 * 10.0 / 7.0)));
    const int height = int(std::lround(megapixels * 1e6 / width));
    const QString mp = QStringLiteral("%1x%2").arg(width).arg(height);
    std::printf("writing pictures to %s (this takes a while the first time) ...\n",
                qPrintable(dir));
    std::fflush(stdout);
    const QString bmp7000 = dir + QStringLiteral("/7000x5000-24.bmp");
    const QString bmp24 = dir + QStringLiteral("/%1-24.bmp").arg(mp);
    const QString bmp8 = dir + QStringLiteral("/%1-8.bmp").arg(mp);
    const QString bmp1 = dir + QStringLiteral("/%1-1.bmp").arg(mp);
    const QString jpeg = dir + QStringLiteral("/%1.jpg").arg(mp);
    if (!writeBitmap(bmp7000, 7000, 5000, 24) || !writeBitmap(bmp24, width, height, 24) ||
        !writeBitmap(bmp8, width, height, 8) || !writeBitmap(bmp1, width, height, 1) ||
        !writeJpeg(jpeg, width, height)) {
        std::fprintf(stderr, "cannot write the pictures to %s\n", qPrintable(dir));
        return 1;
    }
    std::printf("decode limit per picture: %d MB; working copies below %lld MB\n",
                PictureDecoder::kDecodeLimitMB, PictureDecoder::kWorkingCopyBytes >> 20);
    std::printf("\n%-34s %4s %8s %9s %8s %9s\n", "picture", "ok", "cell ms", "cell MB", "view ms",
                "view MB");
    std::printf("%-34s %4s %8s %9s %8s %9s\n", "", "", "", "(peak+)", "", "(peak+)");
    measure("7000 x 5000 bitmap, 24-bit", bmp7000);
    const QString size = QStringLiteral("%1 x %2").arg(width).arg(height);
    measure(qPrintable(size + QStringLiteral(" bitmap, 24-bit")), bmp24);
    measure(qPrintable(size + QStringLiteral(" bitmap, 8-bit")), bmp8);
    measure(qPrintable(size + QStringLiteral(" bitmap, 1-bit")), bmp1);
    measure(qPrintable(size + QStringLiteral(" JPEG")), jpeg);
    return 0;
}
