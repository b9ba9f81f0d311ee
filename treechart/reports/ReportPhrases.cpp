#include "ReportPhrases.h"

#include "GedcomDate.h"

#include <QLocale>

namespace Reports::Phrases {

using namespace Genealogy;

namespace {

QString partWords(const DatePart &part)
{
    if (!part.valid)
        return QString();
    QString out;
    if (part.day > 0)
        out += QString::number(part.day) + QLatin1Char(' ');
    if (part.month > 0) {
        if (part.calendar == DateCalendar::Gregorian || part.calendar == DateCalendar::Julian)
            out += QLocale(QLocale::English).standaloneMonthName(part.month) + QLatin1Char(' ');
        else if (!part.monthName.isEmpty())
            out += part.monthName + QLatin1Char(' ');
        else
            out += QStringLiteral("month %1 ").arg(part.month);
    }
    out += QString::number(part.year);
    if (!part.dualYear.isEmpty())
        out += QLatin1Char('/') + part.dualYear;
    if (part.bce)
        out += QStringLiteral(" BC");
    return out;
}

// "on" a day, "in" a month or a year.
QString preposition(const DatePart &part)
{
    return part.day > 0 ? QStringLiteral("on ") : QStringLiteral("in ");
}

} // namespace

QString dateWords(const QString &date)
{
    const QString text = date.trimmed();
    if (text.isEmpty())
        return QString();
    const DateValue v = GedcomDate::parse(text);
    const QString first = partWords(v.first);
    const QString second = partWords(v.second);
    switch (v.kind) {
    case DateKind::Exact:
        return first;
    case DateKind::About:
    case DateKind::Calculated:
    case DateKind::Estimated:
        return QStringLiteral("about ") + first;
    case DateKind::Before:
        return QStringLiteral("before ") + first;
    case DateKind::After:
        return QStringLiteral("after ") + first;
    case DateKind::Between:
        return QStringLiteral("between %1 and %2").arg(first, second);
    case DateKind::From:
        return QStringLiteral("from ") + first;
    case DateKind::To:
        return QStringLiteral("until ") + first;
    case DateKind::FromTo:
        return QStringLiteral("from %1 to %2").arg(first, second);
    case DateKind::Phrase:
        return v.phrase.isEmpty() ? text : v.phrase;
    case DateKind::None:
    case DateKind::Unparsed:
        break;
    }
    return text;
}

QString when(const QString &date)
{
    const QString text = date.trimmed();
    if (text.isEmpty())
        return QString();
    const DateValue v = GedcomDate::parse(text);
    if (v.kind == DateKind::Exact && v.first.valid)
        return preposition(v.first) + dateWords(text);
    if (v.isDate())
        return dateWords(text);
    return QStringLiteral("on ") + dateWords(text);
}

QString pronoun(Sex sex)
{
    switch (sex) {
    case Sex::Male:
        return QStringLiteral("He");
    case Sex::Female:
        return QStringLiteral("She");
    default:
        return QStringLiteral("They");
    }
}

QString childWord(Sex sex)
{
    switch (sex) {
    case Sex::Male:
        return QStringLiteral("son");
    case Sex::Female:
        return QStringLiteral("daughter");
    default:
        return QStringLiteral("child");
    }
}

QString roman(int number)
{
    static const std::pair<int, const char *> kDigits[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    QString out;
    for (const auto &[value, digits] : kDigits) {
        while (number >= value) {
            out += QLatin1String(digits);
            number -= value;
        }
    }
    return out;
}

} // namespace Reports::Phrases
