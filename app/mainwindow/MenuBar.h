#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;

// The main window's menu: the window places the command groups' actions in it, and the items
// are found by key. An item's key is its action's objectName ("mnuFileNew"); keys compare
// without regard to case ("mnuViewSbar" and "mnuViewSBar" are one item). The menu only holds
// the items: what an item does, its caption, shortcut, icon and enabled state belong to the
// command group that made its action.
class MenuBar : public QObject
{
    Q_OBJECT

public:
    // Builds the menu bar of `window` (which owns it).
    explicit MenuBar(QMainWindow &window);

    // A top-level menu.
    QMenu *AddMenu(const QString &key, const QString &caption);
    // Places a command group's action last in the menu `parentKey`, under its objectName.
    QAction *Place(const QString &parentKey, QAction *action);
    // A separator line ("-").
    QAction *AddSeparator(const QString &parentKey, const QString &key);
    // A disabled header item whose caption is set at run time.
    QAction *AddHeader(const QString &parentKey, const QString &key,
                       const QString &caption = QString());

    // The item of a key, or nullptr. Top-level menus are items too.
    QAction *Item(const QString &key) const;
    QMenu *Menu(const QString &key) const;
    bool Exists(const QString &key) const { return Item(key) != nullptr; }
    int Count() const { return int(m_order.size()); }
    QStringList Keys() const { return m_order; }
    // Every item, top-level menus included, in the order they were placed.
    QList<QAction *> Items() const;

    QString Caption(const QString &key) const;
    void SetCaption(const QString &key, const QString &caption);
    QString Shortcut(const QString &key) const;
    bool Enabled(const QString &key) const;
    bool Checked(const QString &key) const;
    // Sets the check mark of an item that has one.
    void SetChecked(const QString &key, bool checked);

    QMenuBar *Bar() const { return m_bar; }

private:
    bool registerItem(const QString &key, QAction *action);
    QMenu *parentMenu(const QString &parentKey) const;

    QMenuBar *m_bar;
    QHash<QString, QAction *> m_items; // lower-cased key -> item
    QHash<QString, QMenu *> m_menus;   // lower-cased key -> menu
    QStringList m_order;
};
