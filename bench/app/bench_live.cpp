// How soon a change made by one program is shown by another: two processes on one database, a
// database file in a temporary folder and a database of a server the benchmark starts (Unix
// socket in a temporary folder). This process holds the open tree as the window does (OpenTree,
// fed by StoreWatcher and LiveChanges); a second process (this program started with --writer)
// changes one person when told, at a random moment, stamping the time in the name it writes. The
// time from just before that write until the open tree here has the new name is measured for
// every change; median and worst are printed per engine.
//
//   bench_live [CHANGES] [PERSONS]      (default 40 changes, a tree of 1,000 persons)
#include "LiveChanges.h"
#include "NewTreeWriter.h"
#include "OpenTree.h"
#include "PgServer.h"
#include "ServerAddress.h"
#include "StoreWatcher.h"
#include "TreeList.h"
#include "mDatabase.h"

#include <QApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

const QString kTree = QStringLiteral("Live");
const QString kChanged = QStringLiteral("I2");

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
        person->Fname = QStringLiteral("%1|%2").arg(++n).arg(QDateTime::currentMSecsSinceEpoch());
        if (!store.UpdatePerson(kTree, kChanged, *person))
            return 1;
        std::cout << "ok" << std::endl;
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
bool measure(const char *engine, const QString &where, int persons, int changes)
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

    OpenTree tree(store);
    TreeList trees(store);
    trees.Refill();
    if (!tree.Load(kTree))
        return false;
    StoreWatcher watcher(store);
    LiveChanges live(tree, trees, watcher);
    watcher.Start();

    QProcess second;
    second.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    second.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--writer"), where});
    if (!second.waitForStarted())
        return false;

    std::vector<double> ms;
    QEventLoop loop;
    int expected = 0;
    QObject::connect(&tree, &OpenTree::PersonChanged, &loop, [&](const cPersonPtr &person) {
        const QStringList parts = person->Fname().split(QLatin1Char('|'));
        if (person->Key() != kChanged || parts.size() != 2 || parts[0].toInt() != expected)
            return;
        ms.push_back(double(QDateTime::currentMSecsSinceEpoch() - parts[1].toLongLong()));
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
    }
    second.closeWriteChannel();
    second.waitForFinished();
    std::printf("%-10s %7d persons  %3d changes  median %6.1f ms  worst %6.1f ms  (target: "
                "median <= 500, worst <= 1000)\n",
                engine, persons, changes, median(ms), *std::max_element(ms.begin(), ms.end()));
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
    std::printf("live changes between two programs (%s build)\n",
#ifdef NDEBUG
                "assertions off"
#else
                "assertions ON: not for figures"
#endif
    );
    QTemporaryDir folder;
    if (!measure("file", folder.filePath(QStringLiteral("db")) + QLatin1Char('/'), persons,
                 changes)) {
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
    if (!measure("server", server.keywords(QStringLiteral("live")), persons, changes)) {
        std::fprintf(stderr, "the server could not be measured\n");
        return 1;
    }
    return 0;
}
