#pragma once

#include "Result.h"

#include <QString>

class QWidget;
class mDatabase;

// What the windows tell the user about the store's results.

// The messages of the new-tree command: success ("Velkin tree '<name>' has been successfully
// created", "Successful", OK, no icon); a taken name (Taken: "The tree '<name>' already exists.
// Please select a unique name.", "Error: Record exists.", critical); otherwise the usual error
// report with the error's text.
void ShowCreateTreeResult(const QString &name, const Result<void> &created,
                          QWidget *parent = nullptr);
// The usual error report of a failure: its text, "Error: <number>" for its code.
void ReportFailure(const Error &error, QWidget *parent = nullptr);

// The Compress command: busy pointer, the store's Compress, then "Database successfully
// compressed" (information, "Successful") or the usual error report.
void CompressDatabase(mDatabase &store, QWidget *parent = nullptr);

// Asks, when another program changed the person `key` after this program read it, whether to
// reload it: nothing was deleted; "Reload" (true) or "Cancel"; exclamation icon, title "Changed
// by another program". `changedBy`: who changed it and when, as the history says
// (ChangeLog::lastChangeText), "" when not known.
bool AskReloadChanged(const QString &key, QWidget *parent = nullptr,
                      const QString &changedBy = QString());
// Tells that the person `key` is no longer in the tree: another program deleted it.
QString PersonGoneText(const QString &key, const QString &tree);
