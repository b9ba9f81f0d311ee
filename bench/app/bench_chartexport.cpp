// Prints what the command line's chart export costs on very deep and very large trees:
//
//  - a line of 8,000 generations, --person the deepest: the line of ancestors opened click by
//    click (as the export did before) and in one pass (as it does now), then the whole export;
//  - a ring of 200,000 persons (no root), --person one of them: click by click for at most a
//    minute (how far it got), in one pass, then the whole export;
//  - a tree of 200,000 persons filled as real ones are: the descendant chart as SVG (refused
//    from its estimate) and as PDF (the pages of the grid and those written);
//  - the PDF pages of the descendant charts of that tree and of the public sample royal92.ged
//    (when it lies beside the project): the grid of pages and those with a box;
//  - the SVG estimate against the drawing's real size on trees small enough to draw.
//
//   bench_chartexport [folder]
//
// With a folder, the database is made there and kept for later runs. Peak memory is the
// process's so far (VmHWM) after each step.
#include "AncestorChain.h"
#include "ChartCli.h"
#include "ChartExport.h"
#include "ChartPath.h"
#include "ChartRenderSource.h"
#include "ChildRowOpener.h"
#include "CommandLine.h"
#include "DescendantChartData.h"
#include "DescendantSource.h"
#include "OpenTree.h"
#include "PagedRender.h"
#include "PersonNode.h"
#include "TreeChart.h"
#include "TreeExport.h"
#include "mDatabase.h"
#include "support_TreeGenerator.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

double seconds(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e9;
}

double peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

struct Tree
{
    QString name;
    TreeGenerator generator;
};

bool makeDatabase(const QString &dataPath, const QList<Tree> &trees)
{
    const QString file = dataPath + QStringLiteral("people.db");
    if (QFileInfo::exists(file))
        return true;
    const QString part = dataPath + QStringLiteral("part.db");
    QFile::remove(part);
    mDatabase store;
    store.SetPaths(dataPath, part);
    if (!store.OpenDatabase())
        return false;
    for (const Tree &tree : trees) {
        QString error;
        if (!store.CreateTree(tree.name) || !tree.generator.Write(part, tree.name, &error)) {
            std::fprintf(stderr, "could not make %s: %s\n", qPrintable(tree.name),
                         qPrintable(error));
            return false;
        }
    }
    store.CloseDatabase();
    return QFile::rename(part, file);
}

struct Loaded
{
    mDatabase store;
    OpenTree tree{store};
};

bool load(Loaded &loaded, const QString &dataPath, const QString &tree)
{
    loaded.store.SetPaths(dataPath, dataPath + QStringLiteral("people.db"));
    return loaded.store.OpenDatabase() && loaded.tree.Load(tree);
}

ChildrenOf childrenOf(const OpenTree &tree)
{
    return [&tree](const QString &key) -> const std::vector<cPersonPtr> & {
        return tree.Children(key);
    };
}

// The line of ancestors opened as the export opened it before: a click on each box in turn,
// each cutting the rows below, adding the children and drawing the whole chart again. Gives up
// after `limit` seconds; the rows reached.
int openByClicks(const OpenTree &tree, const QString &person, double limit, double *took)
{
    TreeChart chart;
    ChildRowOpener opener(chart, tree.People(), childrenOf(tree));
    opener.ShowRoots();
    const AncestorChain chain = AncestorChain::Of(tree.People(), person);
    QElapsedTimer t;
    t.start();
    if (limit <= 0) {
        OpenChainInChart(chart, tree.People(), chain);
    } else {
        // The same steps as OpenChainInChart, watched by the clock.
        cLevels &levels = chart.Levels();
        int row = 1;
        if (!chain.reachesRoot()) {
            levels.Truncate(1);
            auto own = std::make_shared<cLevel>();
            own->Add(MakePersonNode(*tree.People().Item(chain.topmost()), 2, nullptr));
            levels.Add(own);
            chart.Refresh();
            row = 2;
        }
        for (const QString &key : chain.keys) {
            const cLevelPtr level = levels.Item(row);
            const cNodePtr node = level ? level->Item(key) : nullptr;
            if (!node || seconds(t) > limit)
                break;
            chart.ClickNode(node, true);
            ++row;
        }
    }
    *took = seconds(t);
    return chart.Levels().Count();
}

int openInOnePass(const OpenTree &tree, const QString &person, double *took)
{
    TreeChart chart;
    ChildRowOpener opener(chart, tree.People(), childrenOf(tree));
    opener.ShowRoots();
    QElapsedTimer t;
    t.start();
    opener.OpenChain(AncestorChain::Of(tree.People(), person));
    *took = seconds(t);
    return chart.Levels().Count();
}

// The whole command: reading the database, the chart, the file.
void runExport(const QString &dataPath, const ChartCliRequest &request, const char *what)
{
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QElapsedTimer t;
    t.start();
    const int code = RunChartExport(request, dataPath, outStream, errStream);
    const double took = seconds(t);
    std::printf(
        "  %s: exit %d in %.2f s, %.1f MB file, peak %.0f MB\n    %s\n", what, code, took,
        QFileInfo(request.file).size() / 1048576.0, peakMb(),
        qPrintable(
            (code == 0 ? out : err).trimmed().replace(QLatin1Char('\n'), QStringLiteral(" / "))));
}

