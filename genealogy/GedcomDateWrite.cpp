#include "GedcomDate.h"

#include "DateMonths.h"

#include <QStringList>

// Writing a date value in the syntax of either GEDCOM version.
namespace Genealogy {

namespace {

using namespace DateMonths;

QString monthWord(const DatePart &part)
{
    if (!part.monthName.isEmpty())
        return part.monthName;
    if (part.month == 0)
        return QString();
    switch (part.calendar) {
    case DateCalendar::French:
        return QLatin1String(kFrenchMonths[part.month - 1]);
    case DateCalendar::Hebrew:
        return QLatin1String(kHebrewMonths[part.month - 1]);
    default:
        return QLatin1String(kGregorianMonths[part.month - 1]);
    }
}

// One date in the syntax; false when the syntax cannot say it.
bool writePart(const DatePart &part, DateSyntax syntax, QString &out)
{
    QStringList words;
    const bool v7 = syntax == DateSyntax::Gedcom70;
    switch (part.calendar) {
    case DateCalendar::Gregorian:
        if (part.calendarNamed)
            words << (v7 ? QStringLiteral("GREGORIAN") : QStringLiteral("@#DGREGORIAN@"));
        break;
    case DateCalendar::Julian:
        words << (v7 ? QStringLiteral("JULIAN") : QStringLiteral("@#DJULIAN@"));
        break;
    case DateCalendar::Hebrew:
        words << (v7 ? QStringLiteral("HEBREW") : QStringLiteral("@#DHEBREW@"));
        break;
    case DateCalendar::French:
        words << (v7 ? QStringLiteral("FRENCH_R") : QStringLiteral("@#DFRENCH R@"));
        break;
    case DateCalendar::Roman:
        if (v7)
            return false;
        words << QStringLiteral("@#DROMAN@");
        break;
    case DateCalendar::Unknown:
        if (v7)
            return false;
        words << QStringLiteral("@#DUNKNOWN@");
        break;
    case DateCalendar::Extension:
        if (!v7)
            return false;
        words << part.calendarName;
        break;
    }
    // 5.5.1 has no extension months in its calendars.
    const bool standard =
        part.calendar == DateCalendar::Gregorian || part.calendar == DateCalendar::Julian ||
        part.calendar == DateCalendar::French || part.calendar == DateCalendar::Hebrew;
    if (!v7 && standard && !part.monthName.isEmpty())
        return false;
    if (part.day)
        words << QString::number(part.day);
    if (const QString month = monthWord(part); !month.isEmpty())
        words << month;
    if (!part.dualYear.isEmpty() && !v7)
        words << QString::number(part.year) + QLatin1Char('/') + part.dualYear;
    else if (!part.dualYear.isEmpty())
        words << QString::number(part.reckonedYear());
    else
        words << QString::number(part.year);
    if (part.bce)
        words << (v7 ? QStringLiteral("BCE") : QStringLiteral("B.C."));
    if (!part.epochName.isEmpty()) {
        if (!v7)
            return false;
        words << part.epochName;
    }
    out = words.join(QLatin1Char(' '));
    return true;
}

} // namespace

namespace GedcomDate {

Written write(const DateValue &value, DateSyntax syntax)
{
    Written w;
    const bool v7 = syntax == DateSyntax::Gedcom70;
    if (value.kind == DateKind::None) {
        w.ok = true;
        return w;
    }
    if (value.kind == DateKind::Phrase) {
        w.ok = true;
        if (v7)
            w.phrase = value.phrase;
        else
            w.value = QLatin1Char('(') + value.phrase + QLatin1Char(')');
        return w;
    }
    if (value.kind == DateKind::Unparsed)
        return w;
    QString first, second;
    if (!writePart(value.first, syntax, first))
        return w;
    const bool two = value.kind == DateKind::Between || value.kind == DateKind::FromTo;
    if (two && !writePart(value.second, syntax, second))
        return w;
    QString date;
    switch (value.kind) {
    case DateKind::About:
        date = QStringLiteral("ABT ") + first;
        break;
    case DateKind::Calculated:
        date = QStringLiteral("CAL ") + first;
        break;
    case DateKind::Estimated:
        date = QStringLiteral("EST ") + first;
        break;
    case DateKind::Before:
        date = QStringLiteral("BEF ") + first;
        break;
    case DateKind::After:
        date = QStringLiteral("AFT ") + first;
        break;
    case DateKind::Between:
        date = QStringLiteral("BET ") + first + QStringLiteral(" AND ") + second;
        break;
    case DateKind::From:
        date = QStringLiteral("FROM ") + first;
        break;
    case DateKind::To:
        date = QStringLiteral("TO ") + first;
        break;
    case DateKind::FromTo:
        date = QStringLiteral("FROM ") + first + QStringLiteral(" TO ") + second;
        break;
    default:
        date = first;
        break;
    }
    w.ok = true;
    if (v7) {
        w.value = date;
        w.phrase = value.phrase;
        const bool dual = !value.first.dualYear.isEmpty() || !value.second.dualYear.isEmpty();
        if (dual && w.phrase.isEmpty())
            w.phrase = write(value, DateSyntax::Gedcom551).value;
        return w;
    }
    if (value.phrase.isEmpty())
        w.value = date;
    else if (value.kind == DateKind::Exact)
        w.value =
            QStringLiteral("INT ") + date + QStringLiteral(" (") + value.phrase + QLatin1Char(')');
    else
        w.value =
            QStringLiteral("(") + date + QStringLiteral(" (") + value.phrase + QStringLiteral("))");
    return w;
}

} // namespace GedcomDate

} // namespace Genealogy
