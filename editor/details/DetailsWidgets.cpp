#include "DetailsWidgets.h"

#include "InstantButton.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace DetailsUi {

QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = new InstantButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

void shortcut(QWidget *on, const QKeySequence &keys, const std::function<void()> &action)
{
    auto *s = new QShortcut(keys, on);
    s->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(s, &QShortcut::activated, on, action);
}

QDialogButtonBox *okCancel(QDialog *dialog)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QLineEdit *line(const QString &name, const QString &text, QWidget *parent)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    return edit;
}

void wireList(QWidget *page, QTreeWidget *list, const ListButtons &buttons,
              const ListActions &actions)
{
    QObject::connect(buttons.add, &QPushButton::clicked, page, actions.add);
    QObject::connect(buttons.edit, &QPushButton::clicked, page, actions.edit);
    QObject::connect(buttons.remove, &QPushButton::clicked, page, actions.remove);
    QObject::connect(buttons.up, &QPushButton::clicked, page, actions.up);
    QObject::connect(buttons.down, &QPushButton::clicked, page, actions.down);
    QObject::connect(buttons.cite, &QPushButton::clicked, page, actions.cite);
    QObject::connect(list, &QTreeWidget::itemDoubleClicked, page, actions.edit);
    shortcut(list, QKeySequence(Qt::Key_Insert), actions.add);
    shortcut(list, QKeySequence(Qt::Key_F2), actions.edit);
    shortcut(list, QKeySequence::Delete, actions.remove);
    shortcut(list, QKeySequence(Qt::CTRL | Qt::Key_Up), actions.up);
    shortcut(list, QKeySequence(Qt::CTRL | Qt::Key_Down), actions.down);

    auto *column = new QVBoxLayout;
    for (QPushButton *b :
         {buttons.add, buttons.edit, buttons.remove, buttons.up, buttons.down, buttons.cite})
        column->addWidget(b);
    column->addStretch();
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(list, 1);
    layout->addLayout(column);
}

} // namespace DetailsUi
