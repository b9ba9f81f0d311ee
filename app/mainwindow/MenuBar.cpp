#include "MenuBar.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

const char *const kIconIndex = "IconIndex";

QString fold(const QString &key)
{
    return key.toLower();
}

} // namespace

MenuBar::MenuBar(QMainWindow &window) : QObject(&window), m_bar(window.menuBar())
{
    m_bar->setObjectName(QStringLiteral("MenuBar"));
}

void MenuBar::registerItem(const QString &key, QAction *action)
{
    action->setObjectName(key);
    action->setProperty(kIconIndex, -1);
    m_items.insert(fold(key), action);
    m_order << key;
    connect(action, &QAction::triggered, this, [this, key] { emit Click(key); });
}

QMenu *MenuBar::parentMenu(const QString &parentKey) const
{
    return m_menus.value(fold(parentKey));
}

QMenu *MenuBar::AddMenu(const QString &key, const QString &caption)
{
    QMenu *menu = m_bar->addMenu(caption);
    menu->setObjectName(key);
    m_menus.insert(fold(key), menu);
    m_items.insert(fold(key), menu->menuAction());
    menu->menuAction()->setObjectName(key);
    menu->menuAction()->setProperty(kIconIndex, -1);
    m_order << key;
    return menu;
}

QAction *MenuBar::AddItem(const QString &parentKey, const QString &key, const QString &caption,
                          const QString &shortcut, int iconIndex)
{
    QMenu *menu = parentMenu(parentKey);
    if (!menu || Exists(key))
        return nullptr;
    QAction *action = menu->addAction(caption);
    registerItem(key, action);
    SetShortcut(key, shortcut);
    SetIconIndex(key, iconIndex);
    return action;
}

QAction *MenuBar::AddSeparator(const QString &parentKey, const QString &key)
{
    QMenu *menu = parentMenu(parentKey);
    if (!menu || Exists(key))
        return nullptr;
    QAction *action = menu->addSeparator();
    registerItem(key, action);
    return action;
}

QAction *MenuBar::AddHeader(const QString &parentKey, const QString &key, const QString &caption)
{
    QMenu *menu = parentMenu(parentKey);
    if (!menu || Exists(key))
        return nullptr;
    QAction *action = menu->addAction(caption);
    registerItem(key, action);
    action->setEnabled(false);
    return action;
}

QAction *MenuBar::Item(const QString &key) const
{
    return m_items.value(fold(key));
}

QList<QAction *> MenuBar::Items() const
{
    QList<QAction *> items;
    for (const QString &key : m_order)
        items << Item(key);
    return items;
}

QMenu *MenuBar::Menu(const QString &key) const
{
    return m_menus.value(fold(key));
}

QString MenuBar::Caption(const QString &key) const
{
    const QAction *action = Item(key);
    if (!action)
        return {};
    return action->isSeparator() ? QStringLiteral("-") : action->text();
}

void MenuBar::SetCaption(const QString &key, const QString &caption)
{
    if (QAction *action = Item(key))
        action->setText(caption);
}

QString MenuBar::Shortcut(const QString &key) const
{
    const QAction *action = Item(key);
    return action ? action->shortcut().toString(QKeySequence::PortableText) : QString();
}

void MenuBar::SetShortcut(const QString &key, const QString &shortcut)
{
    if (QAction *action = Item(key))
        action->setShortcut(QKeySequence(shortcut, QKeySequence::PortableText));
}

bool MenuBar::Enabled(const QString &key) const
{
    const QAction *action = Item(key);
    return action && action->isEnabled();
}

void MenuBar::SetEnabled(const QString &key, bool enabled)
{
    if (QAction *action = Item(key))
        action->setEnabled(enabled);
}

bool MenuBar::Checked(const QString &key) const
{
    const QAction *action = Item(key);
    return action && action->isChecked();
}

void MenuBar::SetChecked(const QString &key, bool checked)
{
    if (QAction *action = Item(key)) {
        action->setCheckable(true);
        action->setChecked(checked);
        // A menu draws an item's icon in place of its check mark (checked only as a faint
        // frame around the icon): items with a check mark show the mark instead.
        action->setIconVisibleInMenu(false);
    }
}

int MenuBar::IconIndex(const QString &key) const
{
    const QAction *action = Item(key);
    return action ? action->property(kIconIndex).toInt() : -1;
}

void MenuBar::SetIconIndex(const QString &key, int index)
{
    if (QAction *action = Item(key)) {
        action->setProperty(kIconIndex, index);
        applyIcon(action);
    }
}

void MenuBar::SetImageList(const QList<QIcon> &images)
{
    m_images = images;
    for (QAction *action : std::as_const(m_items))
        applyIcon(action);
}

void MenuBar::applyIcon(QAction *action) const
{
    const int index = action->property(kIconIndex).toInt();
    action->setIcon(index >= 0 && index < m_images.size() ? m_images.at(index) : QIcon());
}
