// Figures for finding persons and for the descendant chart.
#include "DescendantChartData.h"
#include "DescendantChartView.h"
#include "FindPersonDialog.h"
#include "PersonFinder.h"
#include "TreeChart.h"
#include "bench_common.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QScrollBar>

#include <cstdio>

namespace {

// Names as a large tree has them: a few thousand surnames, a few hundred first names, some with
// accents, partners for most.
cPeople namedPeople(int count, const std::function<int(int)> &parentOf)
{
    static const char *const starts[] = {"Lö",   "Ber", "And", "Ås",   "Ek",  "Lind",
                                         "Str",  "Nor", "Hol", "Sand", "Wik", "Dahl",
                                         "Fors", "Gre", "Jo",  "Kar"};
    static const char *const middles[] = {"f", "g", "l", "m", "n", "r", "st", "tt", "ck", "d"};
    static const char *const ends[] = {"gren", "berg", "ström", "son", "lund",  "qvist",
                                       "man",  "ell",  "in",    "é",   "ander", "holm"};
    static const char *const firsts[] = {"Anna", "Erik", "Karin",  "Lars", "Maria",
                                         "Per",  "Eva",  "Nils",   "Åsa",  "Björn",
                                         "Zoë",  "Hans", "Ingrid", "Olof"};
    QRandomGenerator rng(42);
    const auto pick = [&rng](const auto &list) {
        return QString::fromUtf8(list[rng.bounded(quint32(std::size(list)))]);
    };
    cPeople people;
    for (int i = 0; i < count; ++i) {
        cPerson p;
        p.setKey(QStringLiteral("I%1").arg(i));
        const int parent = parentOf(i);
        p.setPrntKey(parent < 0 ? QStringLiteral("ROOT") : QStringLiteral("I%1").arg(parent));
        p.setSname(pick(starts) + pick(middles) + pick(ends));
        p.setFname(rng.bounded(4) == 0 ? pick(firsts) + QLatin1Char('-') + pick(firsts)
                                       : pick(firsts));
        if (rng.bounded(3) != 0) {
            p.setPrtFname(pick(firsts));
            p.setPrtSname(pick(starts) + pick(ends));
        }
        p.setBdate(QString::number(1700 + int(rng.bounded(300u))));
        people.Add(p);
    }
    return people;
}

// Every person has up to `spread` children: a wide tree, generation after generation.
std::function<int(int)> wideTree(int spread)
{
    auto rng = std::make_shared<QRandomGenerator>(7);
    return [rng, spread](int i) {
        if (i == 0)
            return -1;
        // Parents in order, each taking 1 to 2 × spread - 1 children.
        return int(std::max<qint64>(0, (qint64(i) - 1) / spread - rng->bounded(2)));
    };
}

} // namespace

void BenchFind()
{
    const int n = 100000;
    const cPeople people = namedPeople(n, wideTree(4));
    const long before = ResidentKiB();
    PersonFinder finder;
    const double start = CpuMs();
    finder.Build(people);
    const double build = CpuMs() - start;
    const long after = ResidentKiB();

    // Typing "Löfgren Anna" one key at a time, then other queries.
    QStringList keystrokes;
    const QString typed = QStringLiteral("Löfgren Anna");
    for (int i = 1; i <= typed.size(); ++i)
        keystrokes << typed.left(i);
    keystrokes << QStringLiteral("a") << QStringLiteral("e") << QStringLiteral("berg")
               << QStringLiteral("i123") << QStringLiteral("zoe") << QStringLiteral("as per");
    size_t matches = 0;
    const Timing find = TimeRuns(int(keystrokes.size()),
                                 [&](int i) { matches += finder.Find(keystrokes[i]).size(); });

    // The dialog as the user sees it: the query, the list reset, the count shown.
    FindPersonDialog dialog(people, finder, [](const cPerson &p) { return p.Bdate(); });
    dialog.resize(700, 500);
    dialog.show();
    QCoreApplication::processEvents();
    const Timing typing = TimeRuns(int(keystrokes.size()), [&](int i) {
        dialog.setQuery(keystrokes[i]);
        dialog.repaint();
    });
    std::printf("Find, 100,000 persons        index %.0f ms, +%.1f MB | per keystroke: query "
                "median %.2f ms, worst %.2f ms | dialog (query, list, count, repaint) median "
                "%.2f ms, worst %.2f ms | %zu matches over %lld queries\n",
                build, (after - before) / 1024.0, find.median, find.worst, typing.median,
                typing.worst, matches, qint64(keystrokes.size()));
}

