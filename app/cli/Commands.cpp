#include "Commands.h"

namespace Cli {

const QList<Command> &Commands()
{
    static const QList<Command> commands{ImportGedcomCommand(), ExportGedcomCommand(),
                                         ExportChartCommand(), PersonFactsCommand(),
                                         RelationshipCommand(), CheckTreeCommand(),
                                         FindDuplicatesCommand()};
    return commands;
}

} // namespace Cli
