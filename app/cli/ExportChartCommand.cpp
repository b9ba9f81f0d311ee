// VelkinTree --export-chart TREE FILE [--person KEY] [--descendants | --ancestors]
// [--privacy living|private|none]: writes the
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
const QString kFan = QStringLiteral("fan");
const QString kHourglass = QStringLiteral("hourglass");
const QString kFanSpan = QStringLiteral("fan-span");
const QString kFanColours = QStringLiteral("fan-colours");

int exportChart(Context &context)
{
    const QStringList files = context.parser.positionalArguments();
    if (files.size() != 1)
        return context.Fail(QStringLiteral("--export-chart needs the tree and one file to write: "
                                           "--export-chart TREE FILE"));
    ChartCliRequest request{context.parser.value(kTrigger), files.constFirst(),
                            context.parser.value(kPerson), context.parser.isSet(kDescendants),
                            context.parser.isSet(kAncestors)};
    if (context.parser.isSet(kFan)) {
        bool number = false;
        request.fan = context.parser.value(kFan).toInt(&number);
        if (!number)
            return context.Fail(QStringLiteral("--fan takes the number of generations, not '%1'.")
                                    .arg(context.parser.value(kFan)));
    }
    request.hourglass = context.parser.isSet(kHourglass);
    request.fanSpan = context.parser.value(kFanSpan);
    request.fanColours = context.parser.value(kFanColours);
    const QString privacy = QStringLiteral("privacy");
    if (context.parser.isSet(privacy) &&
        !Genealogy::PrivacyOptions::fromWord(context.parser.value(privacy), request.privacy))
        return context.Fail(PrivacyWordText(context.parser.value(privacy)));
    request.server = context.server;
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
                                           "--person, all branches open.")),
         QCommandLineOption(kHourglass,
                            QStringLiteral("With --export-chart: --person's ancestors above it "
                                           "and descendants below it.")),
         QCommandLineOption(kFan,
                            QStringLiteral("With --export-chart: the fan chart of --person's "
                                           "ancestors in <generations> rings (2 to 10)."),
                            QStringLiteral("generations")),
         QCommandLineOption(kFanSpan,
                            QStringLiteral("With --fan: half (the default), three-quarter or "
                                           "full circle."),
                            QStringLiteral("span")),
         QCommandLineOption(kFanColours,
                            QStringLiteral("With --fan: colours by generation (the default) or "
                                           "by branch."),
                            QStringLiteral("colours")),
         PrivacyOption()},
        exportChart};
}

} // namespace Cli
