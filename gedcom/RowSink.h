#pragma once

#include "PersonRecord.h"
#include "Result.h"

#include <QString>

namespace Gedcom {

// Where an import puts its rows: the person store implements it for one new tree. The import
// calls begin once, add for each row in order, then commit; on a failure or a cancel it calls
// rollback instead, which must leave nothing behind (no tree, no rows: one transaction).
class RowSink
{
public:
    virtual ~RowSink() = default;

    // Creates the tree and starts the transaction. `rows` is the number of rows to come.
    virtual Result<void> begin(qsizetype rows) = 0;
    virtual Result<void> add(const PersonRecord &row) = 0;
    virtual Result<void> commit() = 0;
    virtual void rollback() = 0;
};

} // namespace Gedcom
