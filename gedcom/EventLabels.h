#pragma once

#include <QString>

namespace Gedcom {

// The words a note line uses for an event or attribute tag ("Burial", "Occupation"), or an empty
// string for tags that give no line. Family events are asked for with `family` set.
QString eventLabel(quint16 tag, bool family);

} // namespace Gedcom
