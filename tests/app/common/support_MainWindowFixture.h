#pragma once

#include "AppState.h"
#include "MenuBar.h"
#include "TreeCommands.h"
#include "frmMain.h"
#include "mDatabase.h"

#include <QAction>
#include <QSize>
#include <QTest>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// The main window as start-up leaves it, on a new database in a temporary folder: the store open,
// the tree box filled, the window shown. `fill` adds trees and persons to the store before the
// tree box is filled.
struct MainWindowFixture
{
    QTemporaryDir dir;
    AppState state;
    std::unique_ptr<frmMain> main;

    explicit MainWindowFixture(const std::function<void(mDatabase &)> &fill = {},
                               QSize size = QSize(1000, 700))
    {
        state.ProgramPath = dir.path() + QLatin1Char('/');
        state.DataPath = dir.filePath(QStringLiteral("Data")) + QLatin1Char('/');
        state.UserSettingsFile = dir.filePath(QStringLiteral("user.ini"));
        state.MachineSettingsFile = state.DataPath + QStringLiteral("machine.ini");
        main = std::make_unique<frmMain>(state);
        main->Db().BuildConnectionString(state.DataPath);
        QVERIFY(main->Db().OpenDatabase());
        if (fill)
            fill(main->Db());
        main->Trees().Refill();
        main->resize(size);
        main->show();
    }

    // Chooses the menu command of that key.
    void menu(const char *key) { main->Menus().Item(QLatin1String(key))->trigger(); }
};
