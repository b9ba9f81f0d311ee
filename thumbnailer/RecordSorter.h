#pragma once

#include "FileRecord.h"

namespace Pixtile {

// Orders file records by one of six keys (name, type, size, date, area, extension) in either
// direction; equal keys go by name in the same direction. Text compares without regard to case.
namespace RecordSorter {

// key: 0 name, 1 type, 2 size, 3 date, 4 dims (area), 5 extension; descending: order 1.
bool Precedes(const FileRecord &a, const FileRecord &b, int key, bool descending);
void Sort(FileRecords &records, int key, bool descending);
// "d/m/yyyy h:m:s" as "yyyy MM dd hh:mm:ss" (comparable text); empty for bad input.
QString SortableDate(const QString &dateMdf);

} // namespace RecordSorter

} // namespace Pixtile
