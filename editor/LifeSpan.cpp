#include "LifeSpan.h"

#include "DateReader.h"
#include "GedcomDate.h"

#include <QRegularExpression>
#include <QStringList>

#include <functional>
#include <optional>

namespace {

using MaybeYear = std::optional<int>;

using DateReader::Calendar;
using DateReader::IsValidDate;

// 1 to 12 for an English month name or an abbreviation of at least three letters ("MAR",
// "Sept", "Febr."), 0 for anything else.
int monthOf(QString word)
{
    static const char *const kMonths[] = {"january",   "february", "march",    "april",
                                          "may",       "june",     "july",     "august",
                                          "september", "october",  "november", "december"};
    if (word.endsWith(QLatin1Char('.')))
        word.chop(1);
    word = word.toLower();
    if (word.size() < 3)
        return 0;
    for (int i = 0; i < 12; ++i) {
        if (QLatin1String(kMonths[i]).startsWith(word))
            return i + 1;
    }
    return 0;
}

// A year token of `minDigits` to 4 digits, or a dual year ("1701/02", "1701/1702"), read as the
// later of its two numbers. Another year with two digits after a slash ("1950/06", "1675/80")
// reads as its first year, as it always has.
MaybeYear yearToken(const QString &token, int minDigits)
{
    if (const MaybeYear dual = DateReader::DualYear(token))
        return dual;
    static const QRegularExpression kYear(QStringLiteral("^([0-9]{1,4})(?:/[0-9]{2})?$"));
    const QRegularExpressionMatch m = kYear.match(token);
    if (!m.hasMatch() || m.capturedLength(1) < minDigits)
        return std::nullopt;
    return DateReader::WindowedYear(m.captured(1));
}

MaybeYear dayNumber(const QString &token)
{
    static const QRegularExpression kDay(QStringLiteral("^[0-9]{1,2}$"));
    return kDay.match(token).hasMatch() ? MaybeYear(token.toInt()) : std::nullopt;
}

// One date of one or more tokens. A bare year needs four digits unless a qualifier (ABT, BEF…)
// came before it.
MaybeYear dateValue(const QStringList &tokens, bool qualified, Calendar calendar)
{
    if (tokens.size() == 1) {
        const QString &t = tokens.first();
        // A year and month alone ("1950-03") is not read as a date here.
        const std::optional<DateReader::NumericDate> numeric = DateReader::ReadNumeric(t, calendar);
        if (numeric && numeric->day > 0)
            return numeric->year;
        return yearToken(t, qualified ? 3 : 4);
    }

    // Written dates: [day] MONTH year, or MONTH day year.
    int month = 0;
    QString dayText;
    QString yearText;
    if (tokens.size() == 2) {
        month = monthOf(tokens[0]);
        yearText = tokens[1];
    } else if (tokens.size() == 3) {
        if ((month = monthOf(tokens[1])))
            dayText = tokens[0];
        else if ((month = monthOf(tokens[0])))
            dayText = tokens[1];
        yearText = tokens[2];
    }
    if (!month)
        return std::nullopt;
    const MaybeYear year = yearToken(yearText, 1);
    const MaybeYear day = dayText.isEmpty() ? MaybeYear(1) : dayNumber(dayText);
    if (!year || !day)
        return std::nullopt;
    return IsValidDate(*year, month, *day, calendar) ? year : std::nullopt;
}

// The tokens before the first one that `stop` accepts.
QStringList takeUntil(const QStringList &tokens, const std::function<bool(const QString &)> &stop)
{
    QStringList taken;
    for (const QString &token : tokens) {
        if (stop(token))
            break;
        taken.append(token);
    }
    return taken;
}

MaybeYear readYear(QString text)
{
    if (text.isEmpty())
        return std::nullopt;

    // A date phrase: the first year written in it, the later number of a dual year.
    if (text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')'))) {
        static const QRegularExpression kFourDigits(
            QStringLiteral("(?<![0-9])([0-9]{4})(?:/[0-9]{1,4}(?![0-9]))?(?![0-9])"));
        const QRegularExpressionMatch m = kFourDigits.match(text);
        if (!m.hasMatch())
            return std::nullopt;
        if (const MaybeYear dual = DateReader::DualYear(m.captured()))
            return dual;
        return MaybeYear(m.captured(1).toInt());
    }

    Calendar calendar = Calendar::Gregorian;
    if (text.startsWith(QLatin1String("@#D"), Qt::CaseInsensitive)) {
        const qsizetype end = text.indexOf(QLatin1Char('@'), 3);
        if (end < 0)
            return std::nullopt;
        const QString name = text.mid(3, end - 3).trimmed().toUpper();
        if (name == QLatin1String("JULIAN"))
            calendar = Calendar::Julian;
        else if (name != QLatin1String("GREGORIAN"))
            return std::nullopt;
        text = text.mid(end + 1);
    }

    static const QRegularExpression kSeparators(QStringLiteral("[\\s,]+"));
    QStringList tokens = text.split(kSeparators, Qt::SkipEmptyParts);
    if (tokens.isEmpty())
        return std::nullopt;
    QString head = tokens.first().toUpper();
    if (head.endsWith(QLatin1Char('.')))
        head.chop(1);
    const auto is = [](const char *word) {
        return [word](const QString &token) {
            return token.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
        };
    };

    static const QStringList kQualifiers = {QStringLiteral("ABT"), QStringLiteral("EST"),
                                            QStringLiteral("CAL"), QStringLiteral("BEF"),
                                            QStringLiteral("AFT"), QStringLiteral("TO")};
    if (kQualifiers.contains(head))
        return dateValue(tokens.mid(1), true, calendar);
    // A range that ends before it begins gives no year: no age is counted from it.
    if ((head == QLatin1String("FROM") || head == QLatin1String("BET")) &&
        Genealogy::GedcomDate::isReversed(Genealogy::GedcomDate::parse(text)))
        return std::nullopt;
    if (head == QLatin1String("FROM"))
        return dateValue(takeUntil(tokens.mid(1), is("TO")), true, calendar);
    if (head == QLatin1String("BET"))
        return dateValue(takeUntil(tokens.mid(1), is("AND")), true, calendar);
    if (head == QLatin1String("INT")) {
        const auto phrase = [](const QString &token) { return token.startsWith(QLatin1Char('(')); };
        return dateValue(takeUntil(tokens.mid(1), phrase), true, calendar);
    }
    return dateValue(tokens, false, calendar);
}

} // namespace

