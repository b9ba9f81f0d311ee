#pragma once

#include <QKeyEvent>

// The tree dialogs end only through their buttons and the close box: a plain Escape press is
// taken here so that QDialog does not reject the dialog. True when the key was taken.
inline bool SwallowEscapePress(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier)
        return false;
    event->accept();
    return true;
}
