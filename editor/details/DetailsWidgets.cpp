#include "DetailsWidgets.h"

#include "InstantButton.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QShortcut>

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

} // namespace DetailsUi
