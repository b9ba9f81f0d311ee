#pragma once

#include "PersonSlices.h"
#include "ServerAddress.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QCommandLineParser;
class QTextStream;
class mDatabase;

// The program's command-line commands: each runs without a window, prints what it did and ends
// the program with 0, or with 1 after a clear message on the error stream (nothing half-made).
// One command lives in a file of its own (its options and what it does) and is named once in
// Commands.cpp; this dispatcher adds every command's options to the program's parser, tells
// whether the arguments ask for a command and runs it.
namespace Cli {

// Where the commands read the part of a tree's model around a person, for the store they open.
using SliceSourceFor = std::function<PersonSliceSource(const mDatabase &store)>;

// What a command is given.
struct Context
{
    const QCommandLineParser &parser;
    QString dataPath; // the data folder, ending with '/'
    QTextStream &out;
    QTextStream &err;
    // Empty: the store's side records (StoreSlices).
    SliceSourceFor slices = {};
    // The shared database the commands use instead of the data folder's (--database).
    std::optional<ServerAddress> server = {};

    // Opens the store of the data folder, or the shared database of --database. `create`: a
    // missing database is made (with the example tree), as a first start would (on a server:
    // the program's tables in a database that has none); otherwise a missing one is an error.
    // False after telling the error stream why.
    bool OpenStore(mDatabase &store, bool create) const;
    // Writes the message to the error stream and returns the failure exit code.
    int Fail(const QString &message) const;
};

struct Command
{
    QCommandLineOption trigger;        // the option that names the command
    QList<QCommandLineOption> options; // further options that belong to it
    std::function<int(Context &)> run;
};

// Every command, in the order the help lists them (Commands.cpp).
const QList<Command> &Commands();

// --database <address>: every command works on that shared database instead of the data
// folder's.
const QCommandLineOption &DatabaseOption();
// Adds every command's options to the program's parser, and the file argument.
void AddOptions(QCommandLineParser &parser);
// True when the parsed arguments name a command or one of a command's options.
bool Requested(const QCommandLineParser &parser);
// Runs the command the arguments name; its exit code. `slices`: where a person's side records
// are read (empty: the rows alone).
int Run(const QCommandLineParser &parser, const QString &dataPath, QTextStream &out,
        QTextStream &err, const SliceSourceFor &slices = {});
// The same on the process's standard output and error.
int Run(const QCommandLineParser &parser, const QString &dataPath,
        const SliceSourceFor &slices = {});

// The first argument after the program's name whose bytes are not valid UTF-8, shown with each
// such byte as \xNN; empty when every argument is valid. Qt reads such an argument with U+FFFD
// in place of those bytes: as a path it would name another file or folder (the data folder, an
// export's file), as a name another tree. `argv` as the application object left it.
QString ArgumentNotUtf8(int argc, char **argv);
// What the program says of such an argument (shown as ArgumentNotUtf8 gives it) before it ends
// with exit code 1, having done nothing.
QString NotUtf8Text(const QString &shownArgument);

// Before the application object exists: when the arguments name a command (or ask for the help
// or the version) and no platform was chosen, the offscreen platform is chosen, so that needs no
// display.
void PrepareEnvironment(int argc, char **argv);

} // namespace Cli
