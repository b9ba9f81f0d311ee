#include "ModelWriter.h"

#include "DateMonths.h"
#include "DateText.h"
#include "GedcomDate.h"

#include <algorithm>
#include <span>

namespace Gedcom::Model {

using namespace Genealogy;

namespace {

// A date both versions write alike: upper-case words of Latin letters, digits and single
// blanks, without calendar, epoch, dual year or phrase.
bool isPlainDate(QByteArrayView date)
{
    if (date.isEmpty())
        return false;
    for (qsizetype i = 0; i < date.size(); ++i) {
        const char c = date[i];
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        (c == ' ' && i > 0 && date[i - 1] != ' ');
        if (!ok)
            return false;
    }
    // None of the words anywhere in it (looked for in one pass: each starts with its own letter).
    for (qsizetype i = 0; i < date.size(); ++i) {
        QByteArrayView word;
        switch (date[i]) {
        case 'G':
            word = "GREGORIAN";
            break;
        case 'J':
            word = "JULIAN";
            break;
        case 'H':
            word = "HEBREW";
            break;
        case 'F':
            word = "FRENCH";
            break;
        case 'B':
            word = "BCE";
            break;
        case 'I':
            word = "INT ";
            break;
        default:
            continue;
        }
        if (date.sliced(i).startsWith(word))
            return false;
    }
    return !date.endsWith(' ');
}

// A date of the grammar's words that the grammar does not take as a date, such as a day and
// month with no year ("10 JAN"): written as it stands, as an event's date is, rather than as a
// phrase. Text of other words stays a phrase.
bool isDateWords(const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    if (!isPlainDate(utf8))
        return false;
    bool month = false;
    for (const QByteArray &word : utf8.split(' ')) {
        bool known =
            std::all_of(word.cbegin(), word.cend(), [](char c) { return c >= '0' && c <= '9'; });
        for (const std::span<const char *const> months :
             {std::span<const char *const>(DateMonths::kGregorianMonths),
              std::span<const char *const>(DateMonths::kFrenchMonths),
              std::span<const char *const>(DateMonths::kHebrewMonths)}) {
            for (const char *name : months) {
                if (word == name)
                    known = month = true;
            }
        }
        for (const char *keyword : {"ABT", "CAL", "EST", "BEF", "AFT", "BET", "AND", "FROM", "TO"})
            known = known || word == keyword;
        if (!known)
            return false;
    }
    return month;
}

// A row date that reading and writing it as a date gives back unchanged in either version:
// "[ABT |CAL |EST |BEF |AFT ][[DAY ]MONTH ]YEAR" in upper case with single blanks, a Gregorian
// month, a day of 1 to 36 and a year of up to nine digits, neither with a leading zero (the
// year 0 alone). Most dates of a tree are such; they are copied into `out` as they stand (the
// length, or 0 for any other text).
constexpr qsizetype kPlainRowDate = 24;

qsizetype plainRowDate(QStringView text, char (&out)[kPlainRowDate])
{
    const qsizetype size = text.size();
    if (size == 0 || size > kPlainRowDate)
        return 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u' '))
            return 0;
        out[i] = char(c);
    }
    const QByteArrayView all(out, size);
    qsizetype at = 0;
    // The next word, or an empty view at the end (a blank at the end or two in a row: none).
    auto word = [&]() -> QByteArrayView {
        const qsizetype start = at;
        while (at < size && out[at] != ' ')
            ++at;
        const QByteArrayView w = all.sliced(start, at - start);
        if (at < size) {
            ++at;
            if (at == size)
                return {};
        }
        return w;
    };
    auto number = [](QByteArrayView w, qsizetype most) {
        if (w.isEmpty() || w.size() > most || (w[0] == '0' && w.size() > 1))
            return false;
        return std::all_of(w.begin(), w.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    // Months and qualifiers are words of three letters.
    auto threeLetters = [](QByteArrayView w, const char *word) {
        return w.size() == 3 && w[0] == word[0] && w[1] == word[1] && w[2] == word[2];
    };
    auto month = [&](QByteArrayView w) {
        return w.size() == 3 &&
               std::any_of(std::begin(DateMonths::kGregorianMonths),
                           std::end(DateMonths::kGregorianMonths),
                           [&](const char *name) { return threeLetters(w, name); });
    };
    QByteArrayView w = word();
    for (const char *qualifier : {"ABT", "CAL", "EST", "BEF", "AFT"}) {
        if (threeLetters(w, qualifier)) {
            w = word();
            break;
        }
    }
    if (number(w, 2) && at < size) {
        const int day = w.size() == 1 ? w[0] - '0' : (w[0] - '0') * 10 + (w[1] - '0');
        w = word();
        if (day < 1 || day > 36 || !month(w))
            return 0;
        w = word();
    } else if (month(w)) {
        w = word();
    }
    return number(w, 9) && at == size ? size : 0;
}

DateSyntax syntaxOf(Version version)
{
    return version == Version::Gedcom70 ? DateSyntax::Gedcom70 : DateSyntax::Gedcom551;
}

} // namespace

