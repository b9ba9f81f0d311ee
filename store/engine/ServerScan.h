#pragma once

#include "PersonRowText.h"
#include "Result.h"

#include <QString>

#include <functional>
#include <optional>

class QSqlDatabase;

// Reading a whole tree table from the server fast: COPY of its person columns TO STDOUT through
// the client library on the driver's own connection, each line cut into its columns in place
// (unescaped only where the text has a backslash) and handed over as UTF-8 bytes, in the order
// the rows were added. Nothing is kept.
namespace Store::ServerScan {

// Hands every row of `tree` to `row`. Nothing (no value) when this way cannot be taken (no
// handle of the client library, a table without the expected columns): the caller reads through
// the driver then. Rows handed over before a failure stay handed over.
std::optional<Result<void>> Scan(QSqlDatabase &db, const QString &tree,
                                 const std::function<void(const PersonRowText &row)> &row);

// One line of COPY's text form cut into its columns; false when it has another number of
// columns. `scratch` holds the unescaped columns (kColumns of them).
bool CutLine(char *line, int length, PersonRowText &out, QByteArray *scratch);

} // namespace Store::ServerScan
