// VelkinTree --export-chart TREE FILE [--person KEY] [--descendants | --ancestors]: writes the
// chart of a tree to a PNG, SVG or PDF file (see ChartCli.h) and prints "exported chart of N
// boxes to FILE".
#include "ChartCli.h"
#include "Commands.h"

#include <QCommandLineParser>

namespace Cli {

namespace {

const QString kTrigger = QStringLiteral("export-chart");
const QString kPerson = QStringLiteral("person");
const QString kDescendants = QStringLiteral("descendants");
const QString kAncestors = QStringLiteral("ancestors");

int exportChart(Context &context)
{
    const QStringList files = context.parser.positionalArguments();
    if (files.size() != 1)
        return context.Fail(QStringLiteral("--export-chart needs the tree and one file to write: "
                                           "--export-chart TREE FILE"));
    const ChartCliRequest request{context.parser.value(kTrigger), files.constFirst(),
                                  context.parser.value(kPerson), context.parser.isSet(kDescendants),
                                  context.parser.isSet(kAncestors)};
    return RunChartExport(request, context.dataPath, context.out, context.err);
}

} // namespace

Command ExportChartCommand()
{
    return {
        QCommandLineOption(kTrigger,
                           QStringLiteral("Write the chart of the tree <tree> to the file given "
                                          "after it (.png, .svg or .pdf), without a window."),
                           QStringLiteral("tree")),
        {QCommandLineOption(kPerson,
                            QStringLiteral("With --export-chart: the chart as finding <key> "
                                           "shows it."),
                            QStringLiteral("key")),
         QCommandLineOption(kDescendants,
                            QStringLiteral("With --export-chart: the descendant chart of "
                                           "--person, or of every root person.")),
         QCommandLineOption(kAncestors,
                            QStringLiteral("With --export-chart: every known ancestor of "
                                           "--person, all branches open."))},
        exportChart};
}

} // namespace Cli
