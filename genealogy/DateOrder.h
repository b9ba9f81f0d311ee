#pragma once

#include <QtGlobal>

#include <functional>
#include <vector>

namespace Genealogy {

// The order in which items with dates are listed (the panel's facts, the reports' events): by
// the middle of the days each date may mean (so that "ABT 1850" follows "12 MAR 1850"), then by
// its first day; an item without a date keeps its place after the item before it (a burial
// without a date stays after the death). `range(i)` gives item i's first and last day as
// GedcomDate::range does (DateRange::kUnknown for none). The result: the items' indexes in order.
std::vector<size_t> dateOrder(size_t count,
                              const std::function<void(size_t, qint32 &from, qint32 &to)> &range);

} // namespace Genealogy
