#pragma once

#include "Result.h"

class ReplacingFile;

namespace Gedcom {

// The error of a file that could not be written: the sentence the file gives (naming the path),
// what its system error says went wrong (a full disk, a read-only file or folder, a missing
// folder; a target that is not a regular file is InvalidInput), and the path at fault.
Error WriteFailure(const ReplacingFile &file);

} // namespace Gedcom
