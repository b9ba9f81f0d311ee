#pragma once

#include <QString>

class QWidget;
class mDatabase;

// What the program tells the user about a database it can only read: once at start-up, and
// again by every command that would change it.

// The commands a read-only database makes unavailable, as the menu names them.
const QStringList &ReadOnlyCommands();

// "The database '<path>' cannot be changed ..." with the unavailable commands, shown once the
// main window is up (title "Read-only database", exclamation, OK). Nothing when the database
// can be written.
void ShowReadOnlyNotice(const mDatabase &store, QWidget *parent);

// After a tree opened: when the user may read it but not change it (rights per tree on a shared
// database), says so (title "Read-only tree", exclamation, OK). Nothing otherwise.
void ShowReadOnlyTreeNotice(const mDatabase &store, QWidget *parent);

// For a command that changes the database: when it is read-only, says that `command` is
// unavailable and why, and returns true (the command then does nothing). While only the open
// tree is read-only, the commands that make a new tree (New Tree, Import GEDCOM) stay available.
bool RefuseWhenReadOnly(const mDatabase &store, const QString &command, QWidget *parent);

// The data folder as the user is told it: the native path, with " (read-only)" when the database
// cannot be changed.
QString DataFolderText(const mDatabase &store);
