#pragma once

#include <QtGlobal>

#include <functional>

namespace Gedcom {

// Told how far a long step has come (done of total, in units the step chooses); returns false
// to cancel the step.
using Progress = std::function<bool(qint64 done, qint64 total)>;

} // namespace Gedcom
