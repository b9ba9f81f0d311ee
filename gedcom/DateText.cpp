#include "DateText.h"

#include "DateReader.h"

#include <QList>
#include <QStringView>

namespace Gedcom::DateText {

namespace {

const char *const kGregorianMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
const char *const kFrenchMonths[] = {"VEND", "BRUM", "FRIM", "NIVO", "PLUV", "VENT", "GERM",
                                     "FLOR", "PRAI", "MESS", "THER", "FRUC", "COMP"};
const char *const kHebrewMonths[] = {"TSH", "CSH", "KSL", "TVT", "SHV", "ADR", "ADS",
                                     "NSN", "IYR", "SVN", "TMZ", "AAV", "ELL"};

enum class Calendar { Gregorian, Julian, French, Hebrew, Other };

// A recursive-descent reader of one date value over its words.
class DateGrammar
{
public:
    DateGrammar(QStringView text, Version version) : m_version(version)
    {
        m_cs = version == Version::Gedcom70 ? Qt::CaseSensitive : Qt::CaseInsensitive;
        for (QStringView word : text.split(QLatin1Char(' ')))
            m_words.append(word);
    }

    bool dateValue()
    {
        if (m_words.isEmpty() || m_words.contains(QStringView()))
            return false; // empty, or blanks that are not single delimiters
        if (take("FROM")) {
            if (!date())
                return false;
            if (take("TO") && !date())
                return false;
        } else if (take("TO") || take("BEF") || take("AFT") || take("ABT") || take("CAL") ||
                   take("EST")) {
            if (!date())
                return false;
        } else if (take("BET")) {
            if (!date() || !take("AND") || !date())
                return false;
        } else if (m_version == Version::Gedcom551 && take("INT")) {
            if (!date() || !interpretedPhrase())
                return false;
        } else if (!date()) {
            return false;
        }
        return m_pos == m_words.size();
    }

private:
    bool atEnd() const { return m_pos >= m_words.size(); }
    QStringView peek() const { return atEnd() ? QStringView() : m_words[m_pos]; }
    bool take(const char *word)
    {
        if (atEnd() || peek().compare(QLatin1String(word), m_cs) != 0)
            return false;
        ++m_pos;
        return true;
    }
    static bool isDigits(QStringView w, int min, int max)
    {
        if (w.size() < min || w.size() > max)
            return false;
        for (QChar c : w) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        }
        return true;
    }
    bool isExtensionTag(QStringView w) const
    {
        if (w.size() < 2 || w[0] != QLatin1Char('_'))
            return false;
        for (QChar c : w.mid(1)) {
            if (!(c.isDigit() || c == QLatin1Char('_') ||
                  (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))))
                return false;
        }
        return true;
    }
    bool isMonth(QStringView w, Calendar calendar) const
    {
        auto inList = [&](const char *const *list, int count) {
            for (int i = 0; i < count; ++i) {
                if (w.compare(QLatin1String(list[i]), m_cs) == 0)
                    return true;
            }
            return false;
        };
        switch (calendar) {
        case Calendar::Gregorian:
        case Calendar::Julian:
            return inList(kGregorianMonths, 12);
        case Calendar::French:
            return inList(kFrenchMonths, 13);
        case Calendar::Hebrew:
            return inList(kHebrewMonths, 13);
        case Calendar::Other:
            return isExtensionTag(w);
        }
        return false;
    }

    Calendar calendar()
    {
        if (m_version == Version::Gedcom70) {
            if (take("GREGORIAN"))
                return Calendar::Gregorian;
            if (take("JULIAN"))
                return Calendar::Julian;
            if (take("FRENCH_R"))
                return Calendar::French;
            if (take("HEBREW"))
                return Calendar::Hebrew;
            if (isExtensionTag(peek())) {
                ++m_pos;
                return Calendar::Other;
            }
            return Calendar::Gregorian;
        }
        // 5.5.1 calendar escapes; "@#DFRENCH R@" is two words.
        if (take("@#DGREGORIAN@"))
            return Calendar::Gregorian;
        if (take("@#DJULIAN@"))
            return Calendar::Julian;
        if (take("@#DHEBREW@"))
            return Calendar::Hebrew;
        if (peek().compare(QLatin1String("@#DFRENCH"), m_cs) == 0 && m_pos + 1 < m_words.size() &&
            m_words[m_pos + 1].compare(QLatin1String("R@"), m_cs) == 0) {
            m_pos += 2;
            return Calendar::French;
        }
        if (take("@#DROMAN@") || take("@#DUNKNOWN@"))
            return Calendar::Other;
        return Calendar::Gregorian;
    }

