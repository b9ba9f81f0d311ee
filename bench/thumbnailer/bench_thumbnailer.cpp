// Rendering and painting figures of the thumbnail viewer.
//
//   bench_thumbnailer [--count N] [--distinct D] [--dir FOLDER] [--shot FILE.png]
//
// Generates N camera-like 4000 x 3000 JPEG photos (quality 92, with noise, gradients and shapes;
// D distinct pictures repeated under N names) unless FOLDER already holds them: half of them in
// FOLDER/plain, the other half in FOLDER/exif with a 160 x 120 EXIF thumbnail as cameras write
// it. Then measures in one run, per photo, for 70 x 70 cells:
//   - today's path: one scaled decode after the other on one thread;
//   - the first visit through the control with a cold thumbnail cache, decoding on all cores and
//     writing the cache entries (the plain photos);
//   - the first visit of the photos that carry an EXIF thumbnail;
//   - a revisit of both folders (warm cache);
//   - the longest wait of the event loop during the visits, and the peak memory;
//   - a naive full decode with a smooth scale, and one paint of a full visible grid.
// The thumbnail cache is the real one under XDG_CACHE_HOME = FOLDER/xdg-cache (emptied first),
// so the entries can be looked at afterwards.
#include "ThumbRenderer.h"
#include "Thumbnailer.h"
#include "ThumbnailerTestAccess.h"
#include "support_exif.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextStream>
#include <QThreadPool>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <time.h>

using namespace Pixtile;

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

// Camera-like photos: D distinct pictures under `count` names, half of them plain, half with an
// EXIF thumbnail. Nothing is made when the folder already holds them.
bool preparePhotos(const QString &dir, int count, int distinct, QStringList &plain,
                   QStringList &withExif)
{
    QDir().mkpath(dir + QStringLiteral("/plain"));
    QDir().mkpath(dir + QStringLiteral("/exif"));
    const auto name = [&dir](bool exif, int i) {
        return dir +
               (exif ? QStringLiteral("/exif/photo_%1.jpg") : QStringLiteral("/plain/photo_%1.jpg"))
                   .arg(i, 4, 10, QChar('0'));
    };
    const int half = std::max(1, count / 2);
    for (int i = 0; i < half; ++i) {
        plain << name(false, i);
        withExif << name(true, i);
    }
    if (QFile::exists(plain.last()) && QFile::exists(withExif.last()))
        return true;
    std::printf("generating %d distinct photos of 4000 x 3000 (quality 92) in %s ...\n", distinct,
                qPrintable(dir));
    std::fflush(stdout);
    for (int d = 0; d < std::min(distinct, half); ++d) {
        const QImage photo = cameraLikePhoto(quint32(1000 + d));
        if (!photo.save(plain[d], "JPG", 92))
            return false;
        const QImage preview =
            photo.scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QFile file(withExif[d]);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(PixtileTestExif::jpegWithExif(photo, preview, 1, 92)) <= 0)
            return false;
    }
    for (int i = distinct; i < half; ++i) {
        for (QStringList *list : {&plain, &withExif}) {
            QFile::remove((*list)[i]);
            if (!QFile::copy((*list)[i % distinct], (*list)[i]))
                return false;
        }
    }
    return true;
}

// Processor time of the calling thread, in ms.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

// The highest resident memory since the last reset, in MB (0 when the system does not say).
double peakMemoryMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// Starts counting the peak again from the memory in use now.
void resetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

QString loadAverage()
{
    QFile load(QStringLiteral("/proc/loadavg"));
    return load.open(QIODevice::ReadOnly) ? QString::fromLatin1(load.readAll()).section(' ', 0, 2)
                                          : QStringLiteral("?");
}

// Wall and processor time of a phase, per photo.
struct PerPhoto
{
    double wall = 0;
    double cpu = 0;
};

