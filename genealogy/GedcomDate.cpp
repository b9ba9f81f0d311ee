#include "GedcomDate.h"

#include "Calendars.h"
#include "DateMonths.h"

#include <QStringList>
#include <QVarLengthArray>

namespace Genealogy {

namespace {

using namespace DateMonths;

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool same(QStringView word, const char *keyword)
{
    return word.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

bool isDigits(QStringView w, int min, int max)
{
    if (w.size() < min || w.size() > max)
        return false;
    for (QChar c : w) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// An extension tag: an underscore and letters, digits or underscores.
bool isExtension(QStringView w)
{
    if (w.size() < 2 || w[0] != QLatin1Char('_'))
        return false;
    for (QChar c : w.mid(1)) {
        if (!(c.isDigit() || c == QLatin1Char('_') ||
              (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
              (c >= QLatin1Char('a') && c <= QLatin1Char('z'))))
            return false;
    }
    return true;
}

// A word that could be a standard tag: upper-case letters, digits, underscores, a letter first.
bool isTagWord(QStringView w)
{
    if (w.isEmpty() || !(w[0] >= QLatin1Char('A') && w[0] <= QLatin1Char('Z')))
        return false;
    for (QChar c : w) {
        if (!(c.isDigit() || c == QLatin1Char('_') ||
              (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))))
            return false;
    }
    return true;
}

bool isWord(QStringView w)
{
    if (w.isEmpty())
        return false;
    for (QChar c : w) {
        if (!c.isLetter())
            return false;
    }
    return true;
}

int monthIndex(QStringView w, DateCalendar calendar)
{
    auto find = [&](const char *const *list, int count) {
        for (int i = 0; i < count; ++i) {
            if (same(w, list[i]))
                return i + 1;
        }
        return 0;
    };
    switch (calendar) {
    case DateCalendar::Gregorian:
    case DateCalendar::Julian:
        return find(kGregorianMonths, 12);
    case DateCalendar::French:
        return find(kFrenchMonths, 13);
    case DateCalendar::Hebrew:
        return find(kHebrewMonths, 13);
    default:
        return 0;
    }
}

using Words = QVarLengthArray<QStringView, 16>;

Words split(QStringView text)
{
    Words words;
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        const qsizetype start = i;
        while (i < text.size() && !isBlank(text[i]))
            ++i;
        if (i > start)
            words.append(text.mid(start, i - start));
    }
    return words;
}

// Reads dates and keywords from the words of a value.
class Reader
{
public:
    explicit Reader(const Words &words) : m_words(words) {}

    bool atEnd() const { return m_pos >= m_words.size(); }
    bool take(const char *keyword)
    {
        if (atEnd() || !same(m_words[m_pos], keyword))
            return false;
        ++m_pos;
        return true;
    }

    // [calendar] [[day] month] year [epoch]
    bool date(DatePart &part)
    {
        calendar(part);
        if (atEnd())
            return false;
        if (isDigits(peek(), 1, 2) && m_pos + 1 < m_words.size() &&
            month(m_words[m_pos + 1], part, false)) {
            part.day = peek().toInt();
            if (part.day < 1 || part.day > 36)
                return false;
            ++m_pos;
            month(peek(), part, true);
            ++m_pos;
        } else if (month(peek(), part, true)) {
            ++m_pos;
        }
        if (!year(part))
            return false;
        epoch(part);
        part.valid = true;
        return true;
    }

private:
    QStringView peek() const { return atEnd() ? QStringView() : m_words[m_pos]; }

    void calendar(DatePart &part)
    {
        const QStringView w = peek();
        auto named = [&](DateCalendar calendar, int words = 1) {
            part.calendar = calendar;
            part.calendarNamed = true;
            m_pos += words;
        };
        if (w.startsWith(QLatin1String("@#D"), Qt::CaseInsensitive)) {
            if (same(w, "@#DGREGORIAN@"))
                named(DateCalendar::Gregorian);
            else if (same(w, "@#DJULIAN@"))
                named(DateCalendar::Julian);
            else if (same(w, "@#DHEBREW@"))
                named(DateCalendar::Hebrew);
            else if (same(w, "@#DFRENCH") && m_pos + 1 < m_words.size() &&
                     same(m_words[m_pos + 1], "R@"))
                named(DateCalendar::French, 2);
            else if (same(w, "@#DROMAN@"))
                named(DateCalendar::Roman);
            else if (same(w, "@#DUNKNOWN@"))
                named(DateCalendar::Unknown);
            return;
        }
        if (same(w, "GREGORIAN"))
            named(DateCalendar::Gregorian);
        else if (same(w, "JULIAN"))
            named(DateCalendar::Julian);
        else if (same(w, "HEBREW"))
            named(DateCalendar::Hebrew);
        else if (same(w, "FRENCH_R"))
            named(DateCalendar::French);
        else if (isExtension(w)) {
            part.calendarName = w.toString().toUpper();
            named(DateCalendar::Extension);
        }
    }

    // Whether the word is a month of the part's calendar; `keep` stores it. 7.0 allows an
    // extension month in any calendar, and any month word in an extension calendar.
    bool month(QStringView w, DatePart &part, bool keep)
    {
        switch (part.calendar) {
        case DateCalendar::Extension:
            if (!isExtension(w) && !isTagWord(w))
                return false;
            if (keep)
                part.monthName = w.toString().toUpper();
            return true;
        case DateCalendar::Roman:
        case DateCalendar::Unknown:
            if (!isWord(w))
                return false;
            if (keep)
                part.monthName = w.toString().toUpper();
            return true;
        default: {
            const int m = monthIndex(w, part.calendar);
            if (m && keep)
                part.month = m;
            if (!m && isExtension(w)) {
                if (keep)
                    part.monthName = w.toString().toUpper();
                return true;
            }
            return m != 0;
        }
        }
    }

    bool year(DatePart &part)
    {
        const QStringView w = peek();
        const qsizetype slash = w.indexOf(QLatin1Char('/'));
        if (slash > 0) {
            if (part.calendar != DateCalendar::Gregorian && part.calendar != DateCalendar::Julian)
                return false;
            const QStringView dual = w.mid(slash + 1);
            if (!isDigits(w.left(slash), 1, 9) || !isDigits(dual, 1, slash))
                return false;
            part.year = w.left(slash).toLongLong();
            part.dualYear = dual.toString();
            ++m_pos;
            return true;
        }
        if (!isDigits(w, 1, 9))
            return false;
        part.year = w.toLongLong();
        ++m_pos;
        return true;
    }

    void epoch(DatePart &part)
    {
        if (take("B.C.") || take("BCE") || take("BC")) {
            part.bce = true;
        } else if (part.calendar != DateCalendar::Roman && part.calendar != DateCalendar::Unknown &&
                   isExtension(peek())) {
            part.epochName = peek().toString().toUpper();
            ++m_pos;
        }
    }

    const Words &m_words;
    qsizetype m_pos = 0;
};

// The value without a trailing phrase in parentheses, and that phrase.
void splitPhrase(QStringView text, QStringView &date, QStringView &phrase, bool &hasPhrase)
{
    date = text;
    hasPhrase = false;
    if (!text.endsWith(QLatin1Char(')')))
        return;
    const qsizetype open = text.indexOf(QLatin1Char('('));
    if (open <= 0)
        return;
    date = text.left(open).trimmed();
    phrase = text.mid(open + 1, text.size() - open - 2);
    hasPhrase = true;
}

bool readDates(const Words &words, DateValue &v)
{
    Reader r(words);
    if (r.take("INT")) {
        v.interpreted = true;
        v.kind = DateKind::Exact;
        if (!r.date(v.first))
            return false;
    } else if (r.take("FROM")) {
        if (!r.date(v.first))
            return false;
        v.kind = DateKind::From;
        if (r.take("TO")) {
            if (!r.date(v.second))
                return false;
            v.kind = DateKind::FromTo;
        }
    } else if (r.take("TO")) {
        v.kind = DateKind::To;
        if (!r.date(v.first))
            return false;
    } else if (r.take("BET")) {
        v.kind = DateKind::Between;
        if (!r.date(v.first) || !r.take("AND") || !r.date(v.second))
            return false;
    } else {
        static const struct
        {
            const char *word;
            DateKind kind;
        } kQualifiers[] = {{"BEF", DateKind::Before},
                           {"AFT", DateKind::After},
                           {"ABT", DateKind::About},
                           {"CAL", DateKind::Calculated},
                           {"EST", DateKind::Estimated}};
        v.kind = DateKind::Exact;
        for (const auto &q : kQualifiers) {
            if (r.take(q.word)) {
                v.kind = q.kind;
                break;
            }
        }
        if (!r.date(v.first))
            return false;
    }
    return r.atEnd();
}

int calendarNumber(DateCalendar c)
{
    switch (c) {
    case DateCalendar::Julian:
        return Calendars::Julian;
    case DateCalendar::French:
        return Calendars::French;
    case DateCalendar::Hebrew:
        return Calendars::Hebrew;
    default:
        return Calendars::Gregorian;
    }
}

// The first and last day of one date; false when its calendar cannot be counted.
bool span(const DatePart &part, qint64 &first, qint64 &last)
{
    if (!part.valid)
        return false;
    if (part.calendar != DateCalendar::Gregorian && part.calendar != DateCalendar::Julian &&
        part.calendar != DateCalendar::French && part.calendar != DateCalendar::Hebrew)
        return false;
    if (!part.epochName.isEmpty())
        return false;
    const int cal = calendarNumber(part.calendar);
    const qint64 year = part.reckonedYear();
    // Far beyond any genealogy the numbers would leave 32 bits: no range then.
    if (year < -4000000 || year > 4000000)
        return false;
    // Hebrew and French years are counted from their own epochs and have no year 0.
    if (cal == Calendars::Hebrew || cal == Calendars::French) {
        if (part.bce)
            return false;
    }
    const int months = Calendars::monthsInYear(cal);
    const int firstMonth = part.month ? part.month : 1;
    int lastMonth = part.month ? part.month : months;
    while (lastMonth > 1 && Calendars::daysInMonth(cal, year, lastMonth) == 0)
        --lastMonth;
    if (Calendars::daysInMonth(cal, year, firstMonth) == 0)
        return false;
    const int lastDays = Calendars::daysInMonth(cal, year, lastMonth);
    first = Calendars::dayNumber(cal, year, firstMonth, part.day ? part.day : 1);
    last =
        Calendars::dayNumber(cal, year, lastMonth, part.day ? qMin(part.day, lastDays) : lastDays);
    if (part.day)
        last = first;
    return true;
}

} // namespace

qint64 DatePart::reckonedYear() const
{
    qint64 y = year;
    if (!dualYear.isEmpty()) {
        const qint64 dual = dualYear.toLongLong();
        if (dualYear.size() >= QString::number(year).size()) {
            y = dual;
        } else {
            qint64 scale = 1;
            for (qsizetype i = 0; i < dualYear.size(); ++i)
                scale *= 10;
            y = year - year % scale + dual;
            if (y < year)
                y += scale;
        }
    }
    return bce ? 1 - y : y;
}

namespace GedcomDate {

DateValue parse(QStringView text)
{
    DateValue v;
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return v;
    if (t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) {
        v.kind = DateKind::Phrase;
        v.phrase = t.mid(1, t.size() - 2).toString();
        return v;
    }
    QStringView datePart, phrase;
    bool hasPhrase = false;
    splitPhrase(t, datePart, phrase, hasPhrase);
    if (!readDates(split(datePart), v)) {
        DateValue unparsed;
        unparsed.kind = DateKind::Unparsed;
        return unparsed;
    }
    if (hasPhrase)
        v.phrase = phrase.toString();
    return v;
}

DateRange range(const DateValue &value)
{
    DateRange r;
    if (!value.isDate())
        return r;
    qint64 first = 0, last = 0;
    if (!span(value.first, first, last))
        return r;
    if (value.kind == DateKind::Between || value.kind == DateKind::FromTo) {
        qint64 first2 = 0, last2 = 0;
        // A range that ends before it begins says no days at all.
        if (!span(value.second, first2, last2) || last2 < first)
            return r;
        first = qMin(first, first2);
        last = qMax(last, last2);
    }
    constexpr qint64 kLow = std::numeric_limits<qint32>::min() + 1;
    constexpr qint64 kHigh = std::numeric_limits<qint32>::max();
    if (first < kLow || last > kHigh)
        return r;
    r.from = qint32(first);
    r.to = qint32(last);
    return r;
}

bool isReversed(const DateValue &value)
{
    if (value.kind != DateKind::Between && value.kind != DateKind::FromTo)
        return false;
    qint64 first = 0, last = 0, first2 = 0, last2 = 0;
    return span(value.first, first, last) && span(value.second, first2, last2) && last2 < first;
}

DateValue parse(QStringView text, QString &normalizedText)
{
    const QStringView t = text.trimmed();
    const DateValue v = parse(t);
    if (!v.isDate()) {
        normalizedText = t.toString();
        return v;
    }
    QStringView datePart, phrase;
    bool hasPhrase = false;
    splitPhrase(t, datePart, phrase, hasPhrase);
    // Most values are written as the model keeps them: single blanks, upper case.
    bool plain = true;
    for (qsizetype i = 0; i < datePart.size() && plain; ++i) {
        const QChar c = datePart[i];
        plain = !(c >= QLatin1Char('a') && c <= QLatin1Char('z')) && c != QLatin1Char('\t') &&
                !(c == QLatin1Char(' ') && i > 0 && datePart[i - 1] == QLatin1Char(' '));
    }
    if (plain) {
        normalizedText = t.toString();
        return v;
    }
    QString out;
    out.reserve(t.size());
    for (QStringView word : split(datePart)) {
        if (!out.isEmpty())
            out += QLatin1Char(' ');
        out += word.toString().toUpper();
    }
    if (hasPhrase) {
        out += QStringLiteral(" (");
        out += phrase;
        out += QLatin1Char(')');
    }
    normalizedText = out;
    return v;
}

QString normalized(QStringView text)
{
    // A text already in the model's form (no lower case, no tab, single blanks) stays as it is,
    // whether it reads as a date or not: nothing to parse.
    const QStringView t = text.trimmed();
    bool plain = true;
    for (qsizetype i = 0; i < t.size() && plain; ++i) {
        const QChar c = t[i];
        plain = !(c >= QLatin1Char('a') && c <= QLatin1Char('z')) && c != QLatin1Char('\t') &&
                !(c == QLatin1Char(' ') && i > 0 && t[i - 1] == QLatin1Char(' '));
    }
    if (plain)
        return t.toString();
    QString out;
    parse(text, out);
    return out;
}

QString rowText(QStringView value, QStringView phrase)
{
    const QStringView v = value.trimmed();
    if (!phrase.isEmpty()) {
        if (v.isEmpty())
            return phrase.toString();
        return normalized(v) + QStringLiteral(" (") + phrase.toString() + QLatin1Char(')');
    }
    if (v.size() >= 2 && v.startsWith(QLatin1Char('(')) && v.endsWith(QLatin1Char(')')))
        return v.mid(1, v.size() - 2).toString();
    return normalized(v);
}

} // namespace GedcomDate

} // namespace Genealogy
