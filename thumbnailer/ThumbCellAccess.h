#pragma once

#include "Thumb.h"

namespace Pixtile {

// An item's cell placement, for the control's own parts (painting, rendering, exporting) and
// its tests. Hosts have no use for it.
struct ThumbCellAccess
{
    static ThumbCell &cell(Thumb &thumb) { return thumb.m_cell; }
    static const ThumbCell &cell(const Thumb &thumb) { return thumb.m_cell; }
};

} // namespace Pixtile