void ModelWriter::privacy(quint8 bits)
{
    if (bits)
        m_w.leafPlain("RESN", Vocabulary::privacyWords(bits, v7()));
}

void ModelWriter::event(quint32 index)
{
    const Event &ev = m_model.events[index];
    m_w.openText(EventTypes::tag(ev.type), m_model.utf8(ev.value), Ref(Kind::Event, index));
    eventBody(&ev, ev.detail == kNoIndex ? nullptr : &m_model.eventDetails[ev.detail], index);
    m_w.close();
}

// The row's birth or death: its date and place from the row, the rest from the record (if any).
void ModelWriter::rowEvent(EventTypes::Id type, const QString &date, const QString &placeName,
                           quint32 record)
{
    const Event *ev = record == kNoIndex ? nullptr : &m_model.events[record];
    m_w.openText(EventTypes::tag(type), ev ? m_model.utf8(ev->value) : QByteArrayView(),
                 ev ? Ref(Kind::Event, record) : Ref());
    const EventDetail *detail =
        ev && ev->detail != kNoIndex ? &m_model.eventDetails[ev->detail] : nullptr;
    if (detail && !detail->type.isEmpty())
        m_w.leafText("TYPE", m_model.utf8(detail->type));
    rowDate(date);
    if (!placeName.isEmpty()) {
        const QByteArray name = placeName.toUtf8();
        place(m_model.findPlace(name), name);
    }
    if (ev) {
        Event rest = *ev;
        rest.date = {};
        rest.place = kNoIndex;
        EventDetail restDetail = detail ? *detail : EventDetail();
        restDetail.type = {};
        eventBody(&rest, detail ? &restDetail : nullptr, record);
        m_w.close();
        return;
    }
    m_w.close();
}

// The residence whose address the row holds.
void ModelWriter::rowResidence(int r, quint32 record)
{
    const PersonRecord &row = m_rows[r];
    const Event *ev = record == kNoIndex ? nullptr : &m_model.events[record];
    m_w.openText("RESI", ev ? m_model.utf8(ev->value) : QByteArrayView(),
                 ev ? Ref(Kind::Event, record) : Ref());
    const EventDetail *detail =
        ev && ev->detail != kNoIndex ? &m_model.eventDetails[ev->detail] : nullptr;
    Address parts;
    if (detail && detail->address != kNoIndex)
        parts = m_model.addresses[detail->address];
    if (detail && !detail->type.isEmpty())
        m_w.leafText("TYPE", m_model.utf8(detail->type));
    if (ev && (!ev->date.isEmpty() || (detail && !detail->datePhrase.isEmpty())))
        modelDate("DATE", ev->date, detail ? detail->datePhrase : Text());
    if (ev && ev->place != kNoIndex)
        place(ev->place, m_model.utf8(m_model.places[ev->place].name));
    address(parts, &row.Laddress, &row.Lcity, &row.Lcountry);
    if (ev) {
        Event rest = *ev;
        rest.date = {};
        rest.place = kNoIndex;
        EventDetail restDetail = detail ? *detail : EventDetail();
        restDetail.type = {};
        restDetail.datePhrase = {};
        restDetail.address = kNoIndex;
        eventBody(&rest, detail ? &restDetail : nullptr, record);
    }
    m_w.close();
}

