#include "Commands.h"

namespace Cli {

const QList<Command> &Commands()
{
    static const QList<Command> commands{ImportGedcomCommand(), ExportGedcomCommand(),
                                         ExportChartCommand(), CheckTreeCommand()};
    return commands;
}

} // namespace Cli
