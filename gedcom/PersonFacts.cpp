#include "PersonFacts.h"

#include "DateText.h"
#include "EventLabels.h"

namespace Gedcom {

namespace {

QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

void addPart(QStringList &parts, const QString &part)
{
    if (!part.trimmed().isEmpty())
        parts.append(part);
}

// The parts of a NAME value: given names before the first slash, the surname between the
// slashes, whatever follows the second one.
struct NameParts
{
    QString given, surname, suffix;
};

NameParts splitName(const QString &value)
{
    NameParts parts;
    const qsizetype first = value.indexOf(QLatin1Char('/'));
    if (first < 0) {
        parts.given = value.trimmed();
        return parts;
    }
    parts.given = value.left(first).trimmed();
    const qsizetype second = value.indexOf(QLatin1Char('/'), first + 1);
    if (second < 0) {
        parts.surname = value.mid(first + 1).trimmed();
        return parts;
    }
    parts.surname = value.mid(first + 1, second - first - 1).trimmed();
    parts.suffix = value.mid(second + 1).trimmed();
    return parts;
}

QString plainName(const QString &value)
{
    QString name = value;
    name.remove(QLatin1Char('/'));
    return name.simplified();
}

} // namespace

QString PersonFacts::Name::display() const
{
    if (given.isEmpty())
        return surname;
    if (surname.isEmpty())
        return given;
    return given + QLatin1Char(' ') + surname;
}

QString PersonFacts::childText(int node, Tag tag) const
{
    const int c = node >= 0 ? m_doc.child(node, tag) : -1;
    return c >= 0 ? m_doc.text(c) : QString();
}

PersonFacts::Name PersonFacts::name(int indi) const
{
    Name name;
    const int nameNode = m_doc.child(indi, Tag::NAME);
    if (nameNode < 0)
        return name;
    const NameParts parts = splitName(m_doc.text(nameNode));
    const int givn = m_doc.child(nameNode, Tag::GIVN);
    const int surn = m_doc.child(nameNode, Tag::SURN);
    name.given = givn >= 0 ? m_doc.text(givn) : parts.given;
    name.surname = surn >= 0 ? m_doc.text(surn) : parts.surname;
    return name;
}

PersonFacts::Event PersonFacts::event(int node) const
{
    Event event;
    if (node < 0)
        return event;
    if (const int date = m_doc.child(node, Tag::DATE); date >= 0)
        event.date = DateText::fromGedcom(m_doc.text(date), childText(date, Tag::PHRASE));
    event.place = childText(node, Tag::PLAC);
    if (event.place.isNull())
        event.place = QString();
    return event;
}

PersonFacts::Address PersonFacts::address(int indi) const
{
    Address result;
    int addr = -1;
    for (int c = m_doc.firstChild(indi); c >= 0; c = m_doc.nextSibling(indi, c)) {
        if (m_doc.is(c, Tag::ADDR)) {
            addr = c;
            result.source = c;
        } else if (m_doc.is(c, Tag::RESI)) {
            if (const int a = m_doc.child(c, Tag::ADDR); a >= 0) {
                addr = a;
                result.source = c;
            }
        }
    }
    if (addr < 0)
        return result;
    result.address = m_doc.text(addr);
    if (result.address.isEmpty()) {
        QStringList lines;
        for (Tag tag : {Tag::ADR1, Tag::ADR2, Tag::ADR3})
            addPart(lines, childText(addr, tag));
        result.address = lines.join(QLatin1Char('\n'));
    }
    result.city = childText(addr, Tag::CITY);
    result.country = childText(addr, Tag::CTRY);
    if (result.city.isNull())
        result.city = QString();
    if (result.country.isNull())
        result.country = QString();
    return result;
}

QString PersonFacts::noteText(int node) const
{
    if (m_doc.hasPointerValue(node)) {
        const int record = m_doc.findRecord(m_doc.pointer(node));
        if (record < 0)
            return QString(); // counted as a broken pointer
        const int target = int(m_doc.records()[size_t(record)].node);
        if (!m_doc.is(target, Tag::NOTE) && !m_doc.is(target, Tag::SNOTE))
            return QString();
        return m_doc.text(target);
    }
    return m_doc.text(node);
}

QStringList PersonFacts::notes(int node) const
{
    QStringList notes;
    for (int c = m_doc.firstChild(node); c >= 0; c = m_doc.nextSibling(node, c)) {
        if (m_doc.is(c, Tag::NOTE) || m_doc.is(c, Tag::SNOTE)) {
            const QString text = noteText(c);
            if (!text.isEmpty())
                notes.append(text);
        }
    }
    return notes;
}

// "value, date, place, address" of an event or attribute, leaving out what is empty and the "Y"
// that only says the event happened.
QString PersonFacts::details(int node, bool withAddress) const
{
    QString text;
    auto add = [&text](QString part, const QString &lineBreak) {
        if (part.trimmed().isEmpty())
            return;
        if (!text.isEmpty())
            text += QStringLiteral(", ");
        text += part.replace(QLatin1Char('\n'), lineBreak);
    };
    const QString space(QLatin1Char(' '));
    const QString value = m_doc.text(node);
    if (value != QLatin1String("Y"))
        add(value, space);
    const Event event = this->event(node);
    add(event.date, space);
    add(event.place, space);
    if (const int addr = withAddress ? m_doc.child(node, Tag::ADDR) : -1; addr >= 0) {
        add(m_doc.text(addr), QStringLiteral(", "));
        for (Tag tag :
             {Tag::ADR1, Tag::ADR2, Tag::ADR3, Tag::CITY, Tag::STAE, Tag::POST, Tag::CTRY})
            add(childText(addr, tag), space);
    }
    return text;
}

QString PersonFacts::eventLine(int node, const QString &label, const QString &withWhom,
                               bool withAddress) const
{
    QString word = label;
    if (m_doc.is(node, Tag::EVEN) || m_doc.is(node, Tag::FACT) || m_doc.is(node, Tag::IDNO)) {
        const QString type = childText(node, Tag::TYPE).trimmed();
        if (!type.isEmpty())
            word = type;
    }
    if (!withWhom.isEmpty())
        word += QStringLiteral(" with ") + withWhom;
    const QString text = details(node, withAddress);
    return text.isEmpty() ? word : word + QStringLiteral(": ") + text;
}

QStringList PersonFacts::nameLines(int indi) const
{
    QStringList lines;
    bool first = true;
    for (int c = m_doc.firstChild(indi); c >= 0; c = m_doc.nextSibling(indi, c)) {
        if (!m_doc.is(c, Tag::NAME))
            continue;
        if (!first) {
            const QString plain = plainName(m_doc.text(c));
            const QString type = childText(c, Tag::TYPE).trimmed();
            const QString word = type.isEmpty() ? QStringLiteral("Also known as")
                                                : QStringLiteral("Also known as (%1)").arg(type);
            if (!plain.isEmpty())
                lines.append(word + QStringLiteral(": ") + plain);
            continue;
        }
        first = false;
        int prefix = -1, nick = -1, suffix = -1, surname = -1;
        for (int piece = m_doc.firstChild(c); piece >= 0; piece = m_doc.nextSibling(c, piece)) {
            const quint16 tag = m_doc.node(piece).tag;
            if (tag == tagId(Tag::NPFX) && prefix < 0)
                prefix = piece;
            else if (tag == tagId(Tag::NICK) && nick < 0)
                nick = piece;
            else if (tag == tagId(Tag::NSFX) && suffix < 0)
                suffix = piece;
            else if (tag == tagId(Tag::SURN) && surname < 0)
                surname = piece;
        }
        auto line = [&](const char *word, const QString &text) {
            if (!text.trimmed().isEmpty())
                lines.append(QLatin1String(word) + oneLine(text.trimmed()));
        };
        if (prefix >= 0)
            line("Name prefix: ", m_doc.text(prefix));
        if (suffix >= 0) {
            line("Name suffix: ", m_doc.text(suffix));
        } else {
            // Text after the surname. With SURN given, the surname between the slashes may hold
            // slashes of its own. Most names end with the slash: nothing to read.
            const QByteArrayView raw = m_doc.rawValue(c);
            const qsizetype slash = raw.lastIndexOf('/');
            if (slash >= 0 && !raw.sliced(slash + 1).trimmed().isEmpty()) {
                const QString value = m_doc.text(c);
                const QString surn = surname >= 0 ? m_doc.text(surname) : QString();
                const QString slashed = QLatin1Char('/') + surn + QLatin1Char('/');
                const qsizetype at = surn.isEmpty() ? -1 : value.lastIndexOf(slashed);
                line("Name suffix: ",
                     at >= 0 ? value.mid(at + slashed.size()) : splitName(value).suffix);
            }
        }
        if (nick >= 0)
            line("Nickname: ", m_doc.text(nick));
    }
    return lines;
}

QStringList PersonFacts::personLines(int indi, int addressSource) const
{
    QStringList lines = nameLines(indi);
    bool birthSeen = false, deathSeen = false;
    for (int c = m_doc.firstChild(indi); c >= 0; c = m_doc.nextSibling(indi, c)) {
        const quint16 tag = m_doc.node(c).tag;
        if (tag == tagId(Tag::BIRT) && !birthSeen) {
            birthSeen = true;
            continue;
        }
        if (tag == tagId(Tag::DEAT) && !deathSeen) {
            deathSeen = true;
            continue;
        }
        const QString label = eventLabel(tag, false);
        if (label.isEmpty())
            continue;
        // The residence the address columns come from tells only its date and place here.
        const bool source = c == addressSource;
        if (source && details(c, false).isEmpty())
            continue;
        lines.append(eventLine(c, label, QString(), !source));
    }
    return lines;
}

QStringList PersonFacts::familyLines(int fam, const QString &withWhom) const
{
    QStringList lines;
    for (int c = m_doc.firstChild(fam); c >= 0; c = m_doc.nextSibling(fam, c)) {
        const QString label = eventLabel(m_doc.node(c).tag, true);
        if (!label.isEmpty())
            lines.append(eventLine(c, label, withWhom, true));
    }
    return lines;
}

} // namespace Gedcom
