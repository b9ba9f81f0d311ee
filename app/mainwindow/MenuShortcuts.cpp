#include "MenuShortcuts.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

MenuShortcuts::MenuShortcuts(QWidget &window, Items items)
    : QObject(&window), m_window(window), m_items(std::move(items))
{
    // Before any key is delivered, the focus widget is asked whether it wants the key itself
    // (a shortcut override); the question reaches the widget through the application.
    QCoreApplication::instance()->installEventFilter(this);
}

bool MenuShortcuts::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
        return false;
    if (static_cast<QWidget *>(watched)->window() != &m_window)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const QKeySequence pressed(key->keyCombination());
    const QList<QAction *> items = m_items();
    for (const QAction *item : items) {
        if (item->isEnabled() && !item->shortcut().isEmpty() &&
            item->shortcut().matches(pressed) == QKeySequence::ExactMatch) {
            event->ignore(); // not the widget's: the shortcut runs
            return true;
        }
    }
    return false;
}
