#pragma once

#include <QtGlobal>

// Day numbers of the calendars GEDCOM dates use, for sorting: every day is its Julian Day Number
// (the count of days since 1 January 4713 BC in the Julian calendar), whatever the calendar that
// names it. Years are astronomical (1 BC is year 0, 2 BC is -1).
namespace Genealogy::Calendars {

qint64 fromGregorian(qint64 year, int month, int day);
qint64 fromJulian(qint64 year, int month, int day);
// The French republican calendar: year 1 began on 22 September 1792; twelve months of 30 days,
// then the complementary days (month 13). Sextile years: 3, 7, 11, 15, then every fourth year
// by the Gregorian rule.
qint64 fromFrench(qint64 year, int month, int day);
// The Hebrew calendar, months numbered as GEDCOM lists them from the new year: 1 Tishri,
// 2 Heshvan, 3 Kislev, 4 Tevet, 5 Shevat, 6 Adar (Adar I in a leap year), 7 Adar II, 8 Nisan,
// 9 Iyar, 10 Sivan, 11 Tammuz, 12 Av, 13 Elul.
qint64 fromHebrew(qint64 year, int month, int day);

// The number of days in a month of a year (12 or 13 months; 0 for a month the year lacks).
int daysInMonth(int calendar, qint64 year, int month);
// Months in a year: 12 for the Gregorian and Julian calendars, 13 for the French and Hebrew.
int monthsInYear(int calendar);

// The calendars as daysInMonth() takes them.
enum : int { Gregorian = 0, Julian = 1, French = 2, Hebrew = 3 };

// The Julian Day Number of a day of a calendar (one of the enum above).
qint64 dayNumber(int calendar, qint64 year, int month, int day);

} // namespace Genealogy::Calendars
