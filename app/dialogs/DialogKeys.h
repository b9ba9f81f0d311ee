#pragma once

#include <QKeyEvent>
#include <QListWidget>
#include <QStringList>

// The tree dialogs end only through their buttons and the close box: a plain Escape press is
// taken here so that QDialog does not reject the dialog. True when the key was taken.
inline bool SwallowEscapePress(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier)
        return false;
    event->accept();
    return true;
}

// Fills a tree list with nothing chosen, not even a current entry: the first arrow key then
// chooses the first entry (a list would otherwise make the first entry current on focus without
// choosing it, so that Down skips it and a single entry cannot be chosen by key at all).
inline void FillTreeList(QListWidget &list, const QStringList &names)
{
    list.clear();
    list.addItems(names);
    list.setCurrentIndex(QModelIndex()); // also keeps focus from making one current
}
