#include "FileArgument.h"

#include "GedcomCommands.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace Cli {

void ImportFileOnStart(const QCommandLineParser &parser, frmSplash &splash, frmMain &window)
{
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return;
    // The path as it was meant when given, whatever the folder is later.
    const QString path = QFileInfo(files.constFirst()).absoluteFilePath();
    // Queued: the dialog opens from the event loop, not from inside start-up's signal.
    QObject::connect(
        &splash, &frmSplash::StartupFinished, &window,
        [&window, path] {
            if (GedcomCommands *commands = GedcomCommands::Of(window))
                commands->ImportFile(path);
        },
        Qt::QueuedConnection);
}

} // namespace Cli
