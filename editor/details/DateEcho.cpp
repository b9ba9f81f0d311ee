#include "DateEcho.h"

#include "GedcomDate.h"

using namespace Genealogy;

namespace {

QString partText(const DatePart &part)
{
    static const char *const kMonths[] = {"January",   "February", "March",    "April",
                                          "May",       "June",     "July",     "August",
                                          "September", "October",  "November", "December"};
    QString text;
    if (part.day > 0)
        text += QString::number(part.day) + u' ';
    if (part.month > 0) {
        if (part.calendar == DateCalendar::Gregorian || part.calendar == DateCalendar::Julian)
            text += QString::fromLatin1(kMonths[(part.month - 1) % 12]) + u' ';
        else
            text +=
                (part.monthName.isEmpty() ? QString::number(part.month) : part.monthName) + u' ';
    }
    text += QString::number(part.year);
    if (!part.dualYear.isEmpty())
        text += u'/' + part.dualYear;
    if (part.bce)
        text += QStringLiteral(" BC");
    if (part.calendar == DateCalendar::Julian)
        text += QStringLiteral(" (Julian)");
    else if (part.calendar == DateCalendar::French)
        text += QStringLiteral(" (French republican)");
    else if (part.calendar == DateCalendar::Hebrew)
        text += QStringLiteral(" (Hebrew)");
    return text;
}

} // namespace

namespace DateEcho {

Echo of(const QString &date)
{
    if (date.trimmed().isEmpty())
        return {QStringLiteral("no date"), true};
    const DateValue value = GedcomDate::parse(date);
    const QString first = partText(value.first);
    const QString second = partText(value.second);
    Echo echo;
    switch (value.kind) {
    case DateKind::None:
        echo.text = QStringLiteral("no date");
        break;
    case DateKind::Exact:
        echo.text = first;
        break;
    case DateKind::About:
        echo.text = QStringLiteral("about ") + first;
        break;
    case DateKind::Calculated:
        echo.text = QStringLiteral("calculated ") + first;
        break;
    case DateKind::Estimated:
        echo.text = QStringLiteral("estimated ") + first;
        break;
    case DateKind::Before:
        echo.text = QStringLiteral("before ") + first;
        break;
    case DateKind::After:
        echo.text = QStringLiteral("after ") + first;
        break;
    case DateKind::Between:
        echo.text = QStringLiteral("between %1 and %2").arg(first, second);
        break;
    case DateKind::From:
        echo.text = QStringLiteral("from ") + first;
        break;
    case DateKind::To:
        echo.text = QStringLiteral("to ") + first;
        break;
    case DateKind::FromTo:
        echo.text = QStringLiteral("from %1 to %2").arg(first, second);
        break;
    case DateKind::Phrase:
        echo.text = QStringLiteral("in words: \u201C%1\u201D").arg(value.phrase);
        break;
    case DateKind::Unparsed:
        echo.text = QStringLiteral("not a date: kept as text (write it as 1850, ABT 1850, "
                                   "BET 1850 AND 1860, 12 MAR 1850)");
        echo.valid = false;
        break;
    }
    if (value.interpreted && !value.phrase.isEmpty())
        echo.text += QStringLiteral(" (\u201C%1\u201D)").arg(value.phrase);
    if (GedcomDate::isReversed(value)) {
        echo.text += QStringLiteral(": the second date is before the first");
        echo.valid = false;
    }
    return echo;
}

QString refusal(const QString &date)
{
    if (!GedcomDate::isReversed(GedcomDate::parse(date)))
        return QString();
    return QStringLiteral("The date '%1' ends before it begins: write the earlier date first.")
        .arg(date.trimmed());
}

} // namespace DateEcho
