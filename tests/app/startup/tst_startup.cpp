#include "AppSettings.h"
#include "AppState.h"
#include "MenuBar.h"
#include "ScriptedMessageService.h"
#include "StatusBar.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "mFunctions.h"
#include "modRegistry.h"
#include "support_StartupRun.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

using AppSettings::MachineKey;
using AppSettings::UserKey;

// Start-up steps, the main window's skeleton and the settings written at exit, each case in a
// temporary folder of its own.
class TestStartup : public QObject
{
    Q_OBJECT

    static QSize screenTwips(int twips)
    {
        return QGuiApplication::primaryScreen()->availableGeometry().size() * twips;
    }

private slots:
    void init() { QApplication::setQuitOnLastWindowClosed(false); }

    void firstRunCreatesSettingsAndOpensNoTree()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        Run run;
        run.start();
        QCOMPARE(run.splash->StatusText(), QStringLiteral("Initializing ..."));
        QVERIFY(run.state.TwipsPerPixel > 0);
        const int t = run.state.TwipsPerPixel;

        const QStringList expected = {
            QStringLiteral("Initializing ..."), QStringLiteral("Applying settings ..."),
            QStringLiteral("Connecting to database ..."), QStringLiteral("Connection = Successful"),
            QStringLiteral("Retrieving data ...")};
        for (const QString &status : expected) {
            run.splash->RunStartupStep();
            QCOMPARE(run.splash->StatusText(), status);
        }
        QSignalSpy finished(run.splash.get(), &frmSplash::StartupFinished);
        run.splash->RunStartupStep();
        QCOMPARE(finished.count(), 1);
        QVERIFY(run.main->isVisible());
        QVERIFY(!run.splash->isVisible());
        QCOMPARE(messages.count(), 0);

        modRegistry reg = run.registry();
        QVERIFY(reg.KeyExists(MachineKey));
        QVERIFY(reg.KeyExists(UserKey));
        QCOMPARE(run.dword(MachineKey, "Version"), 23);
        QCOMPARE(run.dword(UserKey, "MainWidth"), 1000 * t);
        QCOMPARE(run.dword(UserKey, "MainHeight"), 700 * t);
        QCOMPARE(run.dword(UserKey, "MainState"), 2);
        QCOMPARE(run.dword(UserKey, "ShowToolBar"), 1);
        QCOMPARE(run.dword(UserKey, "ShowInfo"), 0);
        QCOMPARE(reg.GetString(UserKey, QStringLiteral("LastOpen")), QString());

