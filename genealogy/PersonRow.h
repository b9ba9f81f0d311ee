#pragma once

#include "PersonRecord.h"

namespace Genealogy {

// The fourteen columns of a person's row, as the rules between the row and the model see them:
// the store's row type itself. The row is the one truth for what these columns hold; the model
// never keeps a second copy. `PrntKey` is the line parent's ID, the root key, or empty for a
// person outside the line.
using PersonRow = PersonRecord;

} // namespace Genealogy
