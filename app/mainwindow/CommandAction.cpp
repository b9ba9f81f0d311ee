#include "CommandAction.h"

#include "ToolIcons.h"

#include <QAction>
#include <QKeySequence>

QAction *MakeCommand(QObject *group, const QString &key, const QString &caption,
                     const QString &shortcut, const QString &toolKey, const QString &toolTip)
{
    auto *action = new QAction(caption, group);
    action->setObjectName(key);
    if (!shortcut.isEmpty())
        action->setShortcut(QKeySequence(shortcut, QKeySequence::PortableText));
    if (!toolKey.isEmpty())
        action->setIcon(ToolIcon(toolKey));
    if (!toolTip.isEmpty())
        action->setToolTip(toolTip);
    return action;
}
