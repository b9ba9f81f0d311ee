#include "Calendars.h"

namespace Genealogy::Calendars {

namespace {

// Division rounding towards minus infinity.
qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

qint64 floorMod(qint64 a, qint64 b)
{
    return a - b * floorDiv(a, b);
}

bool gregorianLeap(qint64 y)
{
    return floorMod(y, 4) == 0 && (floorMod(y, 100) != 0 || floorMod(y, 400) == 0);
}

bool julianLeap(qint64 y)
{
    return floorMod(y, 4) == 0;
}

constexpr qint64 kFrenchEpoch = 2375840; // 1 Vendemiaire I = 22 September 1792

bool frenchSextile(qint64 y)
{
    if (y <= 15)
        return y == 3 || y == 7 || y == 11 || y == 15;
    return gregorianLeap(y);
}

// --- Hebrew, after the arithmetic of the calendar: months counted from Tishri of year 1 ---

bool hebrewLeap(qint64 y)
{
    return floorMod(7 * y + 1, 19) < 7;
}

qint64 hebrewElapsedDays(qint64 y)
{
    const qint64 months = floorDiv(235 * y - 234, 19);
    const qint64 parts = 12084 + 13753 * months;
    const qint64 day = 29 * months + floorDiv(parts, 25920);
    return floorMod(3 * (day + 1), 7) < 3 ? day + 1 : day;
}

qint64 hebrewCorrection(qint64 y)
{
    const qint64 ny0 = hebrewElapsedDays(y - 1);
    const qint64 ny1 = hebrewElapsedDays(y);
    const qint64 ny2 = hebrewElapsedDays(y + 1);
    if (ny2 - ny1 == 356)
        return 2;
    if (ny1 - ny0 == 382)
        return 1;
    return 0;
}

// The Julian Day Number of 1 Tishri of year y. 1 Tishri AM 1 was 7 October 3761 BC (Julian).
qint64 hebrewNewYear(qint64 y)
{
    constexpr qint64 kEpoch = 347998; // JDN of 1 Tishri AM 1
    return kEpoch + hebrewElapsedDays(y) + hebrewCorrection(y);
}

int hebrewDaysInMonth(qint64 y, int month)
{
    const qint64 length = hebrewNewYear(y + 1) - hebrewNewYear(y);
    const bool leap = hebrewLeap(y);
    switch (month) {
    case 1: // Tishri
        return 30;
    case 2: // Heshvan: long in a complete year
        return length % 10 == 5 ? 30 : 29;
    case 3: // Kislev: short in a deficient year
        return length % 10 == 3 ? 29 : 30;
    case 4: // Tevet
        return 29;
    case 5: // Shevat
        return 30;
    case 6: // Adar (Adar I in a leap year)
        return leap ? 30 : 29;
    case 7: // Adar II
        return leap ? 29 : 0;
    case 8: // Nisan
        return 30;
    case 9: // Iyar
        return 29;
    case 10: // Sivan
        return 30;
    case 11: // Tammuz
        return 29;
    case 12: // Av
        return 30;
    case 13: // Elul
        return 29;
    default:
        return 0;
    }
}

constexpr int kGregorianDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

} // namespace

qint64 fromGregorian(qint64 year, int month, int day)
{
    const qint64 a = floorDiv(14 - month, 12);
    const qint64 y = year + 4800 - a;
    const qint64 m = month + 12 * a - 3;
    return day + floorDiv(153 * m + 2, 5) + 365 * y + floorDiv(y, 4) - floorDiv(y, 100) +
           floorDiv(y, 400) - 32045;
}

qint64 fromJulian(qint64 year, int month, int day)
{
    const qint64 a = floorDiv(14 - month, 12);
    const qint64 y = year + 4800 - a;
    const qint64 m = month + 12 * a - 3;
    return day + floorDiv(153 * m + 2, 5) + 365 * y + floorDiv(y, 4) - 32083;
}

qint64 fromFrench(qint64 year, int month, int day)
{
    qint64 days = 0;
    if (year >= 1) {
        // Whole cycles of 400 years past year 16 at once: the loop stays short for any year.
        qint64 y = 1;
        for (; y < year && y <= 16; ++y)
            days += frenchSextile(y) ? 366 : 365;
        if (y < year) {
            const qint64 cycles = (year - y) / 400;
            days += cycles * 146097;
            y += cycles * 400;
            for (; y < year; ++y)
                days += frenchSextile(y) ? 366 : 365;
        }
    } else {
        for (qint64 y = year; y < 1 && y > year - 400; ++y)
            days -= 365;
    }
    return kFrenchEpoch + days + qint64(month - 1) * 30 + day - 1;
}

qint64 fromHebrew(qint64 year, int month, int day)
{
    qint64 jdn = hebrewNewYear(year);
    for (int m = 1; m < month && m <= 13; ++m)
        jdn += hebrewDaysInMonth(year, m);
    return jdn + day - 1;
}

int monthsInYear(int calendar)
{
    return calendar == French || calendar == Hebrew ? 13 : 12;
}

int daysInMonth(int calendar, qint64 year, int month)
{
    if (month < 1 || month > monthsInYear(calendar))
        return 0;
    switch (calendar) {
    case French:
        return month < 13 ? 30 : (frenchSextile(year) ? 6 : 5);
    case Hebrew:
        return hebrewDaysInMonth(year, month);
    case Julian:
        return month == 2 && julianLeap(year) ? 29 : kGregorianDays[month - 1];
    default:
        return month == 2 && gregorianLeap(year) ? 29 : kGregorianDays[month - 1];
    }
}

qint64 dayNumber(int calendar, qint64 year, int month, int day)
{
    switch (calendar) {
    case Julian:
        return fromJulian(year, month, day);
    case French:
        return fromFrench(year, month, day);
    case Hebrew:
        return fromHebrew(year, month, day);
    default:
        return fromGregorian(year, month, day);
    }
}

} // namespace Genealogy::Calendars
