#include "RecordSorter.h"

#include <QStringList>

#include <algorithm>

namespace Pixtile {

namespace RecordSorter {

QString SortableDate(const QString &dateMdf)
{
    const QStringList parts = dateMdf.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 2)
        return QString();
    const QStringList day = parts[0].split(QLatin1Char('/'));
    const QStringList time = parts[1].split(QLatin1Char(':'));
    if (day.size() != 3 || time.size() != 3)
        return QString();
    auto two = [](const QString &s) { return s.rightJustified(2, QLatin1Char('0')); };
    return day[2].rightJustified(4, QLatin1Char('0')) + QLatin1Char(' ') + two(day[1]) +
           QLatin1Char(' ') + two(day[0]) + QLatin1Char(' ') + two(time[0]) + QLatin1Char(':') +
           two(time[1]) + QLatin1Char(':') + two(time[2]);
}

namespace {
// <0, 0, >0 for the key alone.
int compareKey(const FileRecord &a, const FileRecord &b, int key)
{
    switch (key) {
    case 1:
        return a.FileType.compare(b.FileType, Qt::CaseInsensitive);
    case 2:
        return a.Size < b.Size ? -1 : (a.Size > b.Size ? 1 : 0);
    case 3:
        return SortableDate(a.DateMdf).compare(SortableDate(b.DateMdf));
    case 4: {
        const qint64 areaA = qint64(a.Width) * a.Height;
        const qint64 areaB = qint64(b.Width) * b.Height;
        return areaA < areaB ? -1 : (areaA > areaB ? 1 : 0);
    }
    case 5:
        return a.Extension.compare(b.Extension, Qt::CaseInsensitive);
    default:
        return a.Name.compare(b.Name, Qt::CaseInsensitive);
    }
}
} // namespace

bool Precedes(const FileRecord &a, const FileRecord &b, int key, bool descending)
{
    int c = compareKey(a, b, key);
    if (c == 0 && key >= 1 && key <= 5)
        c = a.Name.compare(b.Name, Qt::CaseInsensitive);
    return descending ? c > 0 : c < 0;
}

void Sort(FileRecords &records, int key, bool descending)
{
    std::stable_sort(records.begin(), records.end(), [&](const FileRecord &a, const FileRecord &b) {
        return Precedes(a, b, key, descending);
    });
}

} // namespace RecordSorter

} // namespace Pixtile
