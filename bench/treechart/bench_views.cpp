// Figures for finding persons and for the descendant chart.
#include "DescendantChartData.h"
#include "DescendantChartView.h"
#include "FindPersonDialog.h"
#include "PersonFinder.h"
#include "TreeChart.h"
#include "bench_common.h"

#include <QApplication>
#include <QFontInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <malloc.h>

namespace {

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
    // 100,000 persons, or as many as a number among the arguments says ("find 1000000").
    int n = 100000;
    for (const QString &arg : QCoreApplication::arguments().mid(1)) {
        bool number = false;
        const int count = arg.toInt(&number);
        if (number && count > 0)
            n = count;
    }
    const cPeople people = NamedPeople(n, wideTree(4));
    // Resident memory before and after the build, the build's scratch memory handed back to
    // the system first, and the bytes the index says it holds.
    malloc_trim(0);
    const long before = ResidentKiB();
    PersonFinder finder;
    const double start = CpuMs();
    finder.Build(people);
    const double build = CpuMs() - start;
    malloc_trim(0);
    const long after = ResidentKiB();
    std::printf("Find index, %s persons  build %.0f ms | holds %.1f bytes a person (%.1f MB) | "
                "resident before %.1f MB, after %.1f MB: +%.1f bytes a person\n",
                qPrintable(QLocale(QLocale::English).toString(n)), build,
                double(finder.Bytes()) / n, finder.Bytes() / 1048576.0, before / 1024.0,
                after / 1024.0, (after - before) * 1024.0 / n);

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
    std::printf("Find, %s persons        index %.0f ms, +%.1f MB | per keystroke: query "
                "median %.2f ms, worst %.2f ms | dialog (query, list, count, repaint) median "
                "%.2f ms, worst %.2f ms | %zu matches over %lld queries\n",
                qPrintable(QLocale(QLocale::English).toString(n)), build, (after - before) / 1024.0,
                find.median, find.worst, typing.median, typing.worst, matches,
                qint64(keystrokes.size()));
}

void BenchDescendantLayout()
{
    for (int n : {10000, 100000}) {
        const cPeople people = NamedPeople(n, wideTree(3));
        const ChildrenOf children = IndexChildren(people);
        const long before = ResidentKiB();
        double start = CpuMs();
        const DescendantTree tree = DescendantTree::Build(people, children, QStringLiteral("I0"));
        const double build = CpuMs() - start;
        DescendantGeometry geometry;
        const Timing layout =
            TimeRuns(5, [&](int) { geometry.Arrange(tree, ChartSettings::MainWindow()); });
        const long after = ResidentKiB();
        std::printf("Descendants %7d persons  tree %.1f ms + tidy layout median %.1f ms, worst "
                    "%.1f ms = %.1f ms (%.1f steps a person) | %d generations, chart %d x %d | "
                    "tree and layout +%.1f MB\n",
                    tree.Count(), build, layout.median, layout.worst, build + layout.median,
                    double(geometry.LayoutWork()) / tree.Count(), tree.Generations(),
                    geometry.ChartSize().width(), geometry.ChartSize().height(),
                    (after - before) / 1024.0);
    }
}

namespace {

// The fullest chart there is: `width` root persons, each at the top of a line of descent, so
// that every row is packed with boxes from end to end.
std::function<int(int)> packedTree(int width)
{
    return [width](int i) { return i < width ? -1 : i - width; };
}

void benchView(const char *title, const cPeople &people, const QString &rootKey, QSize size)
{
    // The figures of this view only: its captions start out unseen.
    DescendantChartView view;
    view.resize(size);
    view.setChart(std::make_unique<DescendantChartData>(people, IndexChildren(people), rootKey,
                                                        ChartSettings::MainWindow(),
                                                        MainWindowChartFont()));
    view.show();
    QCoreApplication::processEvents();
    const DescendantTree &tree = view.Chart()->Tree();
    const DescendantGeometry &geometry = view.Chart()->Geometry();
    view.Chart()->Painter().setSelected(tree.Count() - 1);
    QScrollBar *h = view.horizontalScrollBar();
    QScrollBar *v = view.verticalScrollBar();
    const long before = ResidentKiB();
    // Zooms out step by step, through the smallest zoom that still draws captions, up to the
    // view that shows 2,000 boxes or more.
    std::vector<double> zooms;
    for (double zoom = 1.0; zoom >= DescendantChartView::kMinZoom; zoom /= 1.25)
        zooms.push_back(zoom);
    zooms.push_back(5.001 / QFontInfo(MainWindowChartFont()).pixelSize());
    std::sort(zooms.rbegin(), zooms.rend());
    for (const double zoom : zooms) {
        view.setZoom(zoom);
        // The deepest rows: the middle of the chart's width, down to the last generation.
        const QRect last = geometry.BoxRect(tree.Count() - 1);
        v->setValue(int(last.bottom() * view.Zoom()) - view.viewport()->height());
        int boxes = 0;
        // Jumps to places far apart (as finding a person does): the whole view is painted. Then
        // scrolling by a tenth of the view, as the scroll bar's arrows and the wheel do: what
        // was drawn moves, and the strip that comes into view is painted.
        const Timing jump = TimeRuns(15, [&](int i) {
            h->setValue(h->maximum() * (i + 1) / 17);
            view.viewport()->repaint();
            boxes = std::max(boxes, view.LastBoxesDrawn());
        });
        const Timing scroll = TimeRuns(15, [&](int) {
            h->setValue(h->value() + h->singleStep());
            QCoreApplication::processEvents(); // paints the strip that came into view
        });
        std::printf("%s %dx%d at %3.0f %%  repaint after a jump: first %5.2f ms, median %5.2f "
                    "ms, worst %5.2f ms; after a scroll median %5.2f ms, worst %5.2f ms | up to "
                    "%4d boxes | captions %s\n",
                    title, size.width(), size.height(), view.Zoom() * 100, jump.first, jump.median,
                    jump.worst, scroll.median, scroll.worst, boxes,
                    view.Chart()->Painter().CaptionsShown() ? "drawn" : "left out");
        if (boxes >= 2000)
            break;
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
    std::printf("%s memory: after the first repaints +%.1f MB; after 123 more across the whole "
                "chart (%d x %d) +%.1f MB\n",
                title, (middle - before) / 1024.0, geometry.ChartSize().width(),
                geometry.ChartSize().height(), (end - middle) / 1024.0);
}

} // namespace

void BenchDescendantViews()
{
    benchView("Wide tree, 100,000 persons     ", NamedPeople(100000, wideTree(3)),
              QStringLiteral("I0"), QSize(2400, 1400));
    // Every row full: at the smallest zoom with captions this view shows about 2,000 boxes. Names
    // as in a real tree, then every caption and every word in it distinct (the worst case).
    benchView("Packed rows, real names        ", NamedPeople(100000, packedTree(2500)), QString(),
              QSize(3300, 1600));
    benchView("Packed rows, distinct captions ",
              NamedPeople(100000, packedTree(2500), Names::Distinct), QString(), QSize(3300, 1600));
}
