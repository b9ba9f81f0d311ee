// Prints what opening a large tree costs: the floor (the engine reading every value of the
// table, nothing kept), loading the tree until its first row is drawn, resident memory with the
// tree open, a click that opens a row of 1,000 children (cutting the rows, finding the
// children, layout and drawing), and a click on a person with 200 photos while the information
// panel is shown (until the click returns to the event loop, and until the photos are in).
//
//   bench_app [persons] [children] [folder]
//
// With a folder, the database is made there and kept, and a later run with the same figures
// uses it again instead of generating the tree anew.
//
// The tree is made by the test suite's generator: every column filled as real trees fill them,
// one root with `children` children, founders and their descendants over several generations.
#include "AppState.h"
#include "ChartView.h"
#include "FindPersonDialog.h"
#include "InfoPanel.h"
#include "LoadTree.h"
#include "OpenTree.h"
#include "PeopleBuilder.h"
#include "PersonFinder.h"
#include "PhotoFolders.h"
#include "SqliteFloor.h"
#include "Thumbnailer.h"
#include "TreeChart.h"
#include "mDatabase.h"
#include "support_TreeGenerator.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double elapsedMs(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

// CPU time of this thread and of the whole process: the machine may be shared, and then
// wall-clock figures swing with the load of other programs.
double cpuMs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}
double threadMs()
{
    return cpuMs(CLOCK_THREAD_CPUTIME_ID);
}
double processMs()
{
    return cpuMs(CLOCK_PROCESS_CPUTIME_ID);
}

// A photo as a camera leaves it, in small: grain, gradients and shapes, 2400 x 1800, quality 90.
QImage photoLike(quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(2400, 1800, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        quint32 state = random.generate();
        for (int x = 0; x < image.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            const int grain = int((state >> 24) % 41) - 20;
            line[x] = qRgb(std::clamp(90 + y / 20 + grain, 0, 255),
                           std::clamp(120 + x / 30 + grain, 0, 255),
                           std::clamp(150 - y / 30 + grain, 0, 255));
        }
    }
    QPainter painter(&image);
    for (int i = 0; i < 60; ++i) {
        painter.setBrush(QColor::fromRgb(random.generate()));
        painter.drawEllipse(random.bounded(0, 2300), random.bounded(0, 1700),
                            random.bounded(40, 600), random.bounded(40, 500));
    }
    return image;
}

