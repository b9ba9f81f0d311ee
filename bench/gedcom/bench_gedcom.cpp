// GEDCOM import and export figures: parse, map, bulk insert into the person store (the import end
// to end, until the tree exists), export from the store to a file, peak memory and persons per
// second, for a generated file of 100,000 persons, for royal92 and for a generated file of
// 1,000,000 persons. Each runs in a process of its own, so each peak memory figure is its own.
//
// The scenarios "model100k" and "model1m" import a generated file of researched families instead
// (every person with five events, places, sources, citations and notes: ModelGenerator) and times
// reading the families of the tree and the part of the model around persons, as the charts and the
// panel do.
//
//   bench_gedcom                    all three
//   bench_gedcom --scenario NAME    one: 100k, royal92, 1m, model100k, model1m, a number of
//                                   persons, or "model" and a number of researched persons
//   ... --database ADDRESS          into a shared database on a server instead of a file (a
//                                   database for the benchmark: its trees are deleted first)
//   ... --import-only               the import alone (for profiling it): no rows-alone
//                                   import, no reads, no exports
//   ... --keep-exports FOLDER       copies both exported files into the folder (out.ged,
//                                   out7.ged), written with a fixed time in HEAD, so that the
//                                   files of two builds can be compared byte by byte
#include "Document.h"
#include "Export.h"
#include "FamilyGenerator.h"
#include "Import.h"
#include "ImportRun.h"
#include "ModelGenerator.h"
#include "ModelImport.h"
#include "ModelStore.h"
#include "PhotoFolders.h"
#include "StoreExport.h"
#include "StoreImport.h"
#include "mDatabase.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimeZone>

#include <cstdio>
#include <ctime>

#include <sys/resource.h>

#include <unistd.h>

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

// Processor time of this process, in seconds.
double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// One step's wall-clock time and processor time. On a shared machine the wall-clock time grows
// with the other load; the processor time is close to what the step takes on a machine of its
// own (the steps run on one thread).
struct Lap
{
    double wall = 0;
    double cpu = 0;
    double system = 0; // of cpu: in the kernel (page faults, writing the file)
};

double systemSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_stime.tv_sec) + double(usage.ru_stime.tv_usec) / 1e6;
}

class Stopwatch
{
public:
    Stopwatch() { restart(); }
    void restart()
    {
        m_timer.restart();
        m_cpu = cpuSeconds();
        m_system = systemSeconds();
    }
    Lap lap()
    {
        const Lap lap{double(m_timer.nsecsElapsed()) / 1e9, cpuSeconds() - m_cpu,
                      systemSeconds() - m_system};
        restart();
        return lap;
    }

private:
    QElapsedTimer m_timer;
    double m_cpu = 0;
    double m_system = 0;
};

// Processor time of the server process that serves the store's connection (a server on this
// machine), in seconds; -1 when unknown. The import's work on a server is mostly the server's.
class ServerClock
{
public:
    explicit ServerClock(const mDatabase &store)
    {
        if (!store.IsShared())
            return;
        QSqlQuery query(QSqlDatabase::database(store.ConnectionName(), false));
        if (query.exec(QStringLiteral("SELECT pg_backend_pid()")) && query.next())
            m_pid = query.value(0).toLongLong();
    }
    bool known() const { return seconds() >= 0; }
    double seconds() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(m_pid));
        if (m_pid <= 0 || !stat.open(QIODevice::ReadOnly))
            return -1;
        // The fields after the command's closing parenthesis; utime and stime are 14 and 15.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13)
            return -1;
        const double ticks = double(sysconf(_SC_CLK_TCK));
        return (fields[11].toDouble() + fields[12].toDouble()) / ticks;
    }

private:
    qint64 m_pid = 0;
};

double seconds(QElapsedTimer &timer)
{
    const double s = double(timer.nsecsElapsed()) / 1e9;
    timer.restart();
    return s;
}

