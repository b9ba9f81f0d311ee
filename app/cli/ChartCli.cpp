#include "ChartCli.h"

#include "ChartExport.h"
#include "CliTree.h"
#include "FanChart.h"
#include "KinshipCharts.h"
#include "ModelStore.h"
#include "TreeExport.h"

#include <QSet>
#include <QTextStream>

#include <new>
#include <optional>

namespace {

int fail(QTextStream &err, const QString &message)
{
    err << message << '\n';
    err.flush();
    return 1;
}

// The open tree as the privacy choice shows it: the living renamed, the private taken out, and
// the families as the view keeps them; `renamed` gets the keys of the persons whose box it names
// otherwise (a living person, a living partner). False after a line on the error stream.
bool applyPrivacy(CliTree &tree, const Genealogy::PrivacyOptions &privacy,
                  std::optional<std::vector<Genealogy::FamilyKeys>> &families,
                  QSet<QString> &renamed, QTextStream &err)
{
    Result<Genealogy::ModelSlice> read = ModelStore::readTree(tree.Store(), tree.Name());
    if (!read) {
        fail(err, QStringLiteral("The tree '%1' could not be read: %2")
                      .arg(tree.Name(), read.error().text()));
        return false;
    }
    const Genealogy::PrivacyView view = Genealogy::applyPrivacy(read->rows, read->model, privacy);
    OpenTree &open = tree.Tree();
    size_t shown = 0;
    for (size_t i = 0; i < read->rows.size(); ++i) {
        const QString &key = read->rows[i].ID;
        if (view.persons[i] == Genealogy::PersonShown::LeftOut) {
            open.RemovePerson(key);
            continue;
        }
        const Genealogy::PersonRow &row = view.slice.rows[shown++];
        const Genealogy::PersonRow &stored = read->rows[i];
        if (row.Fname != stored.Fname || row.Sname != stored.Sname ||
            row.PrtFname != stored.PrtFname || row.PrtSname != stored.PrtSname)
            renamed.insert(key);
        if (!(row == stored))
            open.ChangePerson(key, row);
    }
    if (view.slice.model.personCount() > 0)
        families = Genealogy::familyKeysOf(view.slice.model, view.slice.rows);
    return true;
}

QString titleOf(const ChartCliRequest &request, const QString &tree, const cPeople &people)
{
    QString title = tree;
    if (const cPersonPtr person = people.Item(request.personKey)) {
        const QString name = (person->Fname() + QLatin1Char(' ') + person->Sname()).trimmed();
        const QString kind = request.ancestors || request.fan != 0 ? QStringLiteral("Ancestors of ")
                             : request.descendants ? QStringLiteral("Descendants of ")
                                                   : QString();
        title += QStringLiteral(" - ") +
                 (request.hourglass ? QStringLiteral("Hourglass of ") : kind) +
                 (name.isEmpty() ? person->Key() : name);
    } else if (request.descendants) {
        title += QStringLiteral(" - Descendants of every root person");
    }
    return title;
}

int runChartExport(const ChartCliRequest &request, const QString &dataFolder, QTextStream &out,
                   QTextStream &err, const TreeKinshipReaders &kinship)
{
    if (request.tree.isEmpty() || request.file.isEmpty())
        return fail(err, QStringLiteral("--export-chart needs the name of a tree and the name of "
                                        "the file to write: --export-chart TREE FILE"));
    if (request.descendants && request.ancestors)
        return fail(err, QStringLiteral("--descendants and --ancestors ask for two charts: give "
                                        "one of them."));
    if (request.hourglass && (request.descendants || request.ancestors || request.fan != 0))
        return fail(err, QStringLiteral("--hourglass is a chart of its own: give it without "
                                        "--descendants, --ancestors or --fan."));
    if (request.hourglass && request.personKey.isEmpty())
        return fail(err, QStringLiteral("--hourglass needs the person at its middle: "
                                        "--person KEY"));
    if (request.fan != 0 && (request.descendants || request.ancestors))
        return fail(err, QStringLiteral("--fan is a chart of its own: give it without "
                                        "--descendants or --ancestors."));
    if (request.fan != 0 &&
        (request.fan < FanChart::kMinGenerations || request.fan > FanChart::kMaxGenerations))
        return fail(err, QStringLiteral("--fan takes the number of generations, from %1 to %2.")
                             .arg(FanChart::kMinGenerations)
                             .arg(FanChart::kMaxGenerations));
    FanChart::Span span = FanChart::Span::Half;
    if (request.fanSpan == QLatin1String("three-quarter"))
        span = FanChart::Span::ThreeQuarters;
    else if (request.fanSpan == QLatin1String("full"))
        span = FanChart::Span::Full;
    else if (!request.fanSpan.isEmpty() && request.fanSpan != QLatin1String("half"))
        return fail(err, QStringLiteral("--fan-span is half, three-quarter or full, not '%1'.")
                             .arg(request.fanSpan));
    FanChart::Colours colours = FanChart::Colours::ByGeneration;
    if (request.fanColours == QLatin1String("branch"))
        colours = FanChart::Colours::ByBranch;
    else if (!request.fanColours.isEmpty() && request.fanColours != QLatin1String("generation"))
        return fail(err, QStringLiteral("--fan-colours is generation or branch, not '%1'.")
                             .arg(request.fanColours));
    if (request.fan != 0 && request.personKey.isEmpty())
        return fail(err, QStringLiteral("--fan needs the person whose ancestors are drawn: "
                                        "--person KEY"));
    if (request.ancestors && request.personKey.isEmpty())
        return fail(err, QStringLiteral("--ancestors needs the person whose ancestors are drawn: "
                                        "--person KEY"));
    if (FormatForFile(request.file) == ExportFormat::Unknown)
        return fail(err, QStringLiteral("'%1' does not end in .png, .svg or .pdf: the name of the "
                                        "file decides how the chart is written.")
                             .arg(request.file));
    // A file that can never be written is refused before the tree is read.
    if (const QString problem = ExportTargetProblem(request.file); !problem.isEmpty())
        return fail(err, problem);

    CliTree tree;
    if (!tree.Open(request.tree, dataFolder, err, request.server))
        return 1;
    // The person asked for, as the tree stores it: the privacy choice may leave it out.
    const cPersonPtr asked = tree.People().Item(request.personKey);
    const QString askedKey = asked ? asked->Key() : QString();
    std::optional<std::vector<Genealogy::FamilyKeys>> privateFamilies;
    QSet<QString> renamed;
    if (!request.privacy.changesNothing() &&
        !applyPrivacy(tree, request.privacy, privateFamilies, renamed, err))
        return 1;
    if (!askedKey.isEmpty() && !tree.People().Item(askedKey))
        return fail(err, QStringLiteral("The person '%1' is private: a chart that leaves out the "
                                        "private has nothing to show of it.")
                             .arg(request.personKey));
    if (tree.People().Count() == 0)
        return fail(err,
                    QStringLiteral("The tree '%1' has no persons: there is no chart to export.")
                        .arg(tree.Name()));

    TreeExportRequest chart;
    chart.people = &tree.People();
    OpenTree &open = tree.Tree();
    chart.childrenOf = [&open](const QString &parentKey) -> const std::vector<cPersonPtr> & {
        return open.Children(parentKey);
    };
    chart.personKey = request.personKey;
    // A person outside the line is selected as finding it does, which adds no box: the chart of
    // the path is the root row, and there is no line of ancestors to tell about.
    const cPersonPtr person = open.People().Item(request.personKey);
    const bool outside = person && OpenTree::IsOutsideLine(*person);
    if (person)
        open.Select(person->Key());
    if (request.descendants || request.ancestors || request.fan != 0 || request.hourglass) {
        chart.mode = request.descendants ? TreeExportRequest::Mode::Descendants
                     : request.ancestors ? TreeExportRequest::Mode::Ancestors
                     : request.hourglass ? TreeExportRequest::Mode::Hourglass
                                         : TreeExportRequest::Mode::Fan;
        chart.fanGenerations = request.fan;
        chart.fanSpan = span;
        chart.fanColours = colours;
        Result<std::vector<Genealogy::FamilyKeys>> families =
            kinship.Families(tree.Store(), tree.Name());
        if (!families)
            return fail(err, QStringLiteral("The families of the tree '%1' could not be read: %2")
                                 .arg(tree.Name(), families.error().text()));
        chart.families =
            privateFamilies ? std::move(*privateFamilies) : std::move(families).value();
    } else if (!request.personKey.isEmpty() && !outside) {
        chart.mode = TreeExportRequest::Mode::PersonPath;
    }
    ChartCliRequest titled = request;
    if (outside && chart.mode == TreeExportRequest::Mode::RootRow)
        titled.personKey.clear();
    // The main chart's title does not name a living person the privacy choice hides (nor call
    // the person "Living"): it names the tree, as the window's does.
    if (chart.mode == TreeExportRequest::Mode::PersonPath && person &&
        renamed.contains(person->Key()))
        titled.personKey.clear();
    chart.title = titleOf(titled, tree.Name(), tree.People());

    const TreeExportResult result = ExportTreeChart(chart, request.file);
    if (!result.ok())
        return fail(err, result.error);
    if (!result.notice.isEmpty()) {
        err << result.notice << '\n';
        err.flush();
    }
    QString counted;
    if (request.hourglass)
        counted = QStringLiteral(" (%1 ancestors, %2 descendants)")
                      .arg(result.persons)
                      .arg(result.descendants);
    else if ((request.descendants || request.ancestors || request.fan != 0) &&
             !request.personKey.isEmpty())
        counted = QStringLiteral(" (%1 %2)")
                      .arg(result.persons)
                      .arg(KinshipCountWord(request.descendants ? KinshipChartKind::Descendants
                                                                : KinshipChartKind::Ancestors));
    out << QStringLiteral("exported chart of %1 boxes%2 to %3")
               .arg(result.boxes)
               .arg(counted, request.file)
        << '\n';
    out.flush();
    return 0;
}

} // namespace

int RunChartExport(const ChartCliRequest &request, const QString &dataFolder, QTextStream &out,
                   QTextStream &err, const TreeKinshipReaders &kinship)
{
    // Reading a very large tree may run out of memory as well as drawing its chart.
    try {
        return runChartExport(request, dataFolder, out, err, kinship);
    } catch (const std::bad_alloc &) {
        return fail(err, NotEnoughMemoryText(request.file));
    }
}
