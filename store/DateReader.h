#pragma once

#include <QStringView>

#include <optional>

// The one reader of the numeric dates a person's date texts may hold, whatever the user's locale:
// the life-span years and the GEDCOM export read them both through here.
namespace DateReader {

// How the day of a date is checked: against the Gregorian calendar, or (for a Julian date, whose
// leap years differ) only for being a day number of a month.
enum class Calendar { Gregorian, Julian };

// True when the date exists in the calendar.
bool IsValidDate(int year, int month, int day, Calendar calendar = Calendar::Gregorian);

// A year written with one or two digits: 00-29 are 2000-2029, 30-99 are 1930-1999. Longer year
// texts read as written. The text must be digits.
int WindowedYear(QStringView digits);

// The year a dual year names ("1675/76", "1675/1676", "1699/00", "1675/6"): one year written
// in two reckonings, the year starting in March and in January, so the later number is the year
// as it is counted today. The first year has 3 or 4 digits; the second gives the last 1 to 4
// digits of the year after it. Anything else (the second not the first plus one) gives none.
std::optional<int> DualYear(QStringView text);

// A numeric date as written.
struct NumericDate
{
    int year = 0;
    int month = 0;
    int day = 0;             // 0 for a year and month alone
    bool monthFirst = false; // read month/day/year: as day/month/year it names no real day
    int yearDigits = 0;      // how the year was written (a year first always has 4)
};

// Reads one numeric date (no blanks around it):
//   - year first, with four digits: "1950-06-30", "1950/6/30", "1950.06.30";
//   - year last, with 1 to 4 digits (windowed when it has one or two), after the day and month
//     in either order, day first preferred: "30.06.1950", "5/6/45", "6-30-1950";
//   - an ISO year and month: "1950-03".
// Day and month have one or two digits; one separator ('.', '/' or '-') is used throughout. The
// date must exist. Anything else gives no date.
std::optional<NumericDate> ReadNumeric(QStringView text, Calendar calendar = Calendar::Gregorian);

} // namespace DateReader