    bool year(Calendar calendar)
    {
        QStringView w = peek();
        if (m_version == Version::Gedcom551 && calendar == Calendar::Gregorian) {
            // A dual year: 1699/00.
            const qsizetype slash = w.indexOf(QLatin1Char('/'));
            if (slash > 0) {
                if (!isDigits(w.left(slash), 1, 4) || !isDigits(w.mid(slash + 1), 2, 2))
                    return false;
                ++m_pos;
                return true;
            }
        }
        if (!isDigits(w, 1, m_version == Version::Gedcom70 ? 9 : 4))
            return false;
        ++m_pos;
        return true;
    }

    // An optional epoch after the year: BCE or an extension tag in 7.0, B.C. before.
    void epoch()
    {
        if (m_version == Version::Gedcom551) {
            take("B.C.");
        } else if (!take("BCE") && isExtensionTag(peek())) {
            ++m_pos;
        }
    }

    // [calendar] [[day] month] year [epoch]
    bool date()
    {
        if (atEnd())
            return false;
        const Calendar cal = calendar();
        if (cal == Calendar::Other && m_version == Version::Gedcom551)
            return false; // the Roman and unknown calendars have no grammar to check
        if (isDigits(peek(), 1, 2) && m_pos + 1 < m_words.size() &&
            isMonth(m_words[m_pos + 1], cal)) {
            const int day = peek().toInt();
            if (day < 1 || day > 36)
                return false;
            m_pos += 2;
        } else if (isMonth(peek(), cal)) {
            ++m_pos;
        }
        if (!year(cal))
            return false;
        epoch();
        return true;
    }

    // "(phrase)" after INT date: the rest of the words, in parentheses.
    bool interpretedPhrase()
    {
        if (atEnd() || !peek().startsWith(QLatin1Char('(')) ||
            !m_words.back().endsWith(QLatin1Char(')')))
            return false;
        m_pos = m_words.size();
        return true;
    }

    Version m_version;
    Qt::CaseSensitivity m_cs = Qt::CaseSensitive;
    QList<QStringView> m_words;
    qsizetype m_pos = 0;
};

QString gedcomForm(int day, int month, int year)
{
    const QString monthYear =
        QLatin1String(kGregorianMonths[month - 1]) + QLatin1Char(' ') + QString::number(year);
    return day > 0 ? QString::number(day) + QLatin1Char(' ') + monthYear : monthYear;
}

} // namespace

QString fromGedcom(const QString &written, const QString &phrase)
{
    // Older files pad dates (" 5 AUG 1901"); blanks around a date carry nothing. A row's own
    // blanks survive an export: they make the text a phrase, written in parentheses.
    const QString value = written.trimmed();
    if (!phrase.isEmpty()) {
        if (value.isEmpty())
            return phrase;
        return value + QStringLiteral(" (") + phrase + QLatin1Char(')');
    }
    if (value.size() >= 2 && value.startsWith(QLatin1Char('(')) && value.endsWith(QLatin1Char(')')))
        return value.mid(1, value.size() - 2);
    return value;
}

bool isGedcomDate(const QString &text, Version version)
{
    DateGrammar grammar(text, version);
    return grammar.dateValue();
}

QString fromNumeric(const QString &text)
{
    // A GEDCOM date names its day and month: a date that reads only month first is not
    // guessed, and a year last needs two or four digits.
    const std::optional<DateReader::NumericDate> date = DateReader::ReadNumeric(text);
    if (!date || date->monthFirst || (date->yearDigits != 2 && date->yearDigits != 4))
        return QString();
    return gedcomForm(date->day, date->month, date->year);
}

Written toGedcom(const QString &text, Version version)
{
    Written written;
    if (text.isEmpty())
        return written;
    if (isGedcomDate(text, version)) {
        written.value = text;
        written.isDate = true;
        return written;
    }
    // A date typed with extra blanks ("ABT    1850") is still that date, as the import reads it.
    if (const QString blanks = text.simplified(); blanks != text && isGedcomDate(blanks, version)) {
        written.value = blanks;
        written.isDate = true;
        return written;
    }
    const QString converted = fromNumeric(text);
    if (!converted.isEmpty()) {
        written.value = converted;
        written.isDate = true;
        return written;
    }
    if (version == Version::Gedcom70)
        written.phrase = text;
    else
        written.value = QLatin1Char('(') + text + QLatin1Char(')');
    return written;
}

} // namespace Gedcom::DateText
