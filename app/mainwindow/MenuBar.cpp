#include "MenuBar.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

QString fold(const QString &key)
{
    return key.toLower();
}

} // namespace

MenuBar::MenuBar(QMainWindow &window) : QObject(&window), m_bar(window.menuBar())
{
    m_bar->setObjectName(QStringLiteral("MenuBar"));
}

bool MenuBar::registerItem(const QString &key, QAction *action)
{
    if (!action || key.isEmpty() || Exists(key))
        return false;
    action->setObjectName(key);
    m_items.insert(fold(key), action);
    m_order << key;
    return true;
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
    registerItem(key, menu->menuAction());
    return menu;
}

QAction *MenuBar::Place(const QString &parentKey, QAction *action)
{
    QMenu *menu = parentMenu(parentKey);
    if (!menu || !action || !registerItem(action->objectName(), action))
        return nullptr;
    menu->addAction(action);
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

bool MenuBar::Enabled(const QString &key) const
{
    const QAction *action = Item(key);
    return action && action->isEnabled();
}

bool MenuBar::Checked(const QString &key) const
{
    const QAction *action = Item(key);
    return action && action->isChecked();
}

void MenuBar::SetChecked(const QString &key, bool checked)
{
    if (QAction *action = Item(key); action && action->isCheckable())
        action->setChecked(checked);
}
