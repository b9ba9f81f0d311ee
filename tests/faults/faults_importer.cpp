// The other program of the import tests: imports a GEDCOM file into the database of a data
// folder as --import-gedcom does, and can stop at one moment of the import until told to go on:
//   planned - the file is planned (its keys chosen), the write lock not yet taken;
//   writing - every row is written and every photo copied, the tree not yet saved.
// There it says the moment's name on its standard output and waits for a line (or the end) of
// its standard input. At the end it prints "done <rows> <photos copied>" or "failed <error>".
//
//   faults_importer <data folder/> <GEDCOM file> <tree> [planned|writing]
//
// With FAULTS_SERVER set (a server address), the database is the shared one there; the data
// folder keeps the photos.
#include "ServerAddress.h"
#include "StoreImport.h"
#include "mDatabase.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void waitForTheTest(const char *moment)
{
    std::printf("%s\n", moment);
    std::fflush(stdout);
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) {
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: faults_importer <data folder/> <GEDCOM file> <tree> "
                             "[planned|writing]\n");
        return 2;
    }
    const QString dataPath = QString::fromLocal8Bit(argv[1]);
    const QByteArray pause = argc == 5 ? QByteArray(argv[4]) : QByteArray();
    mDatabase store;
    store.SetPaths(dataPath, dataPath + QStringLiteral("people.db"));
    if (qEnvironmentVariableIsSet("FAULTS_SERVER")) {
        const Result<ServerAddress> address =
            ParseServerAddress(qEnvironmentVariable("FAULTS_SERVER"));
        if (!address) {
            std::printf("failed %s\n", qPrintable(address.error().text()));
            return 3;
        }
        store.SetServer(*address);
    }
    if (!store.OpenDatabase()) {
        std::printf("failed %s\n", qPrintable(store.OpenError().text()));
        return 3;
    }
    bool paused = false;
    const Gedcom::Progress progress = [&](qint64 done, qint64) {
        const bool planned = done == Gedcom::kPlanSteps && pause == "planned";
        const bool writing = done > Gedcom::kPlanSteps && pause == "writing";
        if (!paused && (planned || writing)) {
            paused = true;
            waitForTheTest(pause.constData());
        }
        return true;
    };
    const Gedcom::StoreImport result =
        Gedcom::importIntoStore(store, QString::fromLocal8Bit(argv[2]),
                                QString::fromLocal8Bit(argv[3]), Gedcom::ImportContext(), progress);
    if (!result.isDone()) {
        std::printf("failed %s\n", qPrintable(result.error.text()));
        return 1;
    }
    std::printf("done %lld %lld\n", static_cast<long long>(result.run.rows),
                static_cast<long long>(result.run.photosCopied));
    return 0;
}
