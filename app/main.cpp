#include "AppIcon.h"
#include "AppState.h"
#include "CommandLine.h"
#include "DataFolder.h"
#include "FileArgument.h"
#include "GedcomCommands.h"
#include "InfoOptions.h"
#include "MessageService.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

int main(int argc, char *argv[])
{
    Cli::PrepareEnvironment(argc, argv);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillmar"));
    QApplication::setApplicationName(QStringLiteral("Velkin Tree"));
    QApplication::setApplicationVersion(QStringLiteral("2.3"));
    QApplication::setDesktopFileName(QStringLiteral("org.velkintree.velkintree"));
    QApplication::setWindowIcon(AppIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Family trees kept and browsed as charts."));
    const InfoOptions info(parser);
    const QCommandLineOption dataOption(QStringLiteral("data"),
                                        QStringLiteral("Keep the database and photos in <folder>."),
                                        QStringLiteral("folder"));
    parser.addOption(dataOption);
    Cli::AddOptions(parser);
    parser.process(app);

    // An argument Qt would read as another text is refused, before anything uses it.
    if (const QString bad = Cli::ArgumentNotUtf8(argc, argv); !bad.isEmpty()) {
        const QString text = Cli::NotUtf8Text(bad);
        QTextStream(stderr) << text << Qt::endl;
        const bool printing = Cli::Requested(parser) || parser.isSet(QStringLiteral("help")) ||
                              parser.isSet(QStringLiteral("version")) ||
                              QGuiApplication::platformName() == QLatin1String("offscreen");
        if (!printing) // a start of the window: the user may see no terminal
            ShowMessage(text, QStringLiteral("Velkin Tree"), MsgIcon::Critical);
        return 1;
    }

    AppState state;
    state.ProgramPath = QDir::cleanPath(QApplication::applicationDirPath()) + QLatin1Char('/');
    if (info.Print(parser, state.ProgramPath, parser.value(dataOption)))
        return 0;
    state.DataPath = ChooseDataFolder(state.ProgramPath, parser.value(dataOption));
    if (Cli::Requested(parser))
        return Cli::Run(parser, state.DataPath);
    state.UserSettingsFile = DefaultUserSettingsFile();
    state.MachineSettingsFile = DefaultMachineSettingsFile();

    // The main window appears only at the end of start-up: until then closing the splash must
    // not end the program, and a failed start ends it explicitly.
    QApplication::setQuitOnLastWindowClosed(false);
    frmMain main(state);
    frmSplash splash(state, main);
    QObject::connect(&splash, &frmSplash::StartupFinished, &app,
                     [] { QApplication::setQuitOnLastWindowClosed(true); });
    QObject::connect(&splash, &frmSplash::StartupFailed, &app, [] { QApplication::exit(1); });
    Cli::ImportFileOnStart(parser, splash, main.Gedcom());
    splash.show();
    return app.exec();
}
