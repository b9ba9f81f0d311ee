#include "Commands.h"

namespace Cli {

const QList<Command> &Commands()
{
    static const QList<Command> commands{ImportGedcomCommand(), ExportGedcomCommand(),
                                         ExportChartCommand(), PersonFactsCommand(),
                                         RelationshipCommand(), ReportCommand(),
                                         CheckTreeCommand(), FindDuplicatesCommand(),
                                         MergeCommand(), CopyTreeCommand()};
    return commands;
}

QCommandLineOption PrivacyOption()
{
    return QCommandLineOption(
        QStringLiteral("privacy"),
        QStringLiteral("With --export-gedcom, --export-chart or --report: living (living persons "
                       "shown as \"Living\", private ones left out), private (private persons and "
                       "facts left out) or none (everything, the default)."),
        QStringLiteral("living|private|none"));
}

QString PrivacyWordText(const QString &word)
{
    return QStringLiteral("--privacy is living, private or none, not '%1'.").arg(word);
}

} // namespace Cli
