#pragma once

#include <QString>

class QAction;
class QObject;

// An action of one of the main window's command groups: its key (the objectName the menu finds it
// by, "mnuFileNew"), caption and shortcut ("F2", "Ctrl+T"); with a toolbar key ("NEWTREE") also
// the toolbar's image and the tooltip the toolbar shows. The group owns the action.
QAction *MakeCommand(QObject *group, const QString &key, const QString &caption,
                     const QString &shortcut = QString(), const QString &toolKey = QString(),
                     const QString &toolTip = QString());
