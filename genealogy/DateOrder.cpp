#include "DateOrder.h"

#include "GedcomDate.h"

#include <algorithm>
#include <limits>

namespace Genealogy {

std::vector<size_t> dateOrder(size_t count,
                              const std::function<void(size_t, qint32 &from, qint32 &to)> &range)
{
    struct Keyed
    {
        qint64 middle;
        qint64 from;
        size_t item;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(count);
    qint64 middle = std::numeric_limits<qint64>::min();
    qint64 from = middle;
    for (size_t i = 0; i < count; ++i) {
        qint32 first = DateRange::kUnknown, last = DateRange::kUnknown;
        range(i, first, last);
        if (first != DateRange::kUnknown) {
            from = first;
            const qint64 to = last == DateRange::kUnknown ? from : last;
            middle = (from + to) / 2;
        }
        keyed.push_back({middle, from, i});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        return a.middle != b.middle ? a.middle < b.middle : a.from < b.from;
    });
    std::vector<size_t> order;
    order.reserve(count);
    for (const Keyed &k : keyed)
        order.push_back(k.item);
    return order;
}

} // namespace Genealogy
