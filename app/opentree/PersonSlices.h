#pragma once

#include "ModelSlice.h"
#include "Result.h"

#include <QString>

#include <functional>

class mDatabase;

// Where the panel's "Family and events" tab and `--person-facts` take the part of a tree's model
// around one person: a function of the tree's name and the person's key. The program hands the
// store's reading in; RowSlices serves until then and wherever a tree has no side records.
using PersonSliceSource =
    std::function<Result<Genealogy::ModelSlice>(const QString &tree, const QString &key)>;

// A slice of the rows alone, read from the store: the person's row and, when its parent key names
// a row, the parent's; no side records, so the facts are what the row says (the parent key's
// person, the partner columns, birth and death). A missing person is ErrorCode::Missing.
PersonSliceSource RowSlices(const mDatabase &store);