// `count` photos in the person's photo folder (20 distinct ones under `count` names); nothing is
// made when they are there.
bool makePhotos(const QString &folder, int count)
{
    QDir().mkpath(folder);
    const auto name = [&folder](int i) {
        return folder + QStringLiteral("photo_%1.jpg").arg(i, 4, 10, QChar('0'));
    };
    if (QFileInfo::exists(name(count - 1)))
        return true;
    const int distinct = std::min(count, 20);
    for (int i = 0; i < distinct; ++i)
        if (!photoLike(quint32(7000 + i)).save(name(i), "JPG", 90))
            return false;
    for (int i = distinct; i < count; ++i)
        if (!QFile::copy(name(i % distinct), name(i)))
            return false;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // The photos' thumbnail cache of this run, never the user's.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    QApplication app(argc, argv);
    const int persons = argc > 1 ? std::max(10, atoi(argv[1])) : 100000;
    const int children = argc > 2 ? std::max(1, atoi(argv[2])) : 1000;
    const QString treeName = QStringLiteral("Big");

    QTemporaryDir temporary;
    const QString folder = argc > 3 ? QString::fromLocal8Bit(argv[3]) : temporary.path();
    QDir().mkpath(folder);
    const QString dataPath = folder + QStringLiteral("/");
    const QString file = dataPath + QStringLiteral("people-%1-%2.db").arg(persons).arg(children);
    mDatabase store;
    QElapsedTimer t;
    t.start();
    if (!QFileInfo::exists(file)) {
        // Made under another name and renamed when complete: a run cut short leaves no tree.
        const QString part = file + QStringLiteral(".part");
        QFile::remove(part);
        store.SetPaths(dataPath, part);
        QString error;
        if (!store.OpenDatabase() || !store.CreateTree(treeName) ||
            !TreeGenerator(persons, children).Write(part, treeName, &error)) {
            std::fprintf(stderr, "could not make the tree: %s\n", qPrintable(error));
            return 1;
        }
        store.CloseDatabase();
        QFile::rename(part, file);
        std::printf("generated %d persons in %.0f ms\n", persons, elapsedMs(t));
    }
    store.SetPaths(dataPath, file);
    if (!store.OpenDatabase()) {
        std::fprintf(stderr, "could not open %s\n", qPrintable(file));
        return 1;
    }

    std::vector<double> floors;
    std::vector<double> floorsCpu;
    long long rows = 0;
    for (int i = 0; i < 3; ++i) {
        const double cpu = threadMs();
        floors.push_back(ReadFloorMs(file, treeName, &rows));
        floorsCpu.push_back(threadMs() - cpu);
    }
    const double floor = median(floors);

    QWidget window;
    window.resize(1280, 800);
    TreeChart chart(&window);
    chart.setGeometry(0, 0, 1280, 800);
    ApplyMainWindowDesign(chart);
    window.show();
    QApplication::processEvents();
    OpenTree tree(store);
    ChartView view(tree, chart); // the main window's chart: its walk and its clicks

    const long long before = ResidentKiB();
    long long open = 0;
    std::vector<double> loads;
    std::vector<double> loadsCpu;
    std::vector<double> loadsAllCpu;
    for (int i = 0; i < 3; ++i) {
        t.restart();
        const double cpu = threadMs();
        const double all = processMs();
        LoadTree(tree, nullptr, treeName, &window);
        chart.repaint();
        loads.push_back(elapsedMs(t));
        loadsCpu.push_back(threadMs() - cpu);
        loadsAllCpu.push_back(processMs() - all);
        if (i == 0)
            open = ResidentKiB();
        // Whatever the previous tree left to do runs once the new one is on screen.
        t.restart();
        QApplication::processEvents();
        std::printf("  load %d: %.1f ms until drawn, then %.1f ms of further events\n", i + 1,
                    loads.back(), elapsedMs(t));
    }
    const long long peak = PeakResidentKiB();
    const int firstRow = chart.Levels().Count() ? chart.Levels().Item(1)->Count() : 0;

    // Alternate between the root (opens `children` boxes) and one of its children (opens the
    // grandchildren), as a user walking up and down would.
    std::vector<double> wide;
    std::vector<double> narrow;
    for (int i = 0; i < 11; ++i) {
        const cNodePtr root = chart.Levels().Item(1)->Item(TreeGenerator::WideRootKey());
        chart.setSelectedNode(root);
        t.restart();
        view.VTree_NodeClick(root, true);
        chart.repaint();
        QApplication::processEvents();
        wide.push_back(elapsedMs(t));

        const cNodePtr child = chart.Levels().Item(2)->Item(children / 2 + 1);
        chart.setSelectedNode(child);
        t.restart();
        view.VTree_NodeClick(child, true);
        chart.repaint();
        QApplication::processEvents();
        narrow.push_back(elapsedMs(t));
    }

    // A click on a person with 200 photos while the information panel is shown, as the main
    // window wires it: until the click returns to the event loop, and until the photos are in.
    // The root (no photos) is clicked in between; the first visit decodes, the later ones find
    // the pictures in the thumbnail cache.
    constexpr int kPhotos = 200;
    AppState state;
    state.DataPath = dataPath;
    InfoPanel panel(state);
    panel.resize(InfoPanel::kPanelWidth, 800);
    panel.show();
    const QMetaObject::Connection fill = QObject::connect(
        &tree, &OpenTree::PersonSelected, &panel,
        [&panel](const cPersonPtr &person) { panel.FillInfoPanel(*person); });
    const cNodePtr pictured = chart.Levels().Item(2)->Item(children / 2 + 1);
    const QString photos = PhotoFolders::FolderOf(dataPath, pictured->Key());
    std::vector<double> clickReturns;
    std::vector<double> photosIn;
    int photosShown = 0;
    if (!makePhotos(photos, kPhotos)) {
        std::fprintf(stderr, "could not write the photos to %s\n", qPrintable(photos));
        return 1;
    }
    for (int i = 0; i < 6; ++i) {
        const cNodePtr root = chart.Levels().Item(1)->Item(TreeGenerator::WideRootKey());
        chart.setSelectedNode(root);
        view.VTree_NodeClick(root, true);
        QApplication::processEvents();
        const cNodePtr person = chart.Levels().Item(2)->Item(pictured->Key());
        chart.setSelectedNode(person);
        int added = -1;
        QEventLoop waiting;
        const QMetaObject::Connection done =
            QObject::connect(panel.thumbnailer(), &Thumbnailer::ThumbsAdded, [&](int items) {
                added = items;
                waiting.quit();
            });
        t.restart();
        view.VTree_NodeClick(person, true);
        clickReturns.push_back(elapsedMs(t));
        if (added < 0) {
            QTimer::singleShot(120000, &waiting, &QEventLoop::quit);
            waiting.exec();
        }
        photosIn.push_back(elapsedMs(t));
        photosShown = added;
        QObject::disconnect(done);
    }
    QObject::disconnect(fill);
    const std::vector<double> revisitReturns(clickReturns.begin() + 1, clickReturns.end());
    const std::vector<double> revisitPhotos(photosIn.begin() + 1, photosIn.end());

    // The find dialog on the open tree: its index, then typing a name one key at a time.
    const double findStart = threadMs();
    PersonFinder finder;
    finder.Build(tree.People());
    const double findIndex = threadMs() - findStart;
    QStringList keystrokes;
    const QString typed = QStringLiteral("Malmlund Gusrid");
    for (int i = 1; i <= typed.size(); ++i)
        keystrokes << typed.left(i);
    keystrokes << QStringLiteral("a") << QStringLiteral("ström") << QStringLiteral("i4711");
    std::vector<double> queries;
    std::vector<double> typing;
    {
        FindPersonDialog dialog(tree.People(), finder, [](const cPerson &p) { return p.Bdate(); });
        dialog.resize(700, 500);
        dialog.show();
        QApplication::processEvents();
        for (const QString &keys : keystrokes) {
            double cpu = threadMs();
            const size_t found = finder.Find(keys).size();
            queries.push_back(threadMs() - cpu);
            cpu = threadMs();
            dialog.setQuery(keys);
            dialog.repaint();
            typing.push_back(threadMs() - cpu);
            Q_UNUSED(found);
        }
    }

    t.restart();
    const double closeCpu = threadMs();
    tree.Close();
    chart.repaint();
    const double close = elapsedMs(t);
    const double closeThread = threadMs() - closeCpu;
    t.restart();
    QApplication::processEvents();
    const double afterClose = elapsedMs(t);

    // The parts of a load: the store's read alone, then the read building the persons.
    std::vector<double> scans;
    std::vector<double> builds;
    for (int i = 0; i < 3; ++i) {
        double cpu = threadMs();
        long long scanned = 0;
        (void)store.ScanTree(treeName, [&scanned](const PersonRowText &) { ++scanned; });
        scans.push_back(threadMs() - cpu);
        cpu = threadMs();
        Chart::PeopleBuilder builder(store.EstimateTreeRows(treeName));
        (void)store.ScanTree(treeName, [&builder](const PersonRowText &row) { builder.AddRow(row); });
        const cPeople people = builder.Finish();
        builds.push_back(threadMs() - cpu);
    }

    const double load = median(loads);
    std::printf("tree: %d persons (%lld rows), root with %d children, %d roots in the first row\n",
                persons, rows, children, firstRow);
    std::printf("floor (the engine's C interface reads every value, nothing kept): median "
                "%.1f ms (of 3), CPU %.1f ms\n",
                floor, median(floorsCpu));
    std::printf("load tree until drawn (read, persons, index, first row, draw): median %.1f ms "
                "(of 3) = %.2f x the floor (target <= 1.3)\n",
                load, load / floor);
    std::printf("  CPU: %.1f ms on the window's thread (= %.2f x the floor's CPU), %.1f ms in all "
                "threads\n",
                median(loadsCpu), median(loadsCpu) / median(floorsCpu), median(loadsAllCpu));
    std::printf("  on one thread, CPU: the store's read alone %.1f ms; read and build the persons "
                "%.1f ms (medians of 3)\n",
                median(scans), median(builds));
    std::printf("resident memory: %.1f MB before, %.1f MB with the tree open, peak %.1f MB "
                "(target < 500 MB)\n",
                before / 1024.0, open / 1024.0, peak / 1024.0);
    std::printf("memory per person: %.0f bytes (target < 400)\n",
                (open - before) * 1024.0 / persons);
    std::printf("click opening %d children (cut, find, layout, draw): median %.2f ms, max "
                "%.2f ms (of 11; target < 10 ms)\n",
                children, median(wide), *std::max_element(wide.begin(), wide.end()));
    std::printf("click opening a child's children: median %.2f ms\n", median(narrow));
    std::printf(
        "click on a person with %d photos, information panel shown (%d shown): first "
        "visit returns after %.2f ms, photos in after %.0f ms; revisits (thumbnail cache) "
        "return after median %.2f ms, max %.2f ms (of 5; target < 20 ms), photos in after "
        "median %.0f ms\n",
        kPhotos, photosShown, clickReturns.front(), photosIn.front(), median(revisitReturns),
        *std::max_element(revisitReturns.begin(), revisitReturns.end()), median(revisitPhotos));
    std::printf("close tree: %.1f ms until drawn (CPU %.1f ms on the window's thread; the persons "
                "are freed on a worker), then %.1f ms of further events\n",
                close, closeThread, afterClose);
    std::printf("find dialog: index %.0f ms CPU; per keystroke (%d): query median %.2f ms, worst "
                "%.2f ms; dialog (query, list, count, repaint) median %.2f ms, worst %.2f ms\n",
                findIndex, int(keystrokes.size()), median(queries),
                *std::max_element(queries.begin(), queries.end()), median(typing),
                *std::max_element(typing.begin(), typing.end()));
    return 0;
}
