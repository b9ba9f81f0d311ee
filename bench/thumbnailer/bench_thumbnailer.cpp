// Rendering and painting figures of the thumbnail viewer.
//
//   bench_thumbnailer [--count N] [--distinct D] [--dir FOLDER] [--shot FILE.png]
//
// Generates N camera-like 4000 x 3000 JPEG photos (quality 92, with noise, gradients and shapes;
// D distinct pictures repeated under N names) unless FOLDER already holds them, then measures in
// one run: listing and rendering the folder into 70 x 70 cells (our path: one scaled decode per
// photo), a naive full decode followed by a smooth scale, and one paint of a full visible grid.
#include "ThumbRenderer.h"
#include "Thumbnailer.h"
#include "ThumbnailerTestAccess.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextStream>

#include <cstdio>
#include <ctime>

namespace {

// Wall-clock and processor time of one phase (the processor time is what the phase costs when
// the machine is shared with other work).
struct Phase
{
    QElapsedTimer wall;
    std::clock_t cpuStart = 0;
    void start()
    {
        wall.start();
        cpuStart = std::clock();
    }
    double wallMs() const { return wall.nsecsElapsed() / 1e6; }
    double cpuMs() const { return double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC; }
};

QImage cameraLikePhoto(quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(4000, 3000, QImage::Format_RGB32);
    const int baseR = random.bounded(60, 200);
    const int baseG = random.bounded(60, 200);
    const int baseB = random.bounded(60, 200);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const int shade = y * 60 / image.height();
        quint32 state = random.generate();
        for (int x = 0; x < image.width(); ++x) {
            state = state * 1664525u + 1013904223u; // cheap per-pixel grain
            const int grain = int((state >> 24) % 41) - 20;
            const int wave = int(30.0 * ((x / 37 + y / 53) % 7) / 7.0);
            line[x] = qRgb(std::clamp(baseR + shade + grain + wave, 0, 255),
                           std::clamp(baseG - shade / 2 + grain, 0, 255),
                           std::clamp(baseB + grain - wave, 0, 255));
        }
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 120; ++i) {
        painter.setPen(QPen(QColor::fromRgb(random.generate()), random.bounded(1, 12)));
        painter.setBrush(i % 3 ? QBrush(QColor::fromRgb(random.generate() | 0x40000000u))
                               : QBrush(Qt::NoBrush));
        const QRect r(random.bounded(-200, 3900), random.bounded(-200, 2900),
                      random.bounded(40, 900), random.bounded(40, 700));
        if (i % 2)
            painter.drawEllipse(r);
        else
            painter.drawRect(r);
    }
    QFont font = painter.font();
    font.setPixelSize(90);
    painter.setFont(font);
    painter.setPen(Qt::white);
    for (int i = 0; i < 12; ++i)
        painter.drawText(random.bounded(0, 3500), random.bounded(100, 2900),
                         QStringLiteral("Sample %1").arg(random.bounded(1000)));
    return image;
}