        QVERIFY(run.main->isMaximized());
        QVERIFY(run.main->Tbar().isVisible());
        QVERIFY(run.main->Sbar().isVisible());
        QVERIFY(!run.main->findChild<QWidget *>(QStringLiteral("pnlInfo"))->isVisible());
        QVERIFY(run.main->Menus().Checked(QStringLiteral("mnuViewTbar")));
        QVERIFY(run.main->Menus().Checked(QStringLiteral("mnuViewSbar")));
        QVERIFY(!run.main->Menus().Checked(QStringLiteral("mnuViewInfo")));
        QVERIFY(!run.main->ToolButton(QStringLiteral("INFO"))->isChecked());
        QCOMPARE(run.main->Tree().CurrentTree(), QString());
        QCOMPARE(run.main->cboTrees().count(), 1);
        QCOMPARE(run.main->cboTrees().itemText(0), QStringLiteral("Example"));
        QCOMPARE(run.main->cboTrees().currentIndex(), -1);
        QVERIFY(QFile::exists(run.state.DataPath + QStringLiteral("people.db")));
        QVERIFY(run.state.ConnectionString.endsWith(QLatin1String("PASSWORD=")));
        run.main->close();
    }

    void placementIsClampedToTheScreen()
    {
        const QList<QRect> screen{QRect(0, 0, 19200, 14400)};
        const WindowPlacement clamped =
            AppSettings::Usable({-60, -1, 30000, 99999, -3}, screen, 15);
        QCOMPARE(clamped, (WindowPlacement{0, 0, 19200, 14400, 0}));
        QCOMPARE(AppSettings::Usable({60, 15, 6000, 4500, 1}, screen, 15),
                 (WindowPlacement{60, 15, 6000, 4500, 1}));
        // Below 400 x 300 pixels, negative or zero: the first-run size; the rest is kept.
        QCOMPARE(AppSettings::Usable({90, 30, -5, 4500, 0}, screen, 15),
                 (WindowPlacement{90, 30, 15000, 4500, 0}));
        QCOMPARE(AppSettings::Usable({0, 0, 6000, 4499, 2}, screen, 15),
                 (WindowPlacement{0, 0, 6000, 10500, 2}));
        QCOMPARE(AppSettings::Usable({0, 0, 0, -1, 0}, screen, 12),
                 (WindowPlacement{0, 0, 12000, 8400, 0}));
        // ... fitted to a screen smaller than the first-run size.
        QCOMPARE(AppSettings::Usable({0, 0, 0, 0, 0}, {QRect(0, 0, 12000, 9000)}, 15),
                 (WindowPlacement{0, 0, 12000, 9000, 0}));
    }

    // However large or small the saved edges, the whole window lands on a screen, within the
    // area the screen leaves to windows.
    void placementIsBroughtOntoAScreen()
    {
        const QList<QRect> screen{QRect(0, 0, 19200, 14400)};
        QCOMPARE(AppSettings::Usable({2147483647, 2147483000, 6000, 4500, 0}, screen, 15),
                 (WindowPlacement{13200, 9900, 6000, 4500, 0}));
        QCOMPARE(AppSettings::Usable({-2147483647 - 1, 19000, 6000, 4500, 2}, screen, 15),
                 (WindowPlacement{0, 9900, 6000, 4500, 2}));
        // Partly off the right edge: moved back just far enough.
        QCOMPARE(AppSettings::Usable({15000, 300, 6000, 4500, 0}, screen, 15),
                 (WindowPlacement{13200, 300, 6000, 4500, 0}));
        // A panel at the top: the window starts below it.
        QCOMPARE(AppSettings::Usable({0, 0, 6000, 4500, 0}, {QRect(0, 450, 19200, 13950)}, 15),
                 (WindowPlacement{0, 450, 6000, 4500, 0}));
        // Two screens, the second left of the primary: a window on it stays there; one mostly
        // on the primary goes wholly onto it; one beyond both goes onto the primary.
        const QList<QRect> two{QRect(0, 0, 19200, 14400), QRect(-28800, 0, 28800, 16200)};
        QCOMPARE(AppSettings::Usable({-20000, 600, 6000, 4500, 0}, two, 15),
                 (WindowPlacement{-20000, 600, 6000, 4500, 0}));
        QCOMPARE(AppSettings::Usable({-1500, 600, 6000, 4500, 0}, two, 15),
                 (WindowPlacement{0, 600, 6000, 4500, 0}));
        QCOMPARE(AppSettings::Usable({-40000, 600, 30000, 16000, 0}, two, 15),
                 (WindowPlacement{-28800, 200, 28800, 16000, 0}));
        QCOMPARE(AppSettings::Usable({900000, 900000, 6000, 4500, 0}, two, 15),
                 (WindowPlacement{13200, 9900, 6000, 4500, 0}));

        // Through start-up on the real (offscreen) screen.
        Run run;
        run.seed(2000000000, 2000000000, 6000, 4500, 0);
        run.start();
        run.steps(2);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(area.contains(QRect(run.main->pos(), run.main->size())),
                 qPrintable(QStringLiteral("%1,%2").arg(run.main->x()).arg(run.main->y())));
        QCOMPARE(run.dword(UserKey, "MainLeft"), 2000000000); // nothing written at start-up
    }

    void placementThroughStartup()
    {
        Run run;
        run.state.TwipsPerPixel = 15;
        const QSize screen = screenTwips(ScreenTwipsPerPixel());
        run.seed(-60, 150, screen.width() + 9000, 300 * 15, 0);
        run.start();
        run.steps(2);
        QCOMPARE(run.main->pos(), QPoint(0, 150 / run.state.TwipsPerPixel));
        QCOMPARE(run.main->width() * run.state.TwipsPerPixel, screen.width());
        QVERIFY(!run.main->isMaximized());
        // The stored values stay as they were: clamping is for this run only.
        QCOMPARE(run.dword(UserKey, "MainLeft"), -60);

        Run tiny;
        tiny.seed(0, 0, -5, 150, 0);
        tiny.start();
        tiny.steps(2);
        // 1000 x 700 pixels where the screen is that large.
        const QSize screenPixels = QGuiApplication::primaryScreen()->availableGeometry().size();
        QCOMPARE(tiny.main->size(), QSize(1000, 700).boundedTo(screenPixels));
    }

    void versionIsRewrittenAndNothingElse()
    {
        Run run;
        run.seed(30, 45, 6000, 4500, 0, QStringLiteral("Example"), 22);
        const QByteArray userBefore = [&] {
            QFile f(run.state.UserSettingsFile);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        run.start();
        run.steps(1);
        QCOMPARE(run.dword(MachineKey, "Version"), 22); // nothing is written before the window
        run.steps(5);
        QVERIFY(run.main->isVisible());
        QCOMPARE(run.dword(MachineKey, "Version"), 23);
        QCOMPARE(run.state.Version, 23);
        QFile f(run.state.UserSettingsFile);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), userBefore);
        QCOMPARE(run.state.LastOpen, QStringLiteral("Example"));
    }

    void lastOpenReopensOnlyAListedTree()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        {
            Run run;
            run.seed(0, 0, 6000, 4500, 0, QStringLiteral("Gone"));
            run.start();
            run.steps(5);
            QCOMPARE(run.main->Tree().CurrentTree(), QString());
            QCOMPARE(run.main->cboTrees().currentIndex(), -1);
        }
        {
            Run run;
            run.seed(0, 0, 6000, 4500, 0, QStringLiteral("example")); // exact match only
            run.start();
            run.steps(5);
            QCOMPARE(run.main->Tree().CurrentTree(), QString());
        }
        {
            Run run;
            run.seed(0, 0, 6000, 4500, 0, QStringLiteral("Example"));
            run.start();
            run.steps(5);
            QCOMPARE(run.main->Tree().CurrentTree(), QStringLiteral("Example"));
            QCOMPARE(run.main->cboTrees().currentText(), QStringLiteral("Example"));
        }
        QCOMPARE(messages.count(), 0);
    }

    void missingUserValuesFallBackToDefaults()
    {
        // A second user: the machine key exists, this user's key does not.
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        Run run;
        {
            modRegistry reg = run.registry();
            QCOMPARE(reg.CreateKey(MachineKey), 0);
            QCOMPARE(reg.SetDword(MachineKey, QStringLiteral("Version"), 23), 0);
        }
        run.start();
        run.steps(6);
        QCOMPARE(messages.count(), 0);
        QVERIFY(run.main->isVisible());
        QVERIFY(run.main->isMaximized());
        QVERIFY(run.state.ShowToolBar && run.state.ShowStatusBar && !run.state.ShowInfo);
        QCOMPARE(run.state.LastOpen, QString());
        QVERIFY(run.registry().KeyExists(UserKey));
        run.main->close();
        QCOMPARE(run.dword(UserKey, "ShowToolBar"), -1);
        QCOMPARE(run.registry().GetString(UserKey, QStringLiteral("LastOpen")), QString());
    }

    void failedConnectionEndsStartup()
    {
        ScriptedMessageService messages;
        Run run;
        QVERIFY(QDir().mkpath(run.state.DataPath));
        QFile junk(run.state.DataPath + QStringLiteral("people.db"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(2048, 'j'));
        junk.close();
        run.start();
        QString statusDuringMessage;
        messages.setResponder([&](const MessageRequest &) {
            statusDuringMessage = run.splash->StatusText();
            return MsgResult::Ok;
        });
        ScopedMessageService scope(messages);
        QSignalSpy failed(run.splash.get(), &frmSplash::StartupFailed);
        run.splash->show();
        run.steps(4);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(messages.count(), 1);
        // The reason between the two lines names the file and what is wrong with it.
        const QString text = messages.last().text;
        QVERIFY(text.startsWith(
            QStringLiteral("Failed to connect to the database.\r\n\r\nThe "
                           "database file '%1' is not a database")
                .arg(QDir::toNativeSeparators(run.state.DataPath + QStringLiteral("people.db")))));
        QVERIFY(text.endsWith(QStringLiteral("\r\n\r\nThe application can not start.")));
        QCOMPARE(messages.last().title, QStringLiteral("Security error: 1202"));
        QCOMPARE(messages.last().icon, MsgIcon::Critical);
        QCOMPARE(messages.last().buttons, MsgButtons::OkOnly);
        QCOMPARE(statusDuringMessage, QStringLiteral("Connection = Failed"));
        QCOMPARE(run.splash->Step(), 3);
        QVERIFY(!run.splash->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
        QVERIFY(!run.splash->isVisible());
        QVERIFY(!run.main->isVisible());
        // Further ticks do nothing; the saved settings keep the last tree.
        run.steps(2);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(QFileInfo(run.state.DataPath + QStringLiteral("people.db")).size(), 2048);
    }

    void startupErrorMessage()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        Run run;
        run.start();
        QSignalSpy failed(run.splash.get(), &frmSplash::StartupFailed);
        run.splash->FailStartup(13, QStringLiteral("Type mismatch"));
        QCOMPARE(messages.last().text,
                 QStringLiteral("Type mismatch\r\n\r\nThe application can not start."));
        QCOMPARE(messages.last().title, QStringLiteral("Error: 13"));
        QCOMPARE(messages.last().icon, MsgIcon::Critical);
        QCOMPARE(failed.count(), 1);
    }

    void settingsWrittenAtExit()
    {
        Run run;
        run.seed(0, 0, 6000, 4500, 0);
        run.start();
        run.steps(6);
        const int t = run.state.TwipsPerPixel;
        run.main->setWindowState(Qt::WindowNoState);
        run.main->move(40, 30);
        run.main->resize(500, 400);
        run.state.ShowInfo = true;
        run.state.ShowStatusBar = false;
        run.main->Tree().OpenNew(QStringLiteral("Ünïcode tree "));
        run.main->close();
        QCOMPARE(run.dword(UserKey, "MainLeft"), run.main->pos().x() * t);
        QCOMPARE(run.dword(UserKey, "MainTop"), run.main->pos().y() * t);
        QCOMPARE(run.dword(UserKey, "MainWidth"), 500 * t);
        QCOMPARE(run.dword(UserKey, "MainHeight"), 400 * t);
        QCOMPARE(run.dword(UserKey, "MainState"), 0);
        QCOMPARE(run.dword(UserKey, "ShowInfo"), -1);
        QCOMPARE(run.dword(UserKey, "ShowStatusBar"), 0);
        QCOMPARE(run.dword(UserKey, "ShowToolBar"), -1);
        QCOMPARE(run.registry().GetString(UserKey, QStringLiteral("LastOpen")),
                 QStringLiteral("Ünïcode tree "));
        QVERIFY(!run.main->Db().IsOpen());
    }

    void minimisedWindowKeepsSavedPlacement()
    {
        Run run;
        run.seed(300, 450, 6000, 4500, 0);
        run.start();
        run.steps(6);
        run.main->move(10, 10);
        run.main->setWindowState(Qt::WindowMinimized);
        run.main->Tree().OpenNew(QStringLiteral("Example"));
        run.main->close();
        QCOMPARE(run.dword(UserKey, "MainLeft"), 300);
        QCOMPARE(run.dword(UserKey, "MainTop"), 450);
        QCOMPARE(run.dword(UserKey, "MainWidth"), 6000);
        QCOMPARE(run.dword(UserKey, "MainState"), 0);
        QCOMPARE(run.registry().GetString(UserKey, QStringLiteral("LastOpen")),
                 QStringLiteral("Example"));
    }

    void closingBeforeStartupEndsWritesNothing()
    {
        Run run;
        run.seed(300, 450, 6000, 4500, 0, QStringLiteral("Example"));
        run.start();
        run.steps(3);
        run.main->close();
        QCOMPARE(run.registry().GetString(UserKey, QStringLiteral("LastOpen")),
                 QStringLiteral("Example"));
        QCOMPARE(run.dword(UserKey, "ShowToolBar"), -1);
    }

    void menuToolbarAndStatusBar()
    {
        Run run;
        run.start();
        frmMain &main = *run.main;
        MenuBar &menus = main.Menus();
        const struct
        {
            const char *key, *caption, *shortcut;
        } items[] = {{"mnuFile", "File", ""},
                     {"mnuFileNew", "New Tree", "F2"},
                     {"mnuFileOpen", "Open Tree", "F3"},
                     {"mnuFileModify", "Modify Tree", "F4"},
                     {"mnuFileClose", "Close Tree", "F6"},
                     {"mnuFileGedcomSep", "-", ""},
                     {"mnuFileImportGedcom", "Import GEDCOM...", "Ctrl+Shift+I"},
                     {"mnuFileExportGedcom", "Export GEDCOM...", "Ctrl+Shift+E"},
                     {"mnuFileUpdateGedcom", "Update Tree from GEDCOM...", ""},
                     {"mnuFileSharedSep", "-", ""},
                     {"mnuFileConnect", "Connect to Shared Database...", ""},
                     {"mnuFileLocal", "Use Local Database", ""},
                     {"mnuFileCopyTree", "Copy Tree To...", ""},
                     {"mnuFileSep", "-", ""},
                     {"mnuFileExportChart", "Export Chart...", "Ctrl+Shift+X"},
                     {"mnuFilePrint", "Print...", "Ctrl+P"},
                     {"mnuFilePrintPreview", "Print Preview...", ""},
                     {"mnuFileChartSep", "-", ""},
                     {"mnuFileExit", "Exit", ""},
                     {"mnuEdit", "Edit", ""},
                     {"mnuEditUndo", "Undo", "Ctrl+Z"},
                     {"mnuEditRedo", "Redo", "Ctrl+Shift+Z"},
                     {"mnuView", "View", ""},
                     {"mnuViewTbar", "Toolbar", "Ctrl+T"},
                     {"mnuViewSBar", "StatusBar", "Ctrl+B"},
                     {"mnuViewInfo", "Info", "Ctrl+I"},
                     {"mnuViewZoomSep", "-", ""},
                     {"mnuViewZoomIn", "Zoom In", "Ctrl++"},
                     {"mnuViewZoomOut", "Zoom Out", "Ctrl+-"},
                     {"mnuViewZoomReset", "Actual Size", "Ctrl+0"},
                     {"mnuViewChartSep", "-", ""},
                     {"mnuViewDescendants", "Descendant Chart", "Ctrl+Shift+D"},
                     {"mnuViewAncestors", "Ancestor Chart", "Ctrl+Shift+A"},
                     {"mnuViewFan", "Fan Chart", ""},
                     {"mnuViewHourglass", "Hourglass Chart", ""},
                     {"mnuPerson", "Person", ""},
                     {"mnuPersonNew", "New", "Ctrl+N"},
                     {"mnuPersonEdit", "Edit", "Ctrl+E"},
                     {"mnuPersonDelete", "Delete", "Ctrl+D"},
                     {"mnuPersonDetails", "Details...", "Ctrl+Shift+P"},
                     {"mnuPersonFindSep", "-", ""},
                     {"mnuPersonFind", "Find Person...", "Ctrl+F"},
                     {"mnuPersonRelationship", "Relationship...", "Ctrl+Shift+R"},
                     {"mnuReports", "Reports", ""},
                     {"mnuReportsFamily", "Family Group Sheet...", ""},
                     {"mnuReportsDescendants", "Descendant Report...", ""},
                     {"mnuReportsAncestors", "Ancestor Report...", ""},
                     {"mnuTools", "Tools", ""},
                     {"mnuToolsRefresh", "Refresh", "F5"},
                     {"mnuToolsDuplicates", "Find Duplicates...", ""},
                     {"mnuToolsSep", "Database", ""},
                     {"mnuToolsDbComp", "Compress", ""},
                     {"mnuToolsSources", "Sources...", ""},
                     {"mnuToolsSep2", "-", ""},
                     {"mnuToolsPhotoViewer", "Photo Viewer Settings...", ""},
                     {"mnuHelp", "Help", ""},
                     {"mnuHelpHelp", "Help", "F1"},
                     {"mnuHelpAbout", "About", ""}};
        QCOMPARE(menus.Count(), int(std::size(items)));
        for (const auto &item : items) {
            const QString key = QLatin1String(item.key);
            QVERIFY2(menus.Exists(key), item.key);
            QCOMPARE(menus.Caption(key), QLatin1String(item.caption));
            QCOMPARE(menus.Shortcut(key), QLatin1String(item.shortcut));
            QCOMPARE(menus.Item(key.toUpper()), menus.Item(key));
        }
        QVERIFY(!menus.Enabled(QStringLiteral("mnuToolsSep")));
        QCOMPARE(menus.Item(QStringLiteral("mnuViewSbar")),
                 menus.Item(QStringLiteral("mnuViewSBar")));
        QVERIFY(!menus.Item(QStringLiteral("mnuNothing")));
        menus.SetChecked(QStringLiteral("MNUVIEWINFO"), true);
        QVERIFY(menus.Checked(QStringLiteral("mnuViewInfo")));
        menus.SetCaption(QStringLiteral("mnuToolsSep"), QStringLiteral("x"));
        main.SetMenus();
        QCOMPARE(menus.Caption(QStringLiteral("mnuToolsSep")), QStringLiteral("Database"));

        const struct
        {
            const char *key, *tip;
        } buttons[] = {{"NEWTREE", "New tree"},
                       {"TREES", "Velkin trees"},
                       {"MODTREE", "Modify tree"},
                       {"INFO", "Personal info"},
                       {"REFRESH", "Refresh tree"},
                       {"NEWPRS", "New person"},
                       {"EDITPRS", "Edit personal info"},
                       {"DELPRS", "Delete person"},
                       {"ABOUT", "About"}};
        for (const auto &button : buttons) {
            QAction *action = main.ToolButton(QLatin1String(button.key));
            QVERIFY2(action, button.key);
            QCOMPARE(action->toolTip(), QLatin1String(button.tip));
            QVERIFY(!action->icon().isNull());
        }
        // A toolbar button and its menu item are one command: one state, one check mark.
        const struct
        {
            const char *button, *item;
        } shared[] = {{"NEWTREE", "mnuFileNew"},     {"MODTREE", "mnuFileModify"},
                      {"INFO", "mnuViewInfo"},       {"REFRESH", "mnuToolsRefresh"},
                      {"NEWPRS", "mnuPersonNew"},    {"EDITPRS", "mnuPersonEdit"},
                      {"DELPRS", "mnuPersonDelete"}, {"ABOUT", "mnuHelpAbout"}};
        for (const auto &pair : shared)
            QCOMPARE(main.ToolButton(QLatin1String(pair.button)),
                     menus.Item(QLatin1String(pair.item)));
        QVERIFY(main.findChild<QComboBox *>(QStringLiteral("cboTrees")));
        QVERIFY(main.findChild<QWidget *>(QStringLiteral("VTree")));
        QVERIFY(main.findChild<QWidget *>(QStringLiteral("pnlInfo")));
        QCOMPARE(main.objectName(), QStringLiteral("frmMain"));

        StatusBar *sbar = main.findChild<StatusBar *>(QStringLiteral("Sbar"));
        QVERIFY(sbar);
        sbar->SetPanelText(1, QStringLiteral("Thomas Harwood"));
        sbar->SetPanelText(2, QStringLiteral("1901 - 1968 (67)"));
        sbar->SetPanelText(3, QStringLiteral("ignored"));
        sbar->Refresh();
        QCOMPARE(sbar->PanelText(1), QStringLiteral("Thomas Harwood"));
        QCOMPARE(sbar->PanelText(2), QStringLiteral("1901 - 1968 (67)"));
        QCOMPARE(sbar->PanelText(3), QString());
        QVERIFY(sbar->Height() > 0);
    }

    void unloadAllFormsClosesLastFirst();

    void viewCommandsToggleFromMenuAndToolbar()
    {
        Run run;
        run.start();
        run.steps(6);
        frmMain &main = *run.main;
        main.Menus().Item(QStringLiteral("mnuViewTbar"))->trigger();
        QVERIFY(!run.state.ShowToolBar);
        QVERIFY(!main.Tbar().isVisible());
        QVERIFY(!main.Menus().Checked(QStringLiteral("mnuViewTbar")));
        main.Menus().Item(QStringLiteral("mnuViewTbar"))->trigger();
        QVERIFY(run.state.ShowToolBar && main.Tbar().isVisible());

        main.ToolButton(QStringLiteral("INFO"))->trigger();
        QVERIFY(run.state.ShowInfo);
        QVERIFY(main.findChild<QWidget *>(QStringLiteral("pnlInfo"))->isVisible());
        QVERIFY(main.ToolButton(QStringLiteral("INFO"))->isChecked());
        QVERIFY(main.Menus().Checked(QStringLiteral("mnuViewInfo")));
        main.Menus().Item(QStringLiteral("mnuViewInfo"))->trigger();
        QVERIFY(!main.findChild<QWidget *>(QStringLiteral("pnlInfo"))->isVisible());
        QVERIFY(!main.ToolButton(QStringLiteral("INFO"))->isChecked());

        main.Menus().Item(QStringLiteral("mnuViewSbar"))->trigger();
        QVERIFY(!main.Sbar().isVisible());
        run.main->close();
    }
};

void TestStartup::unloadAllFormsClosesLastFirst()
{
    QStringList closed;
    struct Window : QWidget
    {
        QStringList *log = nullptr;
        void closeEvent(QCloseEvent *event) override
        {
            log->append(objectName());
            QWidget::closeEvent(event);
        }
    };
    std::vector<std::unique_ptr<Window>> windows;
    for (const char *name : {"first", "second", "third"}) {
        windows.push_back(std::make_unique<Window>());
        windows.back()->setObjectName(QLatin1String(name));
        windows.back()->log = &closed;
        windows.back()->show();
    }
    UnloadAllForms();
    QCOMPARE(closed, (QStringList{QStringLiteral("third"), QStringLiteral("second"),
                                  QStringLiteral("first")}));
    for (const auto &window : windows)
        QVERIFY(!window->isVisible());
    QVERIFY(ScrollBarHeight() >= 1);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
