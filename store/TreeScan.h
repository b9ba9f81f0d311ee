#pragma once

#include "PersonRowText.h"
#include "Result.h"

#include <QString>

#include <functional>

class QSqlDatabase;

// Reading a whole tree table fast: the rows go straight from the engine to the caller as UTF-8
// bytes, through the engine's own interface on the connection's handle, one forward pass with
// the columns found once by name. Nothing is kept.
namespace Store::TreeScan {

using RowHandler = std::function<void(const PersonRowText &row)>;

// Hands every row of the table `tree` to `row`, in the order the engine returns them (the order
// of ReadTree). Fails when the table cannot be read; rows handed over before the failure stay
// handed over.
Result<void> Scan(QSqlDatabase &db, const QString &tree, const RowHandler &row);

// About how many rows the table has, found without reading it (0 when unknown); for sizing.
qsizetype EstimateRows(QSqlDatabase &db, const QString &tree);

} // namespace Store::TreeScan
