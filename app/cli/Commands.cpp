#include "Commands.h"

namespace Cli {

const QList<Command> &Commands()
{
    static const QList<Command> commands{ImportGedcomCommand(), ExportGedcomCommand(),
                                         ExportChartCommand(), PersonFactsCommand(),
                                         RelationshipCommand(), CheckTreeCommand()};
    return commands;
}

} // namespace Cli
