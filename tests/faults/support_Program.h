#pragma once

// The program in miniature on a data folder the test prepares (Run of the start-up tests), with
// what the fault tests share: the messages it shows, a click on a person's box, the edit window
// driven through its boxes, and the bytes of a file to tell that nothing changed.

#include "FileDialog.h"
#include "MenuBar.h"
#include "ModalSeam.h"
#include "ScriptedMessageService.h"
#include "TreeChart.h"
#include "frmEdit.h"
#include "mDatabase.h"
#include "support_StartupRun.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

inline QByteArray FileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

struct Program : Run
{
    ScriptedMessageService messages;
    ScopedMessageService scope{messages};

    // The settings stay outside the data folder, which the tests make read-only or damage.
    Program() { state.MachineSettingsFile = dir.filePath(QStringLiteral("machine.ini")); }

    QString database() const { return state.DataPath + QStringLiteral("people.db"); }

    // A first start's database in the data folder, opened at start-up with `lastOpen`.
    bool prepare()
    {
        return QDir().mkpath(state.DataPath) && mDatabase::CreateDatabaseFile(database());
    }
    // Runs the start-up steps; the store waits `busyTimeout` ms for another program.
    void startUp(const QString &lastOpen, int busyTimeout = 200)
    {
        seed(0, 0, 9000, 7500, 0, lastOpen);
        start();
        main->Db().SetBusyTimeout(busyTimeout);
        steps(6);
    }
    // Clicks the box of the person, as the user does.
    bool select(const QString &key)
    {
        TreeChart &chart = main->VTree();
        for (const cLevelPtr &level : chart.Levels()) {
            if (const cNodePtr node = level->Item(key)) {
                chart.setSelectedNode(node);
                emit chart.NodeClick(node, true);
                return true;
            }
        }
        return false;
    }
    // Runs a menu command; the edit window it opens gets `fill`, then Save, then is closed.
    void editThroughWindow(const char *command, const std::function<void(frmEdit &)> &fill)
    {
        ScopedModalDriver driver([&](QDialog &dialog) {
            if (auto *edit = qobject_cast<frmEdit *>(&dialog)) {
                fill(*edit);
                edit->findChild<QPushButton *>(QStringLiteral("cmdSave"))->click();
            }
            if (dialog.result() != QDialog::Accepted)
                dialog.reject();
            return dialog.result();
        });
        main->Menus().Item(QLatin1String(command))->trigger();
    }
    static void setBox(frmEdit &edit, const char *box, const QString &text)
    {
        edit.findChild<QLineEdit *>(QLatin1String(box))->setText(text);
    }
};