void BenchDescendants()
{
    for (int n : {10000, 100000}) {
        const cPeople people = namedPeople(n, wideTree(3));
        const ChildrenOf children = IndexChildren(people);
        const long before = ResidentKiB();
        double start = CpuMs();
        const DescendantTree tree = DescendantTree::Build(people, children, QStringLiteral("I0"));
        const double build = CpuMs() - start;
        DescendantGeometry geometry;
        const Timing layout =
            TimeRuns(5, [&](int) { geometry.Arrange(tree, ChartSettings::MainWindow()); });
        const long after = ResidentKiB();
        std::printf("Descendants %7d persons  tree %.1f ms | tidy layout median %.1f ms, worst "
                    "%.1f ms (%.1f steps a person) | %d generations, chart %d x %d | tree and "
                    "layout +%.1f MB\n",
                    tree.Count(), build, layout.median, layout.worst,
                    double(geometry.LayoutWork()) / tree.Count(), tree.Generations(),
                    geometry.ChartSize().width(), geometry.ChartSize().height(),
                    (after - before) / 1024.0);
    }

    // Repaint of the view: a dense part of a 100,000-person chart on a large window.
    const cPeople people = namedPeople(100000, wideTree(3));
    DescendantChartView view;
    view.resize(2400, 1400);
    view.setChart(
        std::make_unique<DescendantChartData>(people, IndexChildren(people), QStringLiteral("I0"),
                                              ChartSettings::MainWindow(), MainWindowChartFont()));
    view.show();
    QCoreApplication::processEvents();
    const DescendantTree &tree = view.Chart()->Tree();
    const DescendantGeometry &geometry = view.Chart()->Geometry();
    view.Chart()->Painter().setSelected(tree.Count() - 1);
    QScrollBar *h = view.horizontalScrollBar();
    QScrollBar *v = view.verticalScrollBar();
    const long before = ResidentKiB();
    for (double zoom : {1.0, 0.36, 0.2, 0.05}) {
        view.setZoom(zoom);
        // The deepest full generations: the middle of the chart's width, near the bottom.
        const QRect last = geometry.BoxRect(tree.Count() - 1);
        int boxes = 0;
        const Timing paint = TimeRuns(15, [&](int i) {
            h->setValue(h->maximum() * (i + 1) / 17);
            v->setValue(int(last.bottom() * zoom) - view.viewport()->height());
            view.viewport()->repaint();
            boxes = std::max(boxes, view.LastBoxesDrawn());
        });
        std::printf("Descendant view 2400x1400 at %3.0f %%  repaint median %.2f ms, worst %.2f ms "
                    "| up to %d boxes drawn | captions %s\n",
                    zoom * 100, paint.median, paint.worst, boxes,
                    view.Chart()->Painter().CaptionsShown() ? "drawn" : "left out");
    }
    // Scroll over the whole chart at several zooms: memory must not follow the area shown.
    const long middle = ResidentKiB();
    for (double zoom : {1.0, 0.5, 0.1}) {
        view.setZoom(zoom);
        for (int i = 0; i <= 40; ++i) {
            h->setValue(h->maximum() * i / 40);
            v->setValue(v->maximum() * (i % 8) / 7);
            view.viewport()->repaint();
        }
    }
    const long end = ResidentKiB();
    std::printf("Descendant view memory       after the first repaints +%.1f MB; after 123 more "
                "across the whole chart (%d x %d) +%.1f MB\n",
                (middle - before) / 1024.0, geometry.ChartSize().width(),
                geometry.ChartSize().height(), (end - middle) / 1024.0);
}
