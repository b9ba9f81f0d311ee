#pragma once

// One start of the program in miniature for the start-up tests: a program folder, a data folder
// and two settings files in a temporary folder, the main window and the splash window whose
// steps the test runs by hand.

#include "AppSettings.h"
#include "AppState.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "modRegistry.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

struct Run
{
    QTemporaryDir dir;
    AppState state;
    std::unique_ptr<frmMain> main;
    std::unique_ptr<frmSplash> splash;

    Run()
    {
        state.ProgramPath = dir.path() + QLatin1Char('/');
        state.DataPath = dir.filePath(QStringLiteral("Data")) + QLatin1Char('/');
        state.UserSettingsFile = dir.filePath(QStringLiteral("user.ini"));
        state.MachineSettingsFile = state.DataPath + QStringLiteral("machine.ini");
    }
    modRegistry registry()
    {
        return modRegistry(state.UserSettingsFile, state.MachineSettingsFile);
    }
    void start()
    {
        main = std::make_unique<frmMain>(state);
        splash = std::make_unique<frmSplash>(state, *main);
        // The steps are run by hand; the timer stays out of the way.
        splash->findChild<QTimer *>(QStringLiteral("Timer1"))->stop();
    }
    void steps(int count)
    {
        for (int i = 0; i < count; ++i)
            splash->RunStartupStep();
    }
    // Settings as an earlier run left them.
    void seed(int left, int top, int width, int height, int windowState,
              const QString &lastOpen = QString(), int version = 23)
    {
        modRegistry reg = registry();
        QCOMPARE(reg.CreateKey(AppSettings::MachineKey), 0);
        QCOMPARE(reg.CreateKey(AppSettings::UserKey), 0);
        reg.SetDword(AppSettings::UserKey, QStringLiteral("MainLeft"), left);
        reg.SetDword(AppSettings::UserKey, QStringLiteral("MainTop"), top);
        reg.SetDword(AppSettings::UserKey, QStringLiteral("MainWidth"), width);
        reg.SetDword(AppSettings::UserKey, QStringLiteral("MainHeight"), height);
        reg.SetDword(AppSettings::UserKey, QStringLiteral("MainState"), windowState);
        reg.SetDword(AppSettings::UserKey, QStringLiteral("ShowToolBar"), -1);
        reg.SetDword(AppSettings::UserKey, QStringLiteral("ShowStatusBar"), -1);
        reg.SetDword(AppSettings::UserKey, QStringLiteral("ShowInfo"), 0);
        reg.SetString(AppSettings::UserKey, QStringLiteral("LastOpen"), lastOpen);
        reg.SetDword(AppSettings::MachineKey, QStringLiteral("Version"), version);
    }
    int dword(const QString &key, const char *name)
    {
        return registry().GetDword(key, QLatin1String(name)).toInt();
    }
};
