#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// The images of the main window's toolbar, drawn at run time. Keys are the toolbar button keys
// ("NEWTREE", "TREES", "MODTREE", "INFO", "REFRESH", "NEWPRS", "EDITPRS", "DELPRS", "ABOUT");
// an unknown key gives an empty icon.
QIcon ToolIcon(const QString &key);

// The toolbar keys in image-list order; a key's position is its icon index.
const QStringList &ToolIconKeys();