// Shows a folder in the control and returns the wall time in ms until its photos are all in;
// `rendered` gets the count and `returned` the time setting Path took to return.
double visit(Thumbnailer &control, const QString &folder, int &rendered, double &returned)
{
    rendered = -1;
    QEventLoop waiting;
    const QMetaObject::Connection done =
        QObject::connect(&control, &Thumbnailer::ThumbsAdded, [&](int n) {
            rendered = n;
            waiting.quit();
        });
    QElapsedTimer timer;
    timer.start();
    control.Clear();
    control.setPath(folder);
    returned = timer.nsecsElapsed() / 1e6;
    // The photos arrive from the event loop.
    if (rendered < 0) {
        QTimer::singleShot(300000, &waiting, &QEventLoop::quit);
        waiting.exec();
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    QObject::disconnect(done);
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QString dir = QDir::tempPath() + QStringLiteral("/pixtile-bench-photos");
    for (int i = 1; i + 1 < argc; ++i)
        if (QByteArray(argv[i]) == "--dir")
            dir = QString::fromLocal8Bit(argv[i + 1]);
    // The real cache rules, in a folder of the bench's own (set before Qt reads anything).
    const QString cacheHome = dir + QStringLiteral("/xdg-cache");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome));
    QApplication app(argc, argv);
    int count = 200;
    int distinct = 20;
    QString shot;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--count"))
            count = std::max(2, args[++i].toInt());
        else if (args[i] == QLatin1String("--distinct"))
            distinct = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--dir"))
            ++i;
        else if (args[i] == QLatin1String("--shot"))
            shot = args[++i];
    }
    distinct = std::min(distinct, count / 2);
    QStringList plain, withExif;
    if (!preparePhotos(dir, count, distinct, plain, withExif)) {
        std::fprintf(stderr, "cannot write the photos to %s\n", qPrintable(dir));
        return 1;
    }
    const QStringList files = plain + withExif;
    const int n = int(files.size());
    std::printf("photos: %d (4000 x 3000 JPEG, %lld KB each on average; %d with an EXIF "
                "thumbnail), cells 70 x 70\n",
                n, QFileInfo(files.first()).size() / 1024, int(withExif.size()));
    std::printf("decode workers: %d; load average before: %s\n",
                QThreadPool::globalInstance()->maxThreadCount(), qPrintable(loadAverage()));
    std::printf("thumbnail cache: %s/thumbnails\n", qPrintable(cacheHome));
    QDir(cacheHome).removeRecursively();

    ThumbRenderer::CellSpec cell;
    cell.cellWidth = cell.cellHeight = 70;
    cell.offset = 10;
    Phase timer;

    // Today's path: one scaled decode after the other, on this thread.
    const auto decodeAll = [&](const QStringList &list) {
        timer.start();
        for (const QString &file : list)
            ThumbRenderer::DecodeFitted(file, cell);
        return PerPhoto{timer.wallMs() / list.size(), timer.cpuMs() / list.size()};
    };
    const PerPhoto todayPlain = decodeAll(plain);
    const PerPhoto todayExif = decodeAll(withExif);
    const PerPhoto today{(todayPlain.wall + todayExif.wall) / 2,
                         (todayPlain.cpu + todayExif.cpu) / 2};

    Thumbnailer control;
    control.resize(800, 600);
    control.show();
    control.setThumbWidth(70);
    control.setThumbHeight(70);
    control.setPattern(QStringLiteral("*.jpg;*.jpeg"));
    // The event loop's longest wait: a timer that should fire every 5 ms notes its gaps, in
    // wall time and in the GUI thread's own processor time (what the thread spent working
    // between two turns of the loop, whatever else ran on the machine).
    QElapsedTimer gapTimer;
    double longestGapMs = 0;
    double longestBusyMs = 0;
    double busyStart = threadCpuMs();
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGapMs = std::max(longestGapMs, gapTimer.nsecsElapsed() / 1e6);
        longestBusyMs = std::max(longestBusyMs, threadCpuMs() - busyStart);
        gapTimer.restart();
        busyStart = threadCpuMs();
    });
    double longestReturnMs = 0;
    const auto timed = [&](const QString &folder, int expected, const char *what) {
        int rendered = 0;
        double returned = 0;
        gapTimer.start();
        busyStart = threadCpuMs();
        ticker.start();
        const std::clock_t cpuStart = std::clock();
        const double ms = visit(control, folder, rendered, returned);
        longestReturnMs = std::max(longestReturnMs, returned);
        const double cpu = double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC;
        ticker.stop();
        if (rendered != expected)
            std::printf("warning: %s: %d of %d photos rendered\n", what, rendered, expected);
        return PerPhoto{ms / expected, cpu / expected};
    };
    resetPeakMemory();
    const double baseMemory = peakMemoryMB();
    const PerPhoto firstPlain =
        timed(dir + QStringLiteral("/plain"), int(plain.size()), "first visit");
    const PerPhoto firstExif =
        timed(dir + QStringLiteral("/exif"), int(withExif.size()), "EXIF visit");
    const PerPhoto againPlain = timed(dir + QStringLiteral("/plain"), int(plain.size()), "revisit");
    const PerPhoto againExif =
        timed(dir + QStringLiteral("/exif"), int(withExif.size()), "revisit");
    const PerPhoto revisit{(againPlain.wall + againExif.wall) / 2,
                           (againPlain.cpu + againExif.cpu) / 2};
    const double peakMemory = peakMemoryMB();
    const int entries =
        int(QDir(cacheHome + QStringLiteral("/thumbnails/normal")).entryList(QDir::Files).size());

    // Naive: full decode, then a smooth scale to the same fitted size (a few photos).
    const int naiveCount = std::min(n, 20);
    timer.start();
    for (int i = 0; i < naiveCount; ++i) {
        const QImage full(files[i]);
        const QImage small = full.scaled(ThumbRenderer::FitSize(full.size(), cell),
                                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (small.isNull())
            std::printf("naive decode failed: %s\n", qPrintable(files[i]));
    }
    const double naive = timer.wallMs() / naiveCount;

    // One paint of the full visible grid (cells copied from memory, edges, labels).
    const int paints = 200;
    ThumbnailerTestAccess inside(control);
    inside.paintVisible();
    timer.start();
    for (int i = 0; i < paints; ++i)
        inside.paintVisible();
    const double paintMs = timer.wallMs() / paints;

    const auto row = [](const char *what, const PerPhoto &p) {
        std::printf("%-58s %9.2f %9.2f\n", what, p.wall, p.cpu);
    };
    std::printf("\n%-58s %9s %9s\n", "per photo", "wall ms", "cpu ms");
    row("today: single-thread scaled decode (all photos)", today);
    row("  of them the plain photos", todayPlain);
    row("  of them the photos with an EXIF thumbnail", todayExif);
    row("first visit, cold cache, all cores (plain photos)", firstPlain);
    row("first visit using EXIF thumbnails", firstExif);
    row("revisit, warm cache (all photos)", revisit);
    std::printf("%-58s %9.2f\n", "naive: full decode + smooth scale", naive);
    std::printf("\n%-58s %9.2f\n", "first visit speed-up (x)", todayPlain.wall / firstPlain.wall);
    std::printf("%-58s %9.2f\n", "EXIF thumbnail speed-up (x)", todayExif.wall / firstExif.wall);
    std::printf("%-58s %9.2f\n", "revisit speed-up (x)", today.wall / revisit.wall);
    std::printf("%-58s %9.1f\n", "longest wait until setting Path returned (ms)", longestReturnMs);
    std::printf("%-58s %9.1f\n", "longest event-loop wait during the visits (ms)", longestGapMs);
    std::printf("%-58s %9.1f\n", "  most GUI-thread processor time between two turns (ms)",
                longestBusyMs);
    std::printf("%-58s %9.0f\n", "peak memory during the visits (MB)", peakMemory);
    std::printf("%-58s %9.0f\n", "  memory in use before them (MB)", baseMemory);
    std::printf("%-58s %9d\n", "cache entries written (normal)", entries);
    std::printf("%-58s %9.2f\n", "one paint of the full visible grid (ms)", paintMs);
    std::printf("load average after: %s\n", qPrintable(loadAverage()));
    if (!shot.isEmpty()) {
        control.grab().save(shot);
        std::printf("screenshot: %s\n", qPrintable(shot));
    }
    return 0;
}
