#pragma once

#include <QObject>

#include <functional>

class QAction;
class QWidget;

// Keeps the menu's shortcuts first wherever the focus is inside a window: a control that would
// take one of those keys for itself (a line edit takes Ctrl+E as "end of line" on some desktops,
// the photo viewer F2 and F5) does not get it, and the menu command runs. Keys the menu does not
// use, and keys of disabled items, stay the control's.
class MenuShortcuts : public QObject
{
    Q_OBJECT

public:
    using Items = std::function<QList<QAction *>()>;

    // Watches the key events of every widget inside `window`; `items` lists the menu's items.
    MenuShortcuts(QWidget &window, Items items);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
    Items m_items;
};
