// Prints what opening a large tree costs: the floor (the engine reading every value of the
// table, nothing kept), loading the tree until its first row is drawn, resident memory with the
// tree open, and a click that opens a row of 1,000 children (cutting the rows, finding the
// children, layout and drawing).
//
//   bench_app [persons] [children] [folder]
//
// With a folder, the database is made there and kept, and a later run with the same figures
// uses it again instead of generating the tree anew.
//
// The tree is made by the test suite's generator: every column filled as real trees fill them,
// one root with `children` children, founders and their descendants over several generations.
#include "ChartView.h"
#include "FindPersonDialog.h"
#include "LoadTree.h"
#include "OpenTree.h"
#include "PeopleBuilder.h"
#include "PersonFinder.h"
#include "SqliteFloor.h"
#include "TreeChart.h"
#include "mDatabase.h"
#include "support_TreeGenerator.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
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

} // namespace

int main(int argc, char **argv)
{
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
        if (!store.OpenDatabase() || store.CreateTree(treeName) ||
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
        store.ScanTree(treeName, [&scanned](const PersonRowText &) { ++scanned; });
        scans.push_back(threadMs() - cpu);
        cpu = threadMs();
        PeopleBuilder builder(store.EstimateTreeRows(treeName));
        store.ScanTree(treeName, [&builder](const PersonRowText &row) { builder.AddRow(row); });
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
