// Prints how long loading a tree of 100,000 persons takes and how long a click takes that opens
// a row of 1,000 children (cutting the rows, finding the children, layout and drawing).
//
//   bench_app [persons] [children]
//
// The generated tree: one root with `children` children; the remaining persons are spread
// evenly as grandchildren below them.
#include "ChildIndex.h"
#include "OpenTree.h"
#include "TreeBrowser.h"
#include "TreeChart.h"
#include "mDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

bool fillTree(const QString &file, const QString &tree, int persons, int children)
{
    const QString connection = QStringLiteral("bench-fill");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file);
        if (!db.open())
            return false;
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO \"%1\" (ID, PrntKey, Fname, Sname, PrtFname, "
                                 "PrtSname, Bdate, Ddate) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
                      .arg(tree));
        const auto add = [&](const QString &id, const QString &parent, int n) {
            q.addBindValue(id);
            q.addBindValue(parent);
            q.addBindValue(QStringLiteral("First%1").arg(n));
            q.addBindValue(QStringLiteral("Last%1").arg(n % 977));
            q.addBindValue(n % 3 ? QStringLiteral("Partner%1").arg(n) : QString());
            q.addBindValue(n % 3 ? QStringLiteral("Name%1").arg(n % 113) : QString());
            q.addBindValue(QString::number(1800 + n % 200));
            q.addBindValue(n % 2 ? QString::number(1860 + n % 200) : QString());
            return q.exec();
        };
        ok = add(QStringLiteral("R"), QStringLiteral("ROOT"), 0);
        for (int c = 0; ok && c < children; ++c)
            ok = add(QStringLiteral("C%1").arg(c), QStringLiteral("R"), c + 1);
        const int rest = persons - 1 - children;
        for (int g = 0; ok && g < rest; ++g)
            ok = add(QStringLiteral("G%1").arg(g), QStringLiteral("C%1").arg(g % children),
                     children + 1 + g);
        if (!ok)
            std::fprintf(stderr, "insert failed: %s\n", qPrintable(q.lastError().text()));
        ok = ok && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int persons = argc > 1 ? std::max(10, atoi(argv[1])) : 100000;
    const int children = argc > 2 ? std::max(1, atoi(argv[2])) : 1000;

    QTemporaryDir dir;
    const QString dataPath = dir.path() + QStringLiteral("/");
    mDatabase store;
    store.SetPaths(dataPath, dataPath + QStringLiteral("people.db"));
    if (!store.OpenDatabase() || store.CreateTree(QStringLiteral("Big"))) {
        std::fprintf(stderr, "could not create the database\n");
        return 1;
    }
    if (!fillTree(dataPath + QStringLiteral("people.db"), QStringLiteral("Big"), persons,
                  children)) {
        std::fprintf(stderr, "could not fill the tree\n");
        return 1;
    }

    QWidget window;
    window.resize(1280, 800);
    TreeChart chart(&window);
    chart.setGeometry(0, 0, 1280, 800);
    ApplyMainWindowDesign(chart);
    window.show();
    QApplication::processEvents();
    OpenTree tree;
    TreeBrowser browser(tree, chart, store, &window);

    std::vector<double> reads;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        const QList<PersonRecord> rows = store.ReadTree(QStringLiteral("Big"));
        reads.push_back(t.nsecsElapsed() / 1e6);
        if (i == 2) {
            t.restart();
            cPeople p;
            for (const PersonRecord &row : rows)
                p.Add(cPerson(row));
            const double add = t.nsecsElapsed() / 1e6;
            t.restart();
            ChildIndex index;
            index.Build(p);
            std::printf("  people %.1f ms, index %.1f ms\n", add, t.nsecsElapsed() / 1e6);
        }
    }

    std::vector<double> loads;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        browser.LoadTree(QStringLiteral("Big"));
        chart.repaint();
        loads.push_back(t.nsecsElapsed() / 1e6);
        // The previous tree is freed once the new one is on screen.
        t.restart();
        QApplication::processEvents();
        std::printf("  load %d: %.1f ms until drawn, then %.1f ms freeing the previous tree\n",
                    i + 1, loads.back(), t.nsecsElapsed() / 1e6);
    }

    // Alternate between the root (opens `children` boxes) and one of its children (opens the
    // grandchildren), as a user walking up and down would.
    std::vector<double> wide;
    std::vector<double> narrow;
    for (int i = 0; i < 11; ++i) {
        const cNodePtr root = chart.Levels().Item(1)->Item(1);
        chart.setSelectedNode(root);
        QElapsedTimer t;
        t.start();
        browser.VTree_NodeClick(root, true);
        chart.repaint();
        QApplication::processEvents();
        wide.push_back(t.nsecsElapsed() / 1e6);

        const cNodePtr child = chart.Levels().Item(2)->Item(children / 2 + 1);
        chart.setSelectedNode(child);
        t.restart();
        browser.VTree_NodeClick(child, true);
        chart.repaint();
        QApplication::processEvents();
        narrow.push_back(t.nsecsElapsed() / 1e6);
    }

    std::printf("tree: %d persons, root with %d children, %d rows shown after a click\n",
                tree.People().Count(), children, chart.Levels().Count());
    std::printf(
        "load tree until drawn (read, persons, index, first row, draw): median %.1f ms (of 3; "
        "target < 1000 ms)\n",
        median(loads));
    std::printf("  of which reading the table: median %.1f ms\n", median(reads));
    std::printf("click opening %d children (cut, find, layout, draw): median %.2f ms, max "
                "%.2f ms (of 11; target < 50 ms)\n",
                int(chart.Levels().Count() >= 2 ? children : 0), median(wide),
                *std::max_element(wide.begin(), wide.end()));
    std::printf("click opening %d grandchildren: median %.2f ms\n",
                int(chart.Levels().Item(3) ? chart.Levels().Item(3)->Count() : 0), median(narrow));
    return 0;
}
