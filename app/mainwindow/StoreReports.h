#pragma once

#include "PersonRecord.h"

#include <QString>

class QWidget;
class mDatabase;

// What the windows tell the user about the store's results.

// The messages of the new-tree command: success ("Velkin tree '<name>' has been successfully
// created", "Successful", OK, no icon); a taken name (kErrStatementFailed for an acceptable name:
// "The tree '<name>' already exists. Please select a unique name.", "Error: Record exists.",
// critical); otherwise the usual error report with the error's description.
void ShowCreateTreeResult(const QString &name, const StoreError &error, QWidget *parent = nullptr);

// The Compress command: busy pointer, the store's Compress, then "Database successfully
// compressed" (information, "Successful") or the usual error report.
void CompressDatabase(mDatabase &store, QWidget *parent = nullptr);
