#pragma once

#include <QString>

#include <optional>

// The life span shown in the second status-bar panel when a person is selected or saved, and
// the year of a date text that goes with it. No widgets (library vtlifespan, over the store's
// reader of numeric dates), so that code without windows can read years the same way.
namespace LifeSpan {

// The year of a date text, read the same way whatever the user's locale:
//   - numeric dates: year first ("1950-06-30", "1950/6/30") or last, with the day and month in
//     either order ("30.06.1950", "5/6/45", "6-30-1950"); the date must exist;
//   - written dates with English month names or their abbreviations: "12 MAR 1901",
//     "March 12, 1888", "MAR 1901", "May 1950";
//   - genealogical forms: "ABT", "EST", "CAL", "BEF", "AFT", "TO" and "INT" before a date give
//     that date's year, "FROM 1900 TO 1910" and "BET 1900 AND 1910" the first year (none when
//     the range ends before it begins: "BET 1900 AND 1850"), a date
//     phrase "(about 1900)" the first four-digit year in it; a "@#DGREGORIAN@" or "@#DJULIAN@"
//     calendar mark is allowed in front, any other calendar gives no date;
//   - a dual year, alone, in a date or in a phrase ("1675/76", "1675/1676", "12 MAR 1699/00"),
//     gives its later number, the year as counted today (DateReader::DualYear); another year
//     with two digits after a slash ("1950/06", "1675/80") gives its first year, a year with a
//     full year after it that is not the next ("1675/1680") none;
//   - a one- or two-digit year next to a day or month is 2000-2029 for 00-29 and 1930-1999 for
//     30-99.
// Any other text of exactly 4 characters that reads as a whole number gives that number;
// anything else ("about 1900", "abcd", "190", "1950-02-30") gives no year.
std::optional<int> Year(const QString &date);

// Year(date), or 0 when the date gives none.
int YearOf(const QString &date);

// "" when bdate is empty; bdate alone when ddate is empty; otherwise
// bdate + " - " + ddate + " (" + (death year - birth year) + ")", without the age in parentheses
// when either date gives no year.
QString Text(const QString &bdate, const QString &ddate);

// The years of a person as lists show them: "1901 - 1950", "1901" (no death date), "- 1950" (no
// birth year), "1901 - ?" (a death date that gives no year), "" (neither).
QString YearsText(const QString &bdate, const QString &ddate);

// The first panel: first name, one blank, last name.
QString NameText(const QString &fname, const QString &sname);

} // namespace LifeSpan
