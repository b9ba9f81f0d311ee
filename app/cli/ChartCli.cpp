#include "ChartCli.h"

#include "ChartExport.h"
#include "CollectionMessages.h"
#include "OpenTree.h"
#include "TreeExport.h"
#include "TreeList.h"
#include "mDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <new>

namespace {

int fail(QTextStream &err, const QString &message)
{
    err << message << '\n';
    err.flush();
    return 1;
}

QString titleOf(const ChartCliRequest &request, const cPeople &people)
{
    QString title = request.tree;
    if (const cPersonPtr person = people.Item(request.personKey)) {
        const QString name = (person->Fname() + QLatin1Char(' ') + person->Sname()).trimmed();
        title += QStringLiteral(" - ") +
                 (request.descendants ? QStringLiteral("Descendants of ") : QString()) +
                 (name.isEmpty() ? person->Key() : name);
    } else if (request.descendants) {
        title += QStringLiteral(" - Descendants of every root person");
    }
    return title;
}

int runChartExport(const ChartCliRequest &request, const QString &dataFolder, QTextStream &out,
                   QTextStream &err)
{
    if (request.tree.isEmpty() || request.file.isEmpty())
        return fail(err, QStringLiteral("--export-chart needs the name of a tree and the name of "
                                        "the file to write: --export-chart TREE FILE"));
    if (FormatForFile(request.file) == ExportFormat::Unknown)
        return fail(err, QStringLiteral("'%1' does not end in .png, .svg or .pdf: the name of the "
                                        "file decides how the chart is written.")
                             .arg(request.file));
    // A file that can never be written is refused before the tree is read.
    if (const QString problem = ExportTargetProblem(request.file); !problem.isEmpty())
        return fail(err, problem);

    const QString folder = QDir(dataFolder).absolutePath() + QLatin1Char('/');
    const QString database = folder + QStringLiteral("people.db");
    if (!QFileInfo::exists(database))
        return fail(err, QStringLiteral("There is no database in %1 (people.db was not found). "
                                        "Name the data folder with --data.")
                             .arg(QDir::toNativeSeparators(folder)));
    mDatabase store;
    store.SetPaths(folder, database);
    // Only read: the database is opened read-only whatever its permissions.
    store.SetWriteCheck([](const QString &) { return false; });
    if (const Result<void> opened = store.OpenDatabase(); !opened)
        return fail(err, QStringLiteral("The database %1 could not be opened.\n%2")
                             .arg(QDir::toNativeSeparators(database), opened.error().text()));

    // The tree's name as the database lists it: the exact name, else the one name equal to it
    // without regard to case (as the database compares table names).
    TreeList trees(store);
    trees.Refill();
    const QString tree = trees.Listed(request.tree);
    if (tree.isEmpty())
        return fail(err, QStringLiteral("There is no tree named '%1' in %2.")
                             .arg(request.tree, QDir::toNativeSeparators(database)));
    OpenTree open(store);
    const Result<void> loaded = open.Load(tree);
    // Rows left out for a key an earlier row has: said on the error stream, never in a window.
    for (const QString &key : open.SkippedKeys())
        err << PersonKeyTakenText(key) << '\n';
    if (!loaded)
        return fail(
            err,
            QStringLiteral("The tree '%1' could not be read: %2").arg(tree, loaded.error().text()));
    if (open.People().Count() == 0)
        return fail(
            err,
            QStringLiteral("The tree '%1' has no persons: there is no chart to export.").arg(tree));

    TreeExportRequest chart;
    chart.people = &open.People();
    chart.childrenOf = [&open](const QString &parentKey) -> const std::vector<cPersonPtr> & {
        return open.Children(parentKey);
    };
    chart.personKey = request.personKey;
    // A person outside the line is selected as finding it does, which adds no box: the chart is
    // the root row, and there is no line of ancestors to tell about.
    const cPersonPtr person = open.People().Item(request.personKey);
    const bool outside = person && OpenTree::IsOutsideLine(*person);
    if (person)
        open.Select(person->Key());
    if (request.descendants)
        chart.mode = TreeExportRequest::Mode::Descendants;
    else if (!request.personKey.isEmpty() && !outside)
        chart.mode = TreeExportRequest::Mode::PersonPath;
    chart.title =
        titleOf(ChartCliRequest{tree, request.file,
                                outside && !request.descendants ? QString() : request.personKey,
                                request.descendants},
                open.People());

    const TreeExportResult result = ExportTreeChart(chart, request.file);
    if (!result.ok())
        return fail(err, result.error);
    if (!result.notice.isEmpty()) {
        err << result.notice << '\n';
        err.flush();
    }
    out << QStringLiteral("exported chart of %1 boxes to %2").arg(result.boxes).arg(request.file)
        << '\n';
    out.flush();
    return 0;
}

} // namespace

int RunChartExport(const ChartCliRequest &request, const QString &dataFolder, QTextStream &out,
                   QTextStream &err)
{
    // Reading a very large tree may run out of memory as well as drawing its chart.
    try {
        return runChartExport(request, dataFolder, out, err);
    } catch (const std::bad_alloc &) {
        return fail(err, NotEnoughMemoryText(request.file));
    }
}
