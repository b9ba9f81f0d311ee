// How soon a change made by one program is shown by another: two processes on one database, a
// database file in a temporary folder and a database of a server the benchmark starts (Unix
// socket in a temporary folder). This process holds the open tree as the window does (OpenTree,
// fed by StoreWatcher and LiveChanges, its chart drawn on an offscreen window); a second process
// (this program started with --writer) changes one person when told, at a random moment, stamping
// the time in the name it writes. The time from just before that write until the open tree and its
// chart here have the new name (the chart drawn) is measured for every change; median and worst are
// printed per engine.
//
// The time is also split into the write (until it committed), the wait until the watcher handed
// the change over, and bringing it into the open tree; then the CPU the watching costs while
// nothing changes is measured.
//
//   bench_live [CHANGES] [PERSONS] [LOOK_MS]
//       (default 40 changes, a tree of 1,000 persons, the watcher's own interval on a file)
#include "ChartView.h"
#include "LiveChanges.h"
#include "NewTreeWriter.h"
#include "OpenTree.h"
#include "PgServer.h"
#include "ServerAddress.h"
#include "StoreWatcher.h"
#include "TreeChart.h"
#include "TreeList.h"
#include "mDatabase.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

namespace {

const QString kTree = QStringLiteral("Live");
// The root person: a box of the chart's first row.
const QString kChanged = QStringLiteral("I1");
constexpr int kIdleMs = 5000;

PersonRecord row(int n)
{
    PersonRecord r;
    r.ID = QStringLiteral("I%1").arg(n);
    r.PrntKey = n == 1 ? QStringLiteral("ROOT") : QStringLiteral("I%1").arg(n / 3);
    r.Fname = QStringLiteral("Firstname%1").arg(n % 977);
    r.Sname = QStringLiteral("Surname%1").arg(n % 1009);
    r.Bdate = QStringLiteral("%1 MAR %2").arg(1 + n % 28).arg(1700 + n % 300);
    r.Notes = QStringLiteral("A note about person %1.").arg(n);
    return r;
}

// Opens `where`: a folder (ending with '/') for a database file, else a server's keywords.
bool open(mDatabase &store, const QString &where)
{
    if (where.endsWith(QLatin1Char('/'))) {
        store.BuildConnectionString(where);
    } else {
        store.SetServer(*ParseServerAddress(where));
        store.SetCreateTables(true);
    }
    return store.OpenDatabase().ok();
}

// The second process: one change per line read, after a random pause of up to 400 ms (so that
// changes fall anywhere between two looks at a file).
int writer(const QString &where)
{
    mDatabase store;
    if (!open(store, where))
        return 1;
    Result<PersonRecord> person = store.FindPerson(kTree, kChanged);
    if (!person)
        return 1;
    std::string line;
    int n = 0;
    while (std::getline(std::cin, line) && line == "go") {
        QThread::msleep(QRandomGenerator::global()->bounded(400));
        const qint64 start = QDateTime::currentMSecsSinceEpoch();
        person->Fname = QStringLiteral("%1|%2").arg(++n).arg(start);
        if (!store.UpdatePerson(kTree, kChanged, *person))
            return 1;
        // How long the write took until its commit.
        std::cout << "ok " << QDateTime::currentMSecsSinceEpoch() - start << std::endl;
    }
    return 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The open tree on `where` with a tree of `persons`; the writer started on it; `changes`
// measured. False when something could not be done.
bool measure(const char *engine, const QString &where, int persons, int changes, int lookMs)
{
    mDatabase store;
    if (!open(store, where))
        return false;
    NewTreeWriter fill(store);
    if (!fill.Begin(kTree))
        return false;
    for (int n = 1; n <= persons; ++n) {
        if (!fill.Add(row(n)))
            return false;
    }
    if (!fill.Commit())
        return false;

    // The window's chart follows the open tree, as in the program.
    QWidget window;
    window.resize(1280, 800);
    TreeChart chart(&window);
    chart.setGeometry(0, 0, 1280, 800);
    ApplyMainWindowDesign(chart);
    window.show();
    QApplication::processEvents();
    OpenTree tree(store);
    ChartView view(tree, chart);
    TreeList trees(store);
    trees.Refill();
    if (!tree.Load(kTree))
        return false;
    chart.repaint();
    StoreWatcher watcher(store);
    if (lookMs > 0)
        watcher.SetInterval(lookMs);
    // When the watcher hands a change over (told before the open tree takes it in).
    qint64 heardAt = 0;
    QObject::connect(&watcher, &StoreWatcher::Changed, &watcher,
                     [&] { heardAt = QDateTime::currentMSecsSinceEpoch(); });
    LiveChanges live(tree, trees, watcher);
    watcher.Start();

    QProcess second;
    second.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    second.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--writer"), where});
    if (!second.waitForStarted())
        return false;

    // Where the time goes: the write (until its commit), the wait until the watcher hands the
    // change over (the look on the timer), and bringing it into the open tree.
    std::vector<double> ms, write, wait, apply;
    QEventLoop loop;
    int expected = 0;
    QObject::connect(&tree, &OpenTree::PersonChanged, &loop, [&](const cPersonPtr &person) {
        const QStringList parts = person->Fname().split(QLatin1Char('|'));
        if (person->Key() != kChanged || parts.size() != 2 || parts[0].toInt() != expected)
            return;
        chart.repaint(); // the chart has taken the change in (it is told first): drawn now
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        ms.push_back(double(now - parts[1].toLongLong()));
        apply.push_back(double(now - heardAt));
        loop.quit();
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    for (expected = 1; expected <= changes; ++expected) {
        second.write("go\n");
        limit.start(10000);
        if (loop.exec() != 0) {
            std::fprintf(stderr, "%s: change %d not seen within 10 s\n", engine, expected);
            return false;
        }
        while (!second.canReadLine() && second.waitForReadyRead(10000)) {
        }
        const QList<QByteArray> ok = second.readLine().trimmed().split(' ');
        if (ok.size() == 2) {
            write.push_back(ok[1].toDouble());
            wait.push_back(ms.back() - write.back() - apply.back());
        }
    }
    second.closeWriteChannel();
    second.waitForFinished();
    std::printf("%-10s %7d persons  %3d changes  median %6.1f ms  worst %6.1f ms  (target: "
                "median <= 500, worst <= 1000)\n",
                engine, persons, changes, median(ms), *std::max_element(ms.begin(), ms.end()));
    std::printf("%-10s   medians: write %.1f ms, until handed over %.1f ms, into the open tree "
                "and the chart drawn %.1f ms\n",
                "", median(write), median(wait), median(apply));

    // What watching costs while nothing changes.
    QElapsedTimer idle;
    idle.start();
    const std::clock_t cpu = std::clock();
    QTimer::singleShot(kIdleMs, &loop, [&loop] { loop.quit(); });
    loop.exec();
    std::printf("%-10s   idle watching (a look every %d ms): %.2f ms CPU per second\n", "",
                watcher.Interval(),
                1000.0 * double(std::clock() - cpu) / CLOCKS_PER_SEC /
                    (double(idle.elapsed()) / 1000.0));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--writer") {
        QCoreApplication app(argc, argv);
        return writer(QString::fromLocal8Bit(argv[2]));
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int changes = argc > 1 ? std::max(1, atoi(argv[1])) : 40;
    const int persons = argc > 2 ? std::max(10, atoi(argv[2])) : 1000;
    const int lookMs = argc > 3 ? atoi(argv[3]) : 0;
    std::printf("live changes between two programs (%s build)\n",
#ifdef NDEBUG
                "assertions off"
#else
                "assertions ON: not for figures"
#endif
    );
    QTemporaryDir folder;
    if (!measure("file", folder.filePath(QStringLiteral("db")) + QLatin1Char('/'), persons, changes,
                 lookMs)) {
        std::fprintf(stderr, "the file could not be measured\n");
        return 1;
    }
    PgServer server;
    if (!server.running()) {
        std::fprintf(stderr, "no database server: %s\n", qPrintable(server.problem()));
        return 1;
    }
    if (const QString made = server.createDatabase(QStringLiteral("live")); !made.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(made));
        return 1;
    }
    if (!measure("server", server.keywords(QStringLiteral("live")), persons, changes, lookMs)) {
        std::fprintf(stderr, "the server could not be measured\n");
        return 1;
    }
    return 0;
}
