#pragma once

#include <QHash>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;

// The main window's menu, addressed by item key. Keys compare without regard to case
// ("mnuViewSbar" and "mnuViewSBar" are one item). Every item has a caption, a shortcut text
// that works as a keyboard shortcut, an icon index into the image list, an enabled flag and a
// check mark. An item with a check mark shows the mark, not its icon, in the menu. A click on an
// item raises Click with the key as it was registered.
class MenuBar : public QObject
{
    Q_OBJECT

public:
    // Builds the menu bar of `window` (which owns it).
    explicit MenuBar(QMainWindow &window);

    // A top-level menu.
    QMenu *AddMenu(const QString &key, const QString &caption);
    // A command item under the menu `parentKey`. `shortcut` is text such as "F2" or "Ctrl+T".
    QAction *AddItem(const QString &parentKey, const QString &key, const QString &caption,
                     const QString &shortcut = QString(), int iconIndex = -1);
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
    // Every item, top-level menus included, in the order they were added.
    QList<QAction *> Items() const;

    QString Caption(const QString &key) const;
    void SetCaption(const QString &key, const QString &caption);
    QString Shortcut(const QString &key) const;
    void SetShortcut(const QString &key, const QString &shortcut);
    bool Enabled(const QString &key) const;
    void SetEnabled(const QString &key, bool enabled);
    bool Checked(const QString &key) const;
    void SetChecked(const QString &key, bool checked);
    int IconIndex(const QString &key) const;
    void SetIconIndex(const QString &key, int index);

    // The images icon indices refer to (index 0 is the first image).
    void SetImageList(const QList<QIcon> &images);

    QMenuBar *Bar() const { return m_bar; }

signals:
    void Click(const QString &key);

private:
    void registerItem(const QString &key, QAction *action);
    QMenu *parentMenu(const QString &parentKey) const;
    void applyIcon(QAction *action) const;

    QMenuBar *m_bar;
    QHash<QString, QAction *> m_items; // lower-cased key -> item
    QHash<QString, QMenu *> m_menus;   // lower-cased key -> menu
    QStringList m_order;
    QList<QIcon> m_images;
};
