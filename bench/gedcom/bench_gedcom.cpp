// GEDCOM import and export figures: parse, map, bulk insert into SQLite (the import end to end,
// until the tree exists), export, peak memory and persons per second, for a generated file of
// 100,000 persons, for royal92 and for a generated file of 1,000,000 persons. Each runs in a
// process of its own, so each peak memory figure is its own.
//
//   bench_gedcom                    all three
//   bench_gedcom --scenario NAME    one: 100k, royal92, 1m, or a number of persons
#include "Document.h"
#include "Export.h"
#include "FamilyGenerator.h"
#include "Import.h"
#include "ImportRun.h"
#include "SqliteSink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Peak resident memory of this process so far, in kB (VmHWM).
qint64 peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLongLong();
    }
    return -1;
}

// Starts the peak over (Linux 4.0 and later); false when the kernel does not allow it.
bool resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

double seconds(QElapsedTimer &timer)
{
    const double s = double(timer.nsecsElapsed()) / 1e9;
    timer.restart();
    return s;
}

void print(const char *format, auto... values)
{
    std::printf(format, values...);
    std::fflush(stdout);
}

int runScenario(const QString &name)
{
    QTemporaryDir dir;
    QString path;
    qsizetype wanted = 0;
    if (name == QLatin1String("royal92")) {
        path = QStringLiteral(VT_GEDCOM_SAMPLES "/royal92.ged");
        if (!QFileInfo::exists(path)) {
            print("== royal92: skipped, %s not found\n", qPrintable(path));
            return 0;
        }
    } else {
        wanted = name == QLatin1String("100k") ? 100000
                 : name == QLatin1String("1m") ? 1000000
                                               : name.toLongLong();
        if (wanted <= 0) {
            print("unknown scenario %s\n", qPrintable(name));
            return 1;
        }
        path = dir.filePath(QStringLiteral("generated.ged"));
        QElapsedTimer timer;
        timer.start();
        if (!FamilyGenerator(wanted).write(path)) {
            print("cannot write %s\n", qPrintable(path));
            return 1;
        }
        print("== generated file of %lld persons: %.1f MB, written in %.2f s\n",
              static_cast<long long>(wanted), double(QFileInfo(path).size()) / 1e6, seconds(timer));
    }
    if (wanted == 0)
        print("== %s: %.1f MB\n", qPrintable(QFileInfo(path).fileName()),
              double(QFileInfo(path).size()) / 1e6);
    const bool peakReset = resetPeak();

    QElapsedTimer timer;
    timer.start();
    auto doc = std::make_unique<Gedcom::Document>(Gedcom::Document::fromFile(path));
    const double parse = seconds(timer);
    if (!doc->isValid()) {
        print("cannot read: %s\n", qPrintable(doc->error()));
        return 1;
    }
    Gedcom::ImportContext context;
    context.gedcomFolder = QFileInfo(path).absolutePath();
    const Gedcom::ImportPlan plan = Gedcom::planImport(*doc, context);
    const double map = seconds(timer);
    doc.reset(); // the rows are plain strings of their own
    const qint64 peakAfterMap = peakKb();
    timer.restart();

    Gedcom::RunResult run;
    {
        SqliteSink sink(dir.filePath(QStringLiteral("people.db")), QStringLiteral("Imported"));
        run = Gedcom::runImport(plan, sink, dir.filePath(QStringLiteral("Photos")));
    }
    const double insert = seconds(timer);
    if (!run.isDone()) {
        print("insert failed: %s\n", qPrintable(run.error));
        return 1;
    }
    const qint64 importPeak = peakKb();
    const qsizetype persons = plan.counts.persons;

    QList<PersonRecord> rows;
    rows.reserve(plan.rows.size());
    for (const Gedcom::PlannedRow &row : plan.rows)
        rows.append(row.record);
    timer.restart();
    Gedcom::ExportOptions options;
    Gedcom::ExportResult exported = Gedcom::exportRows(rows, options);
    const double export551 = seconds(timer);
    QString error;
    const bool written =
        Gedcom::writeFileAtomically(dir.filePath(QStringLiteral("out.ged")), exported.data, &error);
    const double write = seconds(timer);
    const qsizetype bytes551 = exported.data.size();
    exported = {};
    options.version = Gedcom::Version::Gedcom70;
    timer.restart();
    exported = Gedcom::exportRows(rows, options);
    const double export70 = seconds(timer);
    const qint64 exportPeak = peakKb();

    const double endToEnd = parse + map + insert;
    print("   persons %lld: %lld rows, %lld partners, %lld noted\n",
          static_cast<long long>(persons), static_cast<long long>(plan.counts.rows),
          static_cast<long long>(plan.counts.partners), static_cast<long long>(plan.counts.noted));
    print("   parse   %7.3f s\n   map     %7.3f s\n   insert  %7.3f s  (SQLite: one transaction, "
          "one prepared statement)\n",
          parse, map, insert);
    print("   import end to end %.3f s: %.0f persons/s\n", endToEnd, double(persons) / endToEnd);
    print("   export 5.5.1 %.3f s (%.1f MB), written to a file in %.3f s%s\n", export551,
          double(bytes551) / 1e6, write, written ? "" : " (FAILED)");
    print("   export 7.0   %.3f s (%.1f MB)\n", export70, double(exported.data.size()) / 1e6);
    print("   peak memory: %.1f MB after mapping, %.1f MB after the insert (%.2f KB per person), "
          "%.1f MB with both exports%s\n",
          double(peakAfterMap) / 1024, double(importPeak) / 1024,
          double(importPeak) / double(qMax<qsizetype>(persons, 1)), double(exportPeak) / 1024,
          peakReset ? "" : " (includes generating the file)");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--scenario"));
    if (at >= 0 && at + 1 < args.size())
        return runScenario(args[at + 1]);

    print("GEDCOM benchmark (%s build)\n",
#ifdef NDEBUG
          "assertions off"
#else
          "assertions ON: not for figures"
#endif
    );
    int failures = 0;
    for (const char *scenario : {"100k", "royal92", "1m"}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(app.applicationFilePath(),
                    {QStringLiteral("--scenario"), QString::fromLatin1(scenario)});
        child.waitForFinished(-1);
        failures += child.exitCode() != 0 || child.exitStatus() != QProcess::NormalExit;
    }
    return failures ? 1 : 0;
}
