#include "FileArgument.h"

#include "GedcomCommands.h"
#include "frmSplash.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace Cli {

void ImportFileOnStart(const QCommandLineParser &parser, frmSplash &splash,
                       GedcomCommands &commands)
{
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return;
    // The path as it was meant when given, whatever the folder is later.
    const QString path = QFileInfo(files.constFirst()).absoluteFilePath();
    // Queued: the dialog opens from the event loop, not from inside start-up's signal.
    QObject::connect(
        &splash, &frmSplash::StartupFinished, &commands,
        [&commands, path] { commands.ImportFile(path); }, Qt::QueuedConnection);
}

} // namespace Cli
