#pragma once

#include "Version.h"

#include <QString>

// Dates between the free text of a row and GEDCOM's date values. Numeric dates are read by the
// store's DateReader, as the life-span years are.
namespace Gedcom::DateText {

// The text a row gets from a DATE: the value as written, without blanks around it; a 5.5.1 date
// phrase "(text)" gives the text alone, and so does a 7.0 PHRASE under an empty DATE (under a
// DATE with a value it follows in parentheses).
QString fromGedcom(const QString &value, const QString &phrase = QString());

// Whether the text is a date value of the version, written exactly as the standard has it
// (upper-case keywords in 7.0; any case before 7.0, as older files write them). The bare date
// phrase "(text)" does not count: it is text, not a date.
bool isGedcomDate(const QString &text, Version version);

// An ISO date (1950-03-12, 1950-03) or a numeric day/month/year date (12.3.1950, 12/03/50,
// 12-3-1950; two-digit years 00-29 are 2000-2029, 30-99 are 1930-1999; a four-digit year first
// reads year/month/day) in GEDCOM form ("12 MAR 1950", "MAR 1950"), or an empty string when the
// text is neither or names no real day.
QString fromNumeric(const QString &text);

// How a row's date text is written: a GEDCOM date as it is, an ISO or numeric date converted,
// anything else as a date phrase: "(text)" before 7.0 (phrase stays empty), an empty value with
// `phrase` in 7.0. `isDate` tells that the value is a date and needs no @ escapes.
struct Written
{
    QString value;
    QString phrase;
    bool isDate = false;
};
Written toGedcom(const QString &text, Version version);

} // namespace Gedcom::DateText