namespace LifeSpan {

std::optional<int> Year(const QString &date)
{
    if (const MaybeYear year = readYear(date.trimmed()))
        return year;
    if (date.size() == 4) {
        bool ok = false;
        const int value = date.trimmed().toInt(&ok);
        return ok ? std::optional<int>(value) : std::nullopt;
    }
    return std::nullopt;
}

int YearOf(const QString &date)
{
    return Year(date).value_or(0);
}

QString Text(const QString &bdate, const QString &ddate)
{
    if (bdate.isEmpty())
        return QString();
    if (ddate.isEmpty())
        return bdate;
    const QString span = bdate + QStringLiteral(" - ") + ddate;
    const std::optional<int> born = Year(bdate);
    const std::optional<int> died = Year(ddate);
    if (!born || !died)
        return span;
    return span + QStringLiteral(" (") + QString::number(*died - *born) + QLatin1Char(')');
}

QString YearsText(const QString &bdate, const QString &ddate)
{
    const std::optional<int> born = Year(bdate);
    const QString bornText = born ? QString::number(*born) : QString();
    if (ddate.trimmed().isEmpty())
        return bornText;
    // A death date that gives no year still tells that the person died.
    const std::optional<int> died = Year(ddate);
    const QString diedText = died ? QString::number(*died) : QStringLiteral("?");
    return (born ? bornText + QLatin1Char(' ') : QString()) + QStringLiteral("- ") + diedText;
}

QString NameText(const QString &fname, const QString &sname)
{
    return fname + QLatin1Char(' ') + sname;
}

} // namespace LifeSpan
