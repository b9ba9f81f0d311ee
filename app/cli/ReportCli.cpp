#include "ReportCli.h"

#include "ChartExport.h"
#include "ModelStore.h"
#include "ReportDocument.h"
#include "ReportFile.h"
#include "ReportMaker.h"
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

int runReport(const ReportCliRequest &request, const mDatabase &store, QTextStream &out,
              QTextStream &err)
{
    Reports::ReportKind kind = Reports::ReportKind::Descendants;
    if (!Reports::kindFromWord(request.kind, kind))
        return fail(err, QStringLiteral("--report is family, descendants or ancestors, not '%1'.")
                             .arg(request.kind));
    if (request.tree.isEmpty() || request.file.isEmpty())
        return fail(err, QStringLiteral("--report needs the tree and the file to write: --report "
                                        "%1 TREE FILE --person KEY")
                             .arg(request.kind));
    if (request.personKey.isEmpty())
        return fail(err, QStringLiteral("--report needs the person it is about: --person KEY"));
    if (request.generations < 0 || request.generations > Reports::ReportRequest::kMaxGenerations)
        return fail(err, QStringLiteral("--generations is a number from 1 to %1.")
                             .arg(Reports::ReportRequest::kMaxGenerations));
    if (Reports::reportFormatFor(request.file) == Reports::ReportFormat::Unknown)
        return fail(err, QStringLiteral("'%1' does not end in .pdf or .odt: the name of the file "
                                        "decides how the report is written.")
                             .arg(request.file));
    if (const QString problem = ExportTargetProblem(request.file); !problem.isEmpty())
        return fail(err, problem);

    const QString tree = store.StoredTreeName(request.tree);
    if (tree.isEmpty())
        return fail(err, QStringLiteral("There is no tree named '%1'.").arg(request.tree));
    Result<Genealogy::ModelSlice> read = ModelStore::readTree(store, tree);
    if (!read)
        return fail(
            err,
            QStringLiteral("The tree '%1' could not be read: %2").arg(tree, read.error().text()));
    Reports::ReportRequest report;
    report.kind = kind;
    report.generations = request.generations;
    const Reports::MadeReport made =
        Reports::makeReport(std::move(*read), request.personKey, report, request.privacy);
    if (!made.error.isEmpty())
        return fail(err, made.error);
    const Reports::ReportResult &result = made.result;
    if (const QString why = Reports::writeReport(*result.document, request.file); !why.isEmpty())
        return fail(err, why);
    out << QStringLiteral("wrote the %1 report of %2: %3 persons, %4 endnotes, %5 names in the "
                          "index, to %6")
               .arg(request.kind.trimmed().toLower(), request.personKey)
               .arg(result.persons)
               .arg(result.endnotes)
               .arg(result.names)
               .arg(request.file)
        << '\n';
    out.flush();
    return 0;
}

} // namespace

int RunReport(const ReportCliRequest &request, const mDatabase &store, QTextStream &out,
              QTextStream &err)
{
    try {
        return runReport(request, store, out, err);
    } catch (const std::bad_alloc &) {
        return fail(err, QStringLiteral("There is not enough memory to make the report."));
    }
}
