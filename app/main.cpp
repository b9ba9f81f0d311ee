#include "AppIcon.h"
#include "AppState.h"
#include "ChartCli.h"
#include "DataFolder.h"
#include "InfoOptions.h"
#include "frmMain.h"
#include "frmSplash.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    // The chart export shows no window: it needs no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--export-chart") == 0 &&
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
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
    const QCommandLineOption exportChart(
        QStringLiteral("export-chart"),
        QStringLiteral("Write the chart of the tree to the file (.png, .svg or .pdf) and quit."));
    const QCommandLineOption person(QStringLiteral("person"),
                                    QStringLiteral("Export the chart as finding <key> shows it."),
                                    QStringLiteral("key"));
    const QCommandLineOption descendants(
        QStringLiteral("descendants"),
        QStringLiteral("Export the descendant chart of --person, or of every root person."));
    parser.addOptions({exportChart, person, descendants});
    parser.addPositionalArgument(
        QStringLiteral("TREE FILE"),
        QStringLiteral("With --export-chart: the tree, and the file to write."),
        QStringLiteral("[TREE FILE]"));
    parser.process(app);

    if (parser.isSet(exportChart)) {
        const QStringList args = parser.positionalArguments();
        QTextStream out(stdout);
        QTextStream err(stderr);
        const QString program =
            QDir::cleanPath(QApplication::applicationDirPath()) + QLatin1Char('/');
        return RunChartExport(
            {args.value(0), args.value(1), parser.value(person), parser.isSet(descendants)},
            ChooseDataFolder(program, parser.value(dataOption)), out, err);
    }

    AppState state;
    state.ProgramPath = QDir::cleanPath(QApplication::applicationDirPath()) + QLatin1Char('/');
    if (info.Print(parser, state.ProgramPath, parser.value(dataOption)))
        return 0;
    state.DataPath = ChooseDataFolder(state.ProgramPath, parser.value(dataOption));
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
    splash.show();
    return app.exec();
}
