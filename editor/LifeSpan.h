#pragma once

#include <QString>

// The life span shown in the second status-bar panel when a person is selected or saved.
namespace LifeSpan {

// The year of a date text: a valid date (ISO, or one of the common written forms of the
// user's locale or of English) gives its year; otherwise a text of exactly 4 characters that
// reads as a whole number gives that number; anything else, "abcd" included, gives 0.
int YearOf(const QString &date);

// "" when bdate is empty; bdate alone when ddate is empty; otherwise
// bdate + " - " + ddate + " (" + (YearOf(ddate) - YearOf(bdate)) + ")".
QString Text(const QString &bdate, const QString &ddate);

// The first panel: first name, one blank, last name.
QString NameText(const QString &fname, const QString &sname);

} // namespace LifeSpan