// Everything under an event line, in the order of GEDCOM's event detail.
void ModelWriter::eventBody(const Event *ev, const EventDetail *d, quint32 index)
{
    if (d && !d->type.isEmpty())
        m_w.leafText("TYPE", m_model.utf8(d->type));
    if (ev && (!ev->date.isEmpty() || (d && !d->datePhrase.isEmpty())))
        modelDate("DATE", ev->date, d ? d->datePhrase : Text());
    if (ev && ev->place != kNoIndex)
        place(ev->place, m_model.utf8(m_model.places[ev->place].name));
    if (d && d->address != kNoIndex)
        address(m_model.addresses[d->address], nullptr, nullptr, nullptr);
    if (d && !d->age.isEmpty()) {
        m_w.openText("AGE", m_model.utf8(d->age));
        if (!d->agePhrase.isEmpty())
            m_w.leafText("PHRASE", m_model.utf8(d->agePhrase));
        m_w.close();
    } else if (d && !d->agePhrase.isEmpty()) {
        m_w.open("AGE");
        m_w.leafText("PHRASE", m_model.utf8(d->agePhrase));
        m_w.close();
    }
    if (d && !d->agency.isEmpty())
        m_w.leafText("AGNC", m_model.utf8(d->agency));
    if (d && !d->religion.isEmpty())
        m_w.leafText("RELI", m_model.utf8(d->religion));
    if (d && !d->cause.isEmpty())
        m_w.leafText("CAUS", m_model.utf8(d->cause));
    if (ev) {
        privacy(ev->privacy);
        // The record's own lines (a row's birth without a record has none).
        if (index != kNoIndex) {
            const Ref self(Kind::Event, index);
            noteLinks(self);
            citations(self);
            mediaLinks(self);
        }
    }
}

void ModelWriter::place(quint32 index, QByteArrayView name)
{
    m_w.openText("PLAC", name);
    if (index != kNoIndex) {
        const Place &p = m_model.places[index];
        if (!p.form.isEmpty() && p.form != m_model.defaultPlaceForm &&
            m_model.utf8(p.form) != m_model.utf8(m_model.defaultPlaceForm))
            m_w.leafText("FORM", m_model.utf8(p.form));
        if (!p.latitude.isEmpty() && !p.longitude.isEmpty()) {
            m_w.open("MAP");
            m_w.leafText("LATI", m_model.utf8(p.latitude));
            m_w.leafText("LONG", m_model.utf8(p.longitude));
            m_w.close();
        }
    }
    m_w.close();
}

void ModelWriter::address(const Address &a, const QString *rowLine, const QString *rowCity,
                          const QString *rowCountry)
{
    const QString line = rowLine ? *rowLine : text(a.line);
    const QString city = rowCity ? *rowCity : text(a.city);
    const QString country = rowCountry ? *rowCountry : text(a.country);
    if (!a.present && line.isEmpty() && city.isEmpty() && country.isEmpty() && a.isEmpty())
        return;
    m_w.open("ADDR", line);
    if (!a.line1.isEmpty())
        m_w.leafText("ADR1", m_model.utf8(a.line1));
    if (!a.line2.isEmpty())
        m_w.leafText("ADR2", m_model.utf8(a.line2));
    if (!a.line3.isEmpty())
        m_w.leafText("ADR3", m_model.utf8(a.line3));
    if (!city.isEmpty())
        m_w.leaf("CITY", city);
    if (!a.state.isEmpty())
        m_w.leafText("STAE", m_model.utf8(a.state));
    if (!a.postalCode.isEmpty())
        m_w.leafText("POST", m_model.utf8(a.postalCode));
    if (!country.isEmpty())
        m_w.leaf("CTRY", country);
    m_w.close();
}

// A date of the model: as normalised on import, in this version's syntax; text that is no date
// as it stands.
void ModelWriter::modelDate(QByteArrayView tag, Text date, Text phraseText)
{
    if (phraseText.isEmpty() && isPlainDate(m_model.utf8(date))) {
        m_w.leafPlain(tag, m_model.utf8(date));
        return;
    }
    const QString value = text(date);
    const QString phrase = text(phraseText);
    QString written, writtenPhrase;
    if (value.isEmpty()) {
        if (phrase.isEmpty())
            return;
        if (v7())
            writtenPhrase = phrase;
        else
            written = QLatin1Char('(') + phrase + QLatin1Char(')');
    } else {
        DateValue parsed = GedcomDate::parse(value);
        if (parsed.kind == DateKind::Unparsed) {
            written = value;
            if (!phrase.isEmpty()) {
                if (v7())
                    writtenPhrase = phrase;
                else
                    written += QStringLiteral(" (") + phrase + QLatin1Char(')');
            }
        } else {
            if (!phrase.isEmpty() && parsed.phrase.isEmpty())
                parsed.phrase = phrase;
            const GedcomDate::Written w = GedcomDate::write(parsed, syntaxOf(m_options.version));
            if (w.ok) {
                written = w.value;
                writtenPhrase = w.phrase;
            } else if (v7()) {
                writtenPhrase = phrase.isEmpty()
                                    ? value
                                    : value + QStringLiteral(" (") + phrase + QLatin1Char(')');
            } else {
                written = QLatin1Char('(') + value +
                          (phrase.isEmpty() ? QString()
                                            : QStringLiteral(" (") + phrase + QLatin1Char(')')) +
                          QLatin1Char(')');
            }
        }
    }
    m_w.open(tag, written);
    if (!writtenPhrase.isEmpty())
        m_w.leaf("PHRASE", writtenPhrase);
    m_w.close();
}

