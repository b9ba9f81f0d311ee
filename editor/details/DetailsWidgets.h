#pragma once

#include <QString>

#include <functional>

class QDialog;
class QDialogButtonBox;
class QKeySequence;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QWidget;

// The small widgets the details window and its dialogs are built of, made the same way
// everywhere.
namespace DetailsUi {

// A button that acts at once on its letter (InstantButton) and is never the dialog's default.
QPushButton *button(const QString &text, const QString &name, QWidget *parent);
// `keys` run `action` while the focus is in `on` or a child of it.
void shortcut(QWidget *on, const QKeySequence &keys, const std::function<void()> &action);
// OK and Cancel, accepting and rejecting `dialog`.
QDialogButtonBox *okCancel(QDialog *dialog);
// A line edit named `name` holding `text`.
QLineEdit *line(const QString &name, const QString &text, QWidget *parent);

// The buttons beside a list of records and what they do.
struct ListButtons
{
    QPushButton *add, *edit, *remove, *up, *down, *cite;
};
struct ListActions
{
    std::function<void()> add, edit, remove, up, down, cite;
};
// Lays out `list` on `page` with its buttons beside it, and wires the buttons and the list's keys
// to the actions: Insert adds, F2 and a double-click edit, Delete removes, Ctrl+Up and Ctrl+Down
// move the current record.
void wireList(QWidget *page, QTreeWidget *list, const ListButtons &buttons,
              const ListActions &actions);

} // namespace DetailsUi
