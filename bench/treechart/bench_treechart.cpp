// Figures for the chart control, finding persons and the descendant chart (CPU milliseconds of
// the GUI thread, medians unless said otherwise).
// Run: bench_treechart [chart] [people] [find] [layout] [views]   (offscreen unless a
// platform is named)
#include "TreeChart.h"
#include "bench_common.h"
#include "cPeople.h"

#include <QApplication>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

template <typename F> double medianMs(int runs, F &&work, double (*clock)() = CpuMs)
{
    return TimeRuns(
               runs, [&](int) { work(); }, clock)
        .median;
}

cNode makeNode(int row, int col, const cNodePtr &parent)
{
    cNode node;
    node.setKey(QStringLiteral("P%1_%2").arg(row).arg(col));
    node.setCaptionA(QStringLiteral("Surname%1 Firstname%2").arg(row).arg(col));
    node.setCaptionB(QStringLiteral("Partner%1 Name%2").arg(row).arg(col));
    node.SetAllColors(kInheritColor);
    node.setParentNode(parent);
    return node;
}

void benchChart(const char *title, int rows, int perRow)
{
    TreeChart chart;
    ApplyMainWindowDesign(chart);
    chart.resize(1024, 768);
    chart.show();
    QCoreApplication::processEvents();
    QWidget *canvas = chart.findChild<QWidget *>(QStringLiteral("picBase"));

    const long before = ResidentKiB();
    cNodePtr parent;
    for (int r = 0; r < rows; ++r) {
        auto level = chart.Levels().AddNew();
        cNodePtr first;
        for (int c = 0; c < perRow; ++c) {
            auto stored = level->Add(makeNode(r, c, parent));
            if (c == perRow / 2)
                first = stored;
        }
        parent = first;
    }
    chart.setSelectedNode(parent);
    const double refresh = medianMs(9, [&] { chart.Refresh(); });
    const double refreshPaint = medianMs(9, [&] {
        chart.Refresh();
        canvas->repaint();
    });
    const double refreshWall = medianMs(
        9, [&] { chart.Refresh(); }, WallMs);
    const long after = ResidentKiB();

    auto *h = chart.findChild<QScrollBar *>(QStringLiteral("HScroll"));
    auto *v = chart.findChild<QScrollBar *>(QStringLiteral("VScroll"));
    int step = 0;
    const double scrollPaint = medianMs(21, [&] {
        ++step;
        h->setValue(h->maximum() * (step % 7) / 7 + step);
        v->setValue(v->maximum() * (step % 5) / 5);
        canvas->repaint();
    });
    h->setValue(h->maximum());
    v->setValue(v->maximum());
    const double farEnd = medianMs(9, [&] { canvas->repaint(); });

    std::printf("%-22s Refresh %6.2f ms (wall %6.2f) | Refresh+paint %7.2f ms | repaint after "
                "scroll %6.2f ms "
                "| repaint at far end %6.2f ms | canvas %dx%d | memory +%.1f MB\n",
                title, refresh, refreshWall, refreshPaint, scrollPaint, farEnd,
                chart.CanvasSize().width(), chart.CanvasSize().height(), (after - before) / 1024.0);
}

void benchPeople()
{
    const int n = 100000;
    // Persons and keys are made before timing: the figures are the collection's own.
    std::vector<cPerson> persons(n);
    QStringList lookups;
    for (int i = 0; i < n; ++i) {
        cPerson &p = persons[size_t(i)];
        p.setKey(QStringLiteral("ID%1").arg(i));
        p.setPrntKey(i == 0 ? QStringLiteral("ROOT") : QStringLiteral("ID%1").arg(i / 1000));
        p.setFname(QStringLiteral("First%1").arg(i));
        p.setSname(QStringLiteral("Last%1").arg(i));
        lookups << QStringLiteral("id%1").arg(n - 1 - i);
    }
    const long before = ResidentKiB();
    cPeople people;
    double start = CpuMs();
    for (const cPerson &p : persons)
        people.Add(p);
    const double add = CpuMs() - start;
    start = CpuMs();
    int found = 0;
    for (const QString &key : lookups)
        found += people.Item(key) ? 1 : 0;
    const double lookup = CpuMs() - start;
    start = CpuMs();
    int scanned = 0;
    const QString parentKey = QStringLiteral("ID5");
    for (int i = 1; i <= people.Count(); ++i)
        scanned += people.Item(i)->PrntKey() == parentKey;
    const double scan = CpuMs() - start;
    std::printf("cPeople 100,000 persons      Add all %.1f ms | Item(key) all %.1f ms (%d found, "
                "other letter case) | scan by position %.1f ms (%d children) | memory +%.1f MB\n",
                add, lookup, found, scan, scanned, (ResidentKiB() - before) / 1024.0);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Sections by name ("chart", "people", "find", "layout", "views"); all without one.
    const QStringList args = QCoreApplication::arguments().mid(1);
    const auto wanted = [&args](const char *name) {
        return args.isEmpty() || args.contains(QLatin1String(name));
    };
    if (wanted("chart")) {
        benchChart("100 rows x 100 boxes", 100, 100);
        benchChart("1 row x 10,000 boxes", 1, 10000);
        benchChart("3 rows x 1,000 boxes", 3, 1000);
    }
    if (wanted("people"))
        benchPeople();
    if (wanted("find"))
        BenchFind();
    if (wanted("layout"))
        BenchDescendantLayout();
    if (wanted("views"))
        BenchDescendantViews();
    return 0;
}