// A row's date text: a date of either version in this one's syntax, a numeric date converted,
// any other text as a phrase.
void ModelWriter::rowDate(const QString &value)
{
    if (value.isEmpty())
        return;
    char plain[kPlainRowDate];
    if (const qsizetype size = plainRowDate(value, plain)) {
        m_w.leafPlain("DATE", QByteArrayView(plain, size));
        return;
    }
    auto known = m_rowDates.constFind(value);
    if (known == m_rowDates.cend()) {
        if (m_rowDates.size() >= kDatesKept)
            m_rowDates.clear();
        known = m_rowDates.insert(value, rowDateLine(value));
    }
    m_w.open("DATE", known->first);
    if (!known->second.isEmpty())
        m_w.leaf("PHRASE", known->second);
    m_w.close();
}

std::pair<QString, QString> ModelWriter::rowDateLine(const QString &value) const
{
    QString written, phrase;
    const DateValue parsed = GedcomDate::parse(value);
    GedcomDate::Written w;
    if (parsed.kind != DateKind::Unparsed)
        w = GedcomDate::write(parsed, syntaxOf(m_options.version));
    if (w.ok) {
        written = w.value;
        phrase = w.phrase;
    } else if (const QString numeric = DateText::fromNumeric(value); !numeric.isEmpty()) {
        written = numeric;
    } else if (isDateWords(value)) {
        written = value;
    } else if (v7()) {
        phrase = value;
    } else {
        written = QLatin1Char('(') + value + QLatin1Char(')');
    }
    return {written, phrase};
}

void ModelWriter::citations(Ref owner)
{
    for (quint32 c : m_model.citationsOf(owner)) {
        const Citation &cit = m_model.citations[c];
        const Ref self(Kind::Citation, c);
        if (cit.source != kNoIndex)
            m_w.openPointer("SOUR", Id('S', quint64(cit.source) + 1), self);
        else
            m_w.openPointer("SOUR", "@VOID@", self);
        if (!cit.page.isEmpty())
            m_w.leafText("PAGE", m_model.utf8(cit.page));
        if (!cit.date.isEmpty() || !cit.text.isEmpty()) {
            m_w.open("DATA");
            if (!cit.date.isEmpty())
                modelDate("DATE", cit.date, Text());
            if (!cit.text.isEmpty())
                m_w.leafText("TEXT", m_model.utf8(cit.text));
            m_w.close();
        }
        if (cit.quality != Citation::kNoQuality) {
            char digits[3];
            int n = 0;
            if (cit.quality >= 100)
                digits[n++] = char('0' + cit.quality / 100);
            if (cit.quality >= 10)
                digits[n++] = char('0' + cit.quality / 10 % 10);
            digits[n++] = char('0' + cit.quality % 10);
            m_w.leafPlain("QUAY", QByteArrayView(digits, n));
        }
        mediaLinks(self);
        noteLinks(self);
        m_w.close();
    }
}

void ModelWriter::noteLinks(Ref owner)
{
    for (quint32 l : m_model.noteLinksOf(owner)) {
        const quint32 n = m_model.noteLinks[l].note;
        if (m_noteNumber[n]) {
            m_w.leafPointer(v7() ? "SNOTE" : "NOTE", Id('N', m_noteNumber[n]));
            continue;
        }
        m_w.openText("NOTE", m_model.utf8(m_model.notes[n].text), Ref(Kind::Note, n));
        m_w.close();
    }
}

void ModelWriter::mediaLinks(Ref owner)
{
    for (quint32 l : m_model.mediaLinksOf(owner)) {
        const quint32 m = m_model.mediaLinks[l].media;
        if (m_mediaNumber[m]) {
            m_w.leafPointer("OBJE", Id('O', m_mediaNumber[m]));
            continue;
        }
        // An inline object of a 5.5.1 file, written inline again.
        const Media &media = m_model.media[m];
        m_w.open("OBJE", QString(), Ref(Kind::Media, m));
        m_w.openText("FILE", m_model.utf8(media.file));
        if (!media.format.isEmpty())
            m_w.leafText("FORM", m_model.utf8(media.format));
        m_w.close();
        if (!media.title.isEmpty())
            m_w.leafText("TITL", m_model.utf8(media.title));
        m_w.close();
    }
}

} // namespace Gedcom::Model