void svgEstimates(const QString &dataPath, const QString &folder)
{
    std::printf("SVG estimate against the drawing (descendant charts of every root):\n");
    for (const int persons : {1000, 5000, 20000}) {
        Loaded small;
        if (!load(small, dataPath, QStringLiteral("S%1").arg(persons)))
            return;
        const DescendantChartData chart(small.tree.People(), childrenOf(small.tree), QString(),
                                        ChartSettings::MainWindow(), MainWindowChartFont());
        const DescendantSource source(chart);
        const QString file = folder + QStringLiteral("/estimate.svg");
        QElapsedTimer t;
        t.start();
        const ExportResult result = ExportChart(source, file, {});
        std::printf("  %d boxes: estimated %.2f MB, written %.2f MB in %.2f s (%s)\n",
                    source.BoxCount(), SvgSizeEstimate(source) / 1048576.0,
                    QFileInfo(file).size() / 1048576.0, seconds(t),
                    result.ok() ? "ok" : qPrintable(result.error));
        QFile::remove(file);
    }
}

void pdfPages(const QString &dataPath, const QString &tree)
{
    Loaded loaded;
    if (!load(loaded, dataPath, tree))
        return;
    const DescendantChartData chart(loaded.tree.People(), childrenOf(loaded.tree), QString(),
                                    ChartSettings::MainWindow(), MainWindowChartFont());
    const DescendantSource source(chart);
    for (const QPageSize::PageSizeId paper : {QPageSize::A4, QPageSize::Letter}) {
        ExportOptions options;
        options.paper = paper;
        const PagePlan plan = PagedRender::Plan(source, PdfPageLayout(source, options),
                                                kPdfResolution, PageMode::Tile);
        std::printf("  PDF of %s's descendant chart on %s: a grid of %d × %d = %d pages, %d of "
                    "them with a box (%d left out)\n",
                    qPrintable(tree), qPrintable(QPageSize::name(paper)), plan.columns, plan.rows,
                    plan.GridCount(), plan.PageCount(), plan.GridCount() - plan.PageCount());
    }
}

// The public sample royal92.ged, imported by the command line when it lies beside the project.
void royal92(const QString &dataPath)
{
    const QString sample = QStringLiteral(VT_GEDCOM_SAMPLES "/royal92.ged");
    if (!QFileInfo::exists(sample))
        return;
    QCommandLineParser parser;
    Cli::AddOptions(parser);
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    if (!parser.parse({QStringLiteral("VelkinTree"), QStringLiteral("--import-gedcom"), sample}) ||
        Cli::Run(parser, dataPath, outStream, errStream) != 0)
        return;
    pdfPages(dataPath, QStringLiteral("royal92"));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    QDir().mkpath(folder);
    const QString dataPath = QDir(folder).absolutePath() + QStringLiteral("/");
    const TreeGenerator line(TreeGenerator::Form::Line, 8000);
    const TreeGenerator ring(TreeGenerator::Form::Ring, 200000);
    QElapsedTimer t;
    t.start();
    if (!makeDatabase(dataPath, {{QStringLiteral("Line"), line},
                                 {QStringLiteral("Ring"), ring},
                                 {QStringLiteral("Big"), TreeGenerator(200000, 50)},
                                 {QStringLiteral("S1000"), TreeGenerator(1000, 10)},
                                 {QStringLiteral("S5000"), TreeGenerator(5000, 20)},
                                 {QStringLiteral("S20000"), TreeGenerator(20000, 30)}}))
        return 1;
    std::printf("database ready in %.1f s\n", seconds(t));

    {
        Loaded loaded;
        if (!load(loaded, dataPath, QStringLiteral("Line")))
            return 1;
        double before = 0, after = 0;
        const int clicked = openByClicks(loaded.tree, line.LastKey(), 0, &before);
        const int opened = openInOnePass(loaded.tree, line.LastKey(), &after);
        std::printf("line of 8,000 generations, the deepest person's line of ancestors:\n"
                    "  click by click: %d rows in %.2f s\n  in one pass: %d rows in %.3f s\n",
                    clicked, before, opened, after);
    }
    runExport(dataPath,
              {QStringLiteral("Line"), folder + QStringLiteral("/line.pdf"), line.LastKey(), false},
              "--export-chart Line line.pdf --person (deepest)");
    {
        Loaded loaded;
        if (!load(loaded, dataPath, QStringLiteral("Ring")))
            return 1;
        double before = 0, after = 0;
        const int clicked = openByClicks(loaded.tree, ring.LastKey(), 60, &before);
        const int opened = openInOnePass(loaded.tree, ring.LastKey(), &after);
        std::printf("ring of 200,000 persons, a person's line of ancestors (all of them):\n"
                    "  click by click: %d of %d rows after %.1f s (given up)\n"
                    "  in one pass: %d rows in %.3f s\n",
                    clicked, opened, before, opened, after);
    }
    runExport(dataPath,
              {QStringLiteral("Ring"), folder + QStringLiteral("/ring.svg"), ring.LastKey(), false},
              "--export-chart Ring ring.svg --person");
    runExport(dataPath,
              {QStringLiteral("Ring"), folder + QStringLiteral("/ring.pdf"), ring.LastKey(), false},
              "--export-chart Ring ring.pdf --person");
    QFile::remove(folder + QStringLiteral("/ring.pdf"));
    std::printf("tree of 200,000 persons, the descendants of every root:\n");
    runExport(dataPath, {QStringLiteral("Big"), folder + QStringLiteral("/big.svg"), {}, true},
              "--export-chart Big big.svg --descendants");
    runExport(dataPath, {QStringLiteral("Big"), folder + QStringLiteral("/big.pdf"), {}, true},
              "--export-chart Big big.pdf --descendants");
    QFile::remove(folder + QStringLiteral("/big.pdf"));
    pdfPages(dataPath, QStringLiteral("Big"));
    royal92(dataPath);
    svgEstimates(dataPath, folder);
    return 0;
}