// The folder --keep-exports names, or empty.
QString g_keepExports;
// --import-only: stop after the import.
bool g_importOnly = false;

void print(const char *format, auto... values)
{
    std::printf(format, values...);
    std::fflush(stdout);
}

int runScenario(const QString &name, const QString &database)
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
    } else if (name.startsWith(QLatin1String("model"))) {
        const qsizetype researched = name == QLatin1String("model1m") ? 1000000
                                     : name == QLatin1String("model100k")
                                         ? 100000
                                         : name.mid(5).toLongLong();
        if (researched <= 0) {
            print("unknown scenario %s\n", qPrintable(name));
            return 1;
        }
        path = dir.filePath(QStringLiteral("researched.ged"));
        QElapsedTimer timer;
        timer.start();
        if (!ModelGenerator(researched).write(path)) {
            print("cannot write %s\n", qPrintable(path));
            return 1;
        }
        print("== generated researched file of %lld persons: %.1f MB, written in %.2f s\n",
              static_cast<long long>(researched), double(QFileInfo(path).size()) / 1e6,
              seconds(timer));
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

    // The person store of a new data folder, as the program opens it (with its example tree).
    const QString dataPath = dir.filePath(QStringLiteral("data")) + QLatin1Char('/');
    QDir().mkpath(dataPath);
    mDatabase store;
    store.BuildConnectionString(dataPath);
    if (!database.isEmpty()) {
        const Result<ServerAddress> address = ParseServerAddress(database);
        if (!address) {
            print("%s\n", qPrintable(address.error().text()));
            return 1;
        }
        store.SetServer(*address);
        store.SetCreateTables(true);
    }
    if (!store.OpenDatabase()) {
        print("cannot open the store: %s\n", qPrintable(store.OpenError().text()));
        return 1;
    }
    if (store.IsShared()) {
        print("   into the shared database %s\n", qPrintable(store.DatabaseDisplayName()));
        for (const QString &tree : store.ListTrees())
            std::ignore = store.DeleteTree(tree);
    }
    const bool peakReset = resetPeak();
    const ServerClock server(store);
    const double serverAtStart = server.seconds();

    Stopwatch clock;
    auto doc = std::make_unique<Gedcom::Document>(Gedcom::Document::fromFile(path));
    const Lap parse = clock.lap();
    if (!doc->isValid()) {
        print("cannot read: %s\n", qPrintable(doc->error().text()));
        return 1;
    }
    Gedcom::ImportContext context;
    context.gedcomFolder = QFileInfo(path).absolutePath();
    if (Result<Gedcom::KeyTest> taken = Gedcom::takenKeys(store); taken) {
        context.isKeyTaken = std::move(*taken);
    } else {
        print("%s\n", qPrintable(taken.error().text()));
        return 1;
    }
    Lap map, insert, oldMap, oldInsert;
    Gedcom::ImportCounts counts;
    Gedcom::ModelCounts modelCounts;
    // Now: the rows and the family records beside them, in one transaction.
    clock.restart();
    Gedcom::MappedTree mapped = Gedcom::mapDocument(*doc, context);
    map = clock.lap();
    doc.reset(); // the rows are plain strings of their own
    const qint64 peakAfterMap = peakKb();
    clock.restart();
    Gedcom::RunResult run;
    {
        Gedcom::ImportPlan plan;
        plan.rows = std::move(mapped.rows);
        plan.counts = mapped.counts;
        Gedcom::StoreSink sink(store, QStringLiteral("Imported"));
        sink.setModel(&plan.rows, &mapped.model);
        run = Gedcom::runImport(plan, sink, PhotoFolders::Root(dataPath));
    }
    insert = clock.lap();
    counts = mapped.counts;
    modelCounts = mapped.modelCounts;
    mapped = Gedcom::MappedTree();
    if (!run.isDone() || !store.TreeExists(QStringLiteral("Imported"))) {
        print("insert failed: %s\n", qPrintable(run.error.text()));
        return 1;
    }
    const qint64 importPeak = peakKb();
    const double serverImport = server.seconds() - serverAtStart;
    // Before: the rows alone (the mapping onto rows and notes), into a tree of their own, from
    // the file read again (after the peak of the import above was taken).
    if (!g_importOnly) {
        doc = std::make_unique<Gedcom::Document>(Gedcom::Document::fromFile(path));
        clock.restart();
        const Gedcom::ImportPlan plan = Gedcom::planImport(*doc, context);
        oldMap = clock.lap();
        Gedcom::RunResult run;
        {
            Gedcom::StoreSink sink(store, QStringLiteral("Rows"));
            run = Gedcom::runImport(plan, sink, QString());
        }
        oldInsert = clock.lap();
        if (!run.isDone()) {
            print("insert of the rows alone failed: %s\n", qPrintable(run.error.text()));
            return 1;
        }
        doc.reset();
    }
    const qsizetype persons = counts.persons;
    print("   persons %lld: %lld rows; %lld families, %lld events, %lld sources, %lld citations, "
          "%lld kept as read\n",
          static_cast<long long>(persons), static_cast<long long>(counts.rows),
          static_cast<long long>(modelCounts.families), static_cast<long long>(modelCounts.events),
          static_cast<long long>(modelCounts.sources),
          static_cast<long long>(modelCounts.citations), static_cast<long long>(modelCounts.kept));
    print("   step      wall s   cpu s\n");
    print("   parse   %7.3f %7.3f\n   map     %7.3f %7.3f\n   insert  %7.3f %7.3f  (the "
          "person store: rows and family records in one transaction)\n",
          parse.wall, parse.cpu, map.wall, map.cpu, insert.wall, insert.cpu);
    const Lap total{parse.wall + map.wall + insert.wall, parse.cpu + map.cpu + insert.cpu};
    print("   import  %7.3f %7.3f  end to end: %.0f persons/s (wall), %.0f persons/s (cpu)\n",
          total.wall, total.cpu, double(persons) / total.wall, double(persons) / total.cpu);
    if (server.known())
        print("   server  %15.3f  the server's processor time for the import: %.0f persons/s by "
              "the processor time of both\n",
              serverImport, double(persons) / (total.cpu + serverImport));
    const Lap before{parse.wall + oldMap.wall + oldInsert.wall,
                     parse.cpu + oldMap.cpu + oldInsert.cpu};
    if (!g_importOnly)
        print("   before  %7.3f %7.3f  the rows alone, same run (map %.3f, insert %.3f cpu s): "
          "%.0f persons/s (cpu)\n",
          before.wall, before.cpu, oldMap.cpu, oldInsert.cpu, double(persons) / before.cpu);
    // Per person, the steps should cost the same at any size.
    const double perPerson = 1e6 / double(qMax<qsizetype>(persons, 1));
    print("   per person (cpu): parse %.2f us, map %.2f us, insert %.2f us\n",
          parse.cpu * perPerson, map.cpu * perPerson, insert.cpu * perPerson);
    if (g_importOnly)
        return 0;

    // What the charts and the panel read: the families of the tree, and the part of the model
    // around one person (every 100th row).
    {
        clock.restart();
        const Result<std::vector<Genealogy::FamilyKeys>> families =
            ModelStore::familiesOf(store, QStringLiteral("Imported"));
        const Lap walk = clock.lap();
        const Result<QList<PersonRecord>> rows = store.ReadTree(QStringLiteral("Imported"));
        double slowest = 0, sum = 0;
        int slices = 0;
        size_t events = 0;
        if (rows) {
            for (qsizetype r = 0; r < rows->size(); r += 100) {
                QElapsedTimer one;
                one.start();
                const Result<Genealogy::ModelSlice> slice =
                    ModelStore::sliceOf(store, QStringLiteral("Imported"), (*rows)[r].ID);
                const double ms = double(one.nsecsElapsed()) / 1e6;
                if (slice)
                    events += slice->model.events.size();
                slowest = qMax(slowest, ms);
                sum += ms;
                ++slices;
            }
        }
        print("   families of the tree: %lld in %.3f s; the part around a person: %.2f ms on "
              "average, %.2f ms at most (%d persons, %.1f events each)\n",
              static_cast<long long>(families ? families->size() : 0), walk.wall,
              slices ? sum / slices : 0.0, slowest, slices, slices ? double(events) / slices : 0.0);
    }

    // What an export reads: the rows and the whole model, in one ordered scan.
    {
        clock.restart();
        const Result<Genealogy::ModelSlice> whole =
            ModelStore::readTree(store, QStringLiteral("Imported"));
        const Lap read = clock.lap();
        print(
            "   read whole tree %7.3f %7.3f  (%u events; part of each export below; %.3f s in the "
            "kernel)\n",
            read.wall, read.cpu, whole ? whole->model.events.size() : 0u, read.system);
    }

    // Export as the program does it: the tree read from the store, written to a file.
    Gedcom::ExportOptions options;
    if (!g_keepExports.isEmpty())
        options.timestamp = QDateTime(QDate(2000, 1, 1), QTime(12, 0), QTimeZone::utc());
    const QString out551 = dir.filePath(QStringLiteral("out.ged"));
    const QString out70 = dir.filePath(QStringLiteral("out7.ged"));
    clock.restart();
    const Gedcom::StoreExport exported551 =
        Gedcom::exportFromStore(store, QStringLiteral("Imported"), out551, options);
    const Lap export551 = clock.lap();
    options.version = Gedcom::Version::Gedcom70;
    const Gedcom::StoreExport exported70 =
        Gedcom::exportFromStore(store, QStringLiteral("Imported"), out70, options);
    const Lap export70 = clock.lap();
    const qint64 exportPeak = peakKb();
    if (!exported551.isDone() || !exported70.isDone()) {
        print("export failed: %s%s\n", qPrintable(exported551.error.text()),
              qPrintable(exported70.error.text()));
        return 1;
    }
    print("   export 5.5.1 %7.3f %7.3f  (%.1f MB: the tree read from the store, written to a "
          "file; %.3f s of the cpu in the kernel)\n",
          export551.wall, export551.cpu, double(QFileInfo(out551).size()) / 1e6, export551.system);
    print("   export 7.0   %7.3f %7.3f  (%.1f MB; %.3f s in the kernel)\n", export70.wall,
          export70.cpu, double(QFileInfo(out70).size()) / 1e6, export70.system);
    if (!g_keepExports.isEmpty()) {
        QDir().mkpath(g_keepExports);
        for (const QString &out : {out551, out70}) {
            const QString kept = QDir(g_keepExports).filePath(QFileInfo(out).fileName());
            QFile::remove(kept);
            if (!QFile::copy(out, kept))
                print("could not keep %s\n", qPrintable(kept));
        }
    }
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
    const qsizetype db = args.indexOf(QStringLiteral("--database"));
    const QString database = db >= 0 && db + 1 < args.size() ? args[db + 1] : QString();
    const qsizetype keep = args.indexOf(QStringLiteral("--keep-exports"));
    if (keep >= 0 && keep + 1 < args.size())
        g_keepExports = args[keep + 1];
    g_importOnly = args.contains(QStringLiteral("--import-only"));
    if (at >= 0 && at + 1 < args.size())
        return runScenario(args[at + 1], database);

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
        QStringList arguments{QStringLiteral("--scenario"), QString::fromLatin1(scenario)};
        if (!database.isEmpty())
            arguments << QStringLiteral("--database") << database;
        child.start(app.applicationFilePath(), arguments);
        child.waitForFinished(-1);
        failures += child.exitCode() != 0 || child.exitStatus() != QProcess::NormalExit;
    }
    return failures ? 1 : 0;
}
