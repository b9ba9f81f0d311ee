#pragma once

namespace Gedcom {

// The GEDCOM versions this library writes.
enum class Version { Gedcom551, Gedcom70 };

} // namespace Gedcom
