// The mapping of a GEDCOM file onto rows and the genealogical model, and writing both back:
// parse, map, peak memory and persons per second for a generated file of 100,000 persons with
// five events each (places, sources, citations, notes), for royal92 and for 1,000,000 such
// persons; then 5.5.1 and 7.0 writes and a second round trip compared byte for byte. Each runs in
// a process of its own, so each peak memory figure is its own.
//
//   bench_model                    100k, royal92, 1m
//   bench_model --scenario NAME    one: 100k, royal92, 1m, or a number of persons
#include "Document.h"
#include "ModelExport.h"
#include "ModelGenerator.h"
#include "ModelImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

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

bool resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

struct Lap
{
    double wall = 0;
    double cpu = 0;
};

class Stopwatch
{
public:
    Stopwatch() { restart(); }
    void restart()
    {
        m_timer.restart();
        m_cpu = cpuSeconds();
    }
    Lap lap()
    {
        const Lap lap{double(m_timer.nsecsElapsed()) / 1e9, cpuSeconds() - m_cpu};
        restart();
        return lap;
    }

private:
    QElapsedTimer m_timer;
    double m_cpu = 0;
};

void print(const char *format, auto... values)
{
    std::printf(format, values...);
    std::fflush(stdout);
}

QList<PersonRecord> rowsOf(const Gedcom::MappedTree &tree)
{
    QList<PersonRecord> rows;
    rows.reserve(tree.rows.size());
    for (const Gedcom::PlannedRow &row : tree.rows)
        rows.append(row.record);
    return rows;
}

int runScenario(const QString &name)
{
    QTemporaryDir dir;
    QString path;
    if (name == QLatin1String("royal92")) {
        path = QStringLiteral(VT_GEDCOM_SAMPLES "/royal92.ged");
        if (!QFileInfo::exists(path)) {
            print("== royal92: skipped, %s not found\n", qPrintable(path));
            return 0;
        }
        print("== royal92.ged: %.1f MB\n", double(QFileInfo(path).size()) / 1e6);
    } else {
        const qsizetype wanted = name == QLatin1String("100k") ? 100000
                                 : name == QLatin1String("1m") ? 1000000
                                                               : name.toLongLong();
        if (wanted <= 0) {
            print("unknown scenario %s\n", qPrintable(name));
            return 1;
        }
        path = dir.filePath(QStringLiteral("generated.ged"));
        QElapsedTimer timer;
        timer.start();
        if (!ModelGenerator(wanted).write(path)) {
            print("cannot write %s\n", qPrintable(path));
            return 1;
        }
        print("== generated file of %lld persons, five events each: %.1f MB, written in %.2f s\n",
              static_cast<long long>(wanted), double(QFileInfo(path).size()) / 1e6,
              double(timer.nsecsElapsed()) / 1e9);
    }
    const bool peakReset = resetPeak();
    const qint64 base = peakKb();

    Stopwatch clock;
    auto doc = std::make_unique<Gedcom::Document>(Gedcom::Document::fromFile(path));
    const Lap parse = clock.lap();
    if (!doc->isValid()) {
        print("cannot read: %s\n", qPrintable(doc->error().text()));
        return 1;
    }
    Gedcom::ImportContext context;
    context.gedcomFolder = QFileInfo(path).absolutePath();
    Gedcom::MappedTree tree = Gedcom::mapDocument(*doc, context);
    const Lap map = clock.lap();
    const qint64 peakMap = peakKb();
    doc.reset();
    if (!tree.isValid()) {
        print("cannot map: %s\n", qPrintable(tree.error.text()));
        return 1;
    }
    const qsizetype persons = tree.rows.size();
    const double perPerson = 1.0 / double(qMax<qsizetype>(persons, 1));
    print("   persons %lld, families %lld, events %lld, citations %lld, places %lld, kept %lld\n",
          static_cast<long long>(persons), static_cast<long long>(tree.modelCounts.families),
          static_cast<long long>(tree.modelCounts.events),
          static_cast<long long>(tree.modelCounts.citations),
          static_cast<long long>(tree.modelCounts.places),
          static_cast<long long>(tree.modelCounts.kept));
    print("   step          wall s   cpu s\n");
    print("   parse       %7.3f %7.3f\n   map         %7.3f %7.3f\n", parse.wall, parse.cpu,
          map.wall, map.cpu);
    const Lap import{parse.wall + map.wall, parse.cpu + map.cpu};
    print("   parse+map   %7.3f %7.3f  %.0f persons/s (wall), %.0f persons/s (cpu)\n", import.wall,
          import.cpu, double(persons) / import.wall, double(persons) / import.cpu);
    print("   peak memory after mapping: %.1f MB (%.2f KB per person; %.1f MB before reading), "
          "the model %.1f MB (%.0f bytes per person)%s\n",
          double(peakMap) / 1024, double(peakMap) * perPerson, double(base) / 1024,
          double(tree.model.bytes()) / 1048576, double(tree.model.bytes()) * perPerson,
          peakReset ? "" : " (includes generating the file)");

    if (qEnvironmentVariableIsSet("VT_BREAKDOWN")) {
        const Genealogy::TreeModel &m = tree.model;
        print("   texts %.1f MB (used %.1f), events %.1f, details %.1f, addresses %.1f, citations "
              "%.1f, names %.1f, notes %.1f, links %.1f, childlinks %.1f, partnerships %.1f, kept "
              "%.1f\n",
              m.texts().capacity() / 1e6, m.texts().size() / 1e6, m.events.bytes() / 1e6,
              m.eventDetails.bytes() / 1e6, m.addresses.bytes() / 1e6, m.citations.bytes() / 1e6,
              m.names.bytes() / 1e6, m.notes.bytes() / 1e6, m.noteLinks.bytes() / 1e6,
              m.childLinks.bytes() / 1e6, m.partnerships.bytes() / 1e6,
              (m.kept.bytes() + m.keptLines.bytes()) / 1e6);
    }
    const QList<PersonRecord> rows = rowsOf(tree);
    Gedcom::ExportOptions options;
    options.timestamp = QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    clock.restart();
    const Gedcom::ExportResult out551 = Gedcom::writeTree(rows, tree.model, options);
    const Lap write551 = clock.lap();
    options.version = Gedcom::Version::Gedcom70;
    const Gedcom::ExportResult out70 = Gedcom::writeTree(rows, tree.model, options);
    const Lap write70 = clock.lap();
    print("   write 5.5.1 %7.3f %7.3f  %.0f persons/s (wall), %.1f MB\n", write551.wall,
          write551.cpu, double(persons) / write551.wall, double(out551.data.size()) / 1e6);
    print("   write 7.0   %7.3f %7.3f  %.0f persons/s (wall), %.1f MB\n", write70.wall, write70.cpu,
          double(persons) / write70.wall, double(out70.data.size()) / 1e6);

    // The written file read, mapped and written again: the same bytes.
    const Gedcom::Document again = Gedcom::Document::fromBytes(out551.data);
    const Gedcom::MappedTree second = Gedcom::mapDocument(again, context);
    options.version = Gedcom::Version::Gedcom551;
    const Gedcom::ExportResult out2 = Gedcom::writeTree(rowsOf(second), second.model, options);
    print("   round trip 5.5.1: %s\n", out2.data == out551.data ? "byte-identical" : "DIFFERS");
    return out2.data == out551.data ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--scenario"));
    if (at >= 0 && at + 1 < args.size())
        return runScenario(args[at + 1]);

    print("GEDCOM model benchmark (%s build)\n",
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
