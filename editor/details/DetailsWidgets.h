#pragma once

#include <QString>

#include <functional>

class QDialog;
class QDialogButtonBox;
class QKeySequence;
class QLineEdit;
class QPushButton;
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

} // namespace DetailsUi
