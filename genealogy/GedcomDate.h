#pragma once

#include <QString>
#include <QStringView>

#include <limits>

namespace Genealogy {

// What a date value says, as the panel sorts and shows it.
enum class DateKind : quint8 {
    None,       // no date
    Exact,      // "12 MAR 1850", "MAR 1850", "1850" (also INT 5.5.1 dates: exact, with a phrase)
    About,      // ABT
    Calculated, // CAL
    Estimated,  // EST
    Before,     // BEF
    After,      // AFT
    Between,    // BET .. AND ..
    From,       // FROM .. (a period that began then)
    To,         // TO .. (a period that ended then)
    FromTo,     // FROM .. TO ..
    Phrase,     // only words: "(in the war)" before 7.0, an empty DATE with a PHRASE in 7.0
    Unparsed,   // text that is no date of either grammar (kept as given)
};

// The two ways GEDCOM writes dates.
enum class DateSyntax : quint8 {
    Gedcom551, // @#DJULIAN@ 1 JAN 1700, 1699/00, 44 B.C., INT 1850 (phrase), (phrase)
    Gedcom70,  // JULIAN 1 JAN 1700, 44 BCE, extension calendars, a PHRASE beside the DATE
};

enum class DateCalendar : quint8 { Gregorian, Julian, French, Hebrew, Roman, Unknown, Extension };

// One date of a value: [calendar] [[day] month] year [epoch].
struct DatePart
{
    DateCalendar calendar = DateCalendar::Gregorian;
    bool calendarNamed = false;
    int day = 0;   // 0: none
    int month = 0; // 0: none; 1..12 (13 French and Hebrew)
    qint64 year = 0;
    bool bce = false;
    QString dualYear;     // "76" of "1675/76"
    QString calendarName; // an extension calendar ("_CAL"), or the words of @#DROMAN@ ...
    QString monthName;    // an extension month ("_MON") or a month of an unknown calendar
    QString epochName;    // an extension epoch ("_EP")
    bool valid = false;

    // The year of today's reckoning: of a dual year "1675/76" the later, 1676; astronomical
    // (1 BC is 0).
    qint64 reckonedYear() const;
};

// A GEDCOM date value read by the grammar of 5.5.1 or 7.0, whichever it follows (a 5.5.1 file
// with 7.0 calendar names reads too): keywords, months and calendar names in any case, any
// number of blanks between words. A phrase in parentheses may follow a date ("INT 1850 (about
// then)", or as a row writes a 7.0 date with its phrase: "1850 (about then)").
struct DateValue
{
    DateKind kind = DateKind::None;
    DatePart first;           // the date, or the first of a range or period
    DatePart second;          // the second of BET .. AND .., FROM .. TO ..
    QString phrase;           // the words in parentheses (or the whole of a Phrase value)
    bool interpreted = false; // INT

    bool isDate() const
    {
        return kind != DateKind::None && kind != DateKind::Phrase && kind != DateKind::Unparsed;
    }
};

// The days a date may mean, as Julian Day Numbers, for sorting: of a date its first and last day
// (1850: 1 January to 31 December 1850), of a range or period from the first date's first day to
// the second's last; BEF, AFT, ABT and the like give the span of the date they qualify. Values
// with no calendar to count (extension calendars, phrases) have no range.
struct DateRange
{
    static constexpr qint32 kUnknown = std::numeric_limits<qint32>::min();
    qint32 from = kUnknown;
    qint32 to = kUnknown;
    bool isKnown() const { return from != kUnknown; }
};

namespace GedcomDate {

DateValue parse(QStringView text);
// The same, and the normalised text of the value (see normalized()) in one reading.
DateValue parse(QStringView text, QString &normalizedText);
// A range or period whose second date ends before its first begins ("BET 1900 AND 1850") has
// no range: nothing is sorted or counted from it.
DateRange range(const DateValue &value);
// True for such a range or period (both dates in calendars that count days): the windows refuse
// it, a file's value is kept as written.
bool isReversed(const DateValue &value);

// The value as the model keeps it: without blanks around it and with single blanks between
// words, keywords, month and calendar names in upper case ("ABT 1969" from "abt    1969"). Text
// that is no date is only trimmed; words in parentheses stay as written.
QString normalized(QStringView text);

// The value written in the syntax, and the phrase that goes beside it in 7.0 (empty in 5.5.1,
// where a phrase stays in the value: "INT 1850 (about then)", "(in the war)"). `ok` is false
// when the syntax cannot say the date (an extension calendar in 5.5.1) or the value is no date:
// then the caller writes it as a phrase or as it stands. A 5.5.1 dual year written in 7.0 gives
// the later year with the 5.5.1 words as its phrase.
struct Written
{
    QString value;
    QString phrase;
    bool ok = false;
};
Written write(const DateValue &value, DateSyntax syntax);

// The text a row shows for a DATE value and its 7.0 PHRASE: the normalized value; a 5.5.1 phrase
// "(text)" gives the text alone, and so does a 7.0 PHRASE under an empty DATE; a PHRASE under a
// date follows it in parentheses ("1850 (about then)").
QString rowText(QStringView value, QStringView phrase);

} // namespace GedcomDate

} // namespace Genealogy
