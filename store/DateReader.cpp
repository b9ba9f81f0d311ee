#include "DateReader.h"

#include <QDate>
#include <QList>

namespace DateReader {

namespace {

// The number written with `min` to `max` ASCII digits (at most nine, so that it fits), or -1.
int digits(QStringView text, int min, int max)
{
    if (text.size() < min || text.size() > max || text.size() > 9)
        return -1;
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

} // namespace

bool IsValidDate(int year, int month, int day, Calendar calendar)
{
    if (calendar == Calendar::Julian)
        return month >= 1 && month <= 12 && day >= 1 && day <= 31;
    return QDate(year, month, day).isValid();
}

int WindowedYear(QStringView text)
{
    const int year = text.toInt();
    if (text.size() > 2)
        return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

std::optional<int> DualYear(QStringView text)
{
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return std::nullopt;
    const QStringView laterText = text.mid(slash + 1);
    // The later number is never longer than the first (three or four digits).
    // A leading zero makes no year of three digits ("001/02").
    const int first = digits(text.left(slash), 3, 4);
    if (first < 100)
        return std::nullopt;
    const int written = digits(laterText, 1, int(slash));
    if (written < 0)
        return std::nullopt;
    // The written digits replace the last digits of the first year; a turn of the decade or
    // century ("1699/00") carries into the digits before them.
    int unit = 1;
    for (qsizetype i = 0; i < laterText.size(); ++i)
        unit *= 10;
    int later = first - first % unit + written;
    if (later <= first)
        later += unit;
    return later == first + 1 ? std::optional<int>(later) : std::nullopt;
}

std::optional<NumericDate> ReadNumeric(QStringView text, Calendar calendar)
{
    qsizetype at = 0;
    while (at < text.size() && text[at] != QLatin1Char('.') && text[at] != QLatin1Char('/') &&
           text[at] != QLatin1Char('-'))
        ++at;
    if (at == 0 || at == text.size())
        return std::nullopt;
    const QChar separator = text[at];
    const QList<QStringView> parts = text.split(separator);

    if (parts.size() == 2) {
        // An ISO year and month.
        const int year = digits(parts[0], 4, 4);
        const int month = digits(parts[1], 2, 2);
        if (separator != QLatin1Char('-') || year < 0 || month < 1 || month > 12)
            return std::nullopt;
        return NumericDate{year, month, 0, false, 4};
    }
    if (parts.size() != 3)
        return std::nullopt;

    if (parts[0].size() == 4) {
        const int year = digits(parts[0], 4, 4);
        const int month = digits(parts[1], 1, 2);
        const int day = digits(parts[2], 1, 2);
        if (year < 0 || !IsValidDate(year, month, day, calendar))
            return std::nullopt;
        return NumericDate{year, month, day, false, 4};
    }

    const int first = digits(parts[0], 1, 2);
    const int second = digits(parts[1], 1, 2);
    if (first < 0 || second < 0 || digits(parts[2], 1, 4) < 0)
        return std::nullopt;
    const int year = WindowedYear(parts[2]);
    const int yearDigits = int(parts[2].size());
    if (IsValidDate(year, second, first, calendar))
        return NumericDate{year, second, first, false, yearDigits};
    if (IsValidDate(year, first, second, calendar))
        return NumericDate{year, first, second, true, yearDigits};
    return std::nullopt;
}

} // namespace DateReader
