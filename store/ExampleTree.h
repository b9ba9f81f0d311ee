#pragma once

#include "PersonRecord.h"

#include <QList>

// The rows of the tree "Example" that a new database starts with: two families over three
// generations, so that a new user has something to open and click through.
QList<PersonRecord> ExampleTreeRows();