bool preparePhotos(const QString &dir, int count, int distinct)
{
    QDir().mkpath(dir);
    const QString last = dir + QStringLiteral("/photo_%1.jpg").arg(count - 1, 4, 10, QChar('0'));
    if (QFile::exists(last))
        return true;
    std::printf("generating %d distinct photos of 4000 x 3000 (quality 92) in %s ...\n", distinct,
                qPrintable(dir));
    std::fflush(stdout);
    for (int d = 0; d < distinct; ++d) {
        const QString name = dir + QStringLiteral("/photo_%1.jpg").arg(d, 4, 10, QChar('0'));
        if (!cameraLikePhoto(quint32(1000 + d)).save(name, "JPG", 92))
            return false;
    }
    for (int i = distinct; i < count; ++i) {
        const QString from =
            dir + QStringLiteral("/photo_%1.jpg").arg(i % distinct, 4, 10, QChar('0'));
        const QString to = dir + QStringLiteral("/photo_%1.jpg").arg(i, 4, 10, QChar('0'));
        QFile::remove(to);
        if (!QFile::copy(from, to))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int count = 200;
    int distinct = 20;
    QString dir = QDir::tempPath() + QStringLiteral("/pixtile-bench-photos");
    QString shot;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--count"))
            count = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--distinct"))
            distinct = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--dir"))
            dir = args[++i];
        else if (args[i] == QLatin1String("--shot"))
            shot = args[++i];
    }
    distinct = std::min(distinct, count);
    if (!preparePhotos(dir, count, distinct)) {
        std::fprintf(stderr, "cannot write the photos to %s\n", qPrintable(dir));
        return 1;
    }
    QStringList files;
    for (int i = 0; i < count; ++i)
        files << dir + QStringLiteral("/photo_%1.jpg").arg(i, 4, 10, QChar('0'));
    std::printf("photos: %d (4000 x 3000 JPEG, %lld KB each on average), cells 70 x 70\n", count,
                QFileInfo(files.first()).size() / 1024);

    // Our path through the control: list, one scaled decode per photo into memory cells, paint.
    Thumbnailer control;
    control.resize(800, 600);
    control.show();
    control.setThumbWidth(70);
    control.setThumbHeight(70);
    control.setPattern(QStringLiteral("*.jpg;*.jpeg"));
    int rendered = 0;
    QObject::connect(&control, &Thumbnailer::ThumbsAdded, [&](int n) { rendered = n; });
    // The event loop runs between files: the longest gap between two files is how long the
    // interface can be kept waiting while a folder renders.
    QElapsedTimer gapTimer;
    double longestGapMs = 0;
    QObject::connect(&control, &Thumbnailer::AfterThumbAdd, [&](int index) {
        if (index > 1)
            longestGapMs = std::max(longestGapMs, gapTimer.nsecsElapsed() / 1e6);
        gapTimer.restart();
    });
    Phase timer;
    timer.start();
    gapTimer.start();
    control.setPath(dir);
    const double ourMs = timer.wallMs();
    const double ourCpu = timer.cpuMs();
    if (rendered != count)
        std::printf("warning: %d of %d photos rendered\n", rendered, count);

    // The decode alone, for the same photos.
    ThumbRenderer::CellSpec cell;
    cell.cellWidth = cell.cellHeight = 70;
    cell.offset = control.ThumbOffset();
    timer.start();
    for (const QString &file : files)
        ThumbRenderer::DecodeFitted(file, cell);
    const double decodeMs = timer.wallMs();
    const double decodeCpu = timer.cpuMs();

    // Naive: full decode, then a smooth scale to the same fitted size.
    timer.start();
    for (const QString &file : files) {
        const QImage full(file);
        const QSize fitted = ThumbRenderer::FitSize(full.size(), cell);
        const QImage small = full.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (small.isNull())
            std::printf("naive decode failed: %s\n", qPrintable(file));
    }
    const double naiveMs = timer.wallMs();
    const double naiveCpu = timer.cpuMs();

    // One paint of the full visible grid (cells copied from memory, edges, labels).
    const int paints = 200;
    ThumbnailerTestAccess inside(control);
    inside.paintVisible();
    timer.start();
    for (int i = 0; i < paints; ++i)
        inside.paintVisible();
    const double paintMs = timer.wallMs() / paints;
    const double paintCpu = timer.cpuMs() / paints;

    std::printf("\n%-52s %9s %9s\n", "per photo", "wall ms", "cpu ms");
    std::printf("%-52s %9.1f %9.1f\n", "our path: list + scaled decode + cells + paint",
                ourMs / count, ourCpu / count);
    std::printf("%-52s %9.1f %9.1f\n", "our decode alone (scaled decode to fitted size)",
                decodeMs / count, decodeCpu / count);
    std::printf("%-52s %9.1f %9.1f\n", "naive: full decode + smooth scale", naiveMs / count,
                naiveCpu / count);
    std::printf("%-52s %9.2f %9.2f\n", "speed-up of our path over naive (x)", naiveMs / ourMs,
                naiveCpu / ourCpu);
    std::printf("%-52s %9.2f %9.2f\n", "one paint of the full visible grid (ms)", paintMs,
                paintCpu);
    std::printf("%-52s %9.1f\n", "longest wait of the event loop while rendering (ms)",
                longestGapMs);
    std::printf("  (%d items visible of %d on a %d x %d surface)\n",
                control.VisibleLast() - control.VisibleFirst() + 1, control.Items(),
                inside.canvas().width(), inside.canvas().height());
    if (!shot.isEmpty()) {
        control.grab().save(shot);
        std::printf("screenshot: %s\n", qPrintable(shot));
    }
    return 0;
}
