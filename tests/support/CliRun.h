#pragma once

// The program's command line run in the test's own process, as main() runs it: parsed by the
// program's own options, run on a data folder, its two streams kept.
#include "CommandLine.h"

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>

struct CliOutcome
{
    int code = -1; // -1 when the arguments did not parse (err says why)
    QString out;
    QString err;
    QString lastLine() const { return out.trimmed().section(QLatin1Char('\n'), -1); }
};

inline CliOutcome runCli(const QString &dataPath, const QStringList &arguments,
                         const Cli::SliceSourceFor &slices = {})
{
    QCommandLineParser parser;
    Cli::AddOptions(parser);
    CliOutcome outcome;
    if (!parser.parse(QStringList{QStringLiteral("VelkinTree")} + arguments)) {
        outcome.err = parser.errorText();
        return outcome;
    }
    QTextStream out(&outcome.out);
    QTextStream err(&outcome.err);
    outcome.code = Cli::Run(parser, dataPath, out, err, slices);
    out.flush();
    err.flush();
    return outcome;
}
