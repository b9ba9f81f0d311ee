#include "RecordCodec.h"
#include "RecordFields.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

using namespace Genealogy;

namespace Store::Side {

using Fields::kNone32;
using Fields::visit;

// The last value of each enumeration a record holds.
constexpr Sex lastOf(Sex)
{
    return Sex::Intersex;
}
constexpr NameType lastOf(NameType)
{
    return NameType::Other;
}
constexpr DateKind lastOf(DateKind)
{
    return DateKind::Unparsed;
}
constexpr FamilyRelation lastOf(FamilyRelation)
{
    return FamilyRelation::CivilUnion;
}
constexpr ChildRelation lastOf(ChildRelation)
{
    return ChildRelation::Other;
}
constexpr AssociationKind lastOf(AssociationKind)
{
    return AssociationKind::Alias;
}
constexpr KeptLine::Value lastOf(KeptLine::Value)
{
    return KeptLine::Value::Pointer;
}

// Reads the fields of one record; a read past the end sets `ok` false.
class FieldReader
{
public:
    FieldReader(RecordDecoder &decoder, QByteArrayView data, Tab tab, qint64 number)
        : m_d(decoder), m_p(data.data()), m_end(data.data() + data.size()), m_tab(tab),
          m_number(number)
    {
    }
    bool ok = true;

    void u8(quint8 &v) { v = take(1) ? quint8(m_p[-1]) : 0; }
    void boolean(bool &v)
    {
        quint8 b = 0;
        u8(b);
        v = b != 0;
    }
    void u16(quint16 &v)
    {
        quint32 w = 0;
        u32(w);
        v = quint16(w);
    }
    void u32(quint32 &v) { v = take(4) ? qFromLittleEndian<quint32>(m_p - 4) : 0; }
    void i32(qint32 &v)
    {
        quint32 w = 0;
        u32(w);
        v = qint32(w);
    }
    // A value of one of the model's enumerations; a number past its last value is no record
    // (readers index tables of words by these values).
    template <class E> void e(E &v)
    {
        quint8 b = 0;
        u8(b);
        if (b > quint8(lastOf(E()))) {
            ok = false;
            b = 0;
        }
        v = E(b);
    }
    QByteArrayView bytes()
    {
        quint32 size = 0;
        u32(size);
        if (size == kNone32 || !take(size))
            return {};
        return QByteArrayView(m_p - size, size);
    }
    void text(Text &t)
    {
        const QByteArrayView v = bytes();
        t = v.isEmpty() ? Text() : m_d.m_model.text(v);
    }
    void person(quint32 &index)
    {
        quint32 size = 0;
        if (!peek(size))
            return;
        if (size == kNone32) {
            u32(size);
            index = kNoIndex;
            return;
        }
        const QByteArrayView key = bytes();
        // Records of a table come in stored order, where one person's follow each other: the
        // person of the record before is tried first.
        if (ok && m_d.m_lastIndex != kNoIndex && key == m_d.m_lastKey) {
            index = m_d.m_lastIndex;
            return;
        }
        // Looked up without a copy of the key (most records name a person).
        const auto found = m_d.m_persons.constFind(QByteArray::fromRawData(key.data(), key.size()));
        if (found != m_d.m_persons.cend()) {
            index = *found;
            m_d.m_lastKey = found.key();
            m_d.m_lastIndex = index;
            return;
        }
        index = kNoIndex;
        if (!ok)
            return;
        if (m_d.m_learn) {
            index = quint32(m_d.m_persons.size());
            m_d.m_persons.insert(key.toByteArray(), index);
            m_d.m_learned.push_back(key.toByteArray());
            return;
        }
        problem(QStringLiteral("names the person '%1', who is not in the tree")
                    .arg(QString::fromUtf8(key)));
    }
    void ref(Ref &r)
    {
        quint8 kind = 0;
        u8(kind);
        if (kind > quint8(Kind::Void)) {
            ok = false;
            return;
        }
        if (Kind(kind) == Kind::Person) {
            quint32 index = kNoIndex;
            person(index);
            r = index == kNoIndex ? Ref(Kind::Void, 0) : Ref(Kind::Person, index);
            return;
        }
        quint32 index = 0;
        u32(index);
        const Tab tab = tabOfKind(Kind(kind));
        if (tab == Tab::Count) {
            // No record, the header, a pointer to nothing: index 0 always (any other would
            // stand for a record that is not there).
            if (index != 0)
                ok = false;
            r = Ref(Kind(kind), 0);
            return;
        }
        if (m_d.m_links) {
            m_d.m_links->emplace_back(tab, index);
            r = Ref(Kind::Void, 0);
            return;
        }
        const quint32 mapped = m_d.indexOf(tab, index);
        if (mapped == kNoIndex) {
            brokenLink(QStringLiteral("names record %1 of table %2, which is not there")
                           .arg(index)
                           .arg(int(tab)));
            r = Ref(Kind::Void, 0);
            return;
        }
        r = Ref(Kind(kind), mapped);
    }
    void index(Tab tab, quint32 &v)
    {
        quint32 stored = 0;
        u32(stored);
        if (stored == kNone32 || stored == kNoIndex) {
            v = kNoIndex;
            return;
        }
        if (m_d.m_links) {
            m_d.m_links->emplace_back(tab, stored);
            v = kNoIndex;
            return;
        }
        v = m_d.indexOf(tab, stored);
        if (v == kNoIndex)
            brokenLink(QStringLiteral("names record %1 of table %2, which is not there")
                           .arg(stored)
                           .arg(int(tab)));
    }
    void eventType(EventTypes::Id &type, Ref owner)
    {
        const QByteArrayView tag = bytes();
        const bool family = owner.is(Kind::Family);
        // The few tags of a tree are looked up once each (the catalogue is searched in turn).
        quint64 key = 0;
        const bool cached = tag.size() <= 4;
        if (cached) {
            if (!tag.isEmpty()) // an empty view may have no data at all
                std::memcpy(&key, tag.data(), size_t(tag.size()));
            key |= quint64(tag.size()) << 32 | quint64(family) << 40;
            for (const auto &[k, id] : m_d.m_eventTypes) {
                if (k == key) {
                    type = id;
                    return;
                }
            }
        }
        type = EventTypes::find(tag, family);
        if (type == EventTypes::kNone && !tag.isEmpty())
            type = EventTypes::find(tag, !family);
        if (cached)
            m_d.m_eventTypes.emplace_back(key, type);
    }
    void keptTag(quint16 &tag) { tag = m_d.m_model.keptTag(bytes()); }
    void firstLine(quint32 &line, quint32 &count)
    {
        quint32 stored = 0;
        u32(stored);
        if (count == 0 || stored == kNone32) {
            line = 0;
            count = 0;
            return;
        }
        if (m_d.m_links) {
            for (quint32 i = 0; i < count; ++i)
                m_d.m_links->emplace_back(Tab::KeptLine, qint64(stored) + i);
            line = 0;
            count = 0;
            return;
        }
        line = m_d.indexOf(Tab::KeptLine, stored);
        // The lines of one kept structure are stored one after another and read together.
        if (line == kNoIndex ||
            m_d.indexOf(Tab::KeptLine, qint64(stored) + count - 1) != line + count - 1) {
            brokenLink(QStringLiteral("has lines that are not there"));
            line = 0;
            count = 0;
        }
    }
    bool atEnd() const { return m_p == m_end; }

private:
    bool take(quint32 size)
    {
        if (!ok || quint64(m_end - m_p) < size) {
            ok = false;
            return false;
        }
        m_p += size;
        return true;
    }
    bool peek(quint32 &v)
    {
        if (!ok || m_end - m_p < 4) {
            ok = false;
            return false;
        }
        v = qFromLittleEndian<quint32>(m_p);
        return true;
    }
    void brokenLink(const QString &what)
    {
        ++m_d.m_brokenLinks;
        problem(what);
    }
    void problem(const QString &what)
    {
        if (m_d.m_problems)
            *m_d.m_problems << QStringLiteral("side record %1 of table %2 %3")
                                   .arg(m_number)
                                   .arg(int(m_tab))
                                   .arg(what);
    }

    RecordDecoder &m_d;
    const char *m_p;
    const char *m_end;
    Tab m_tab;
    qint64 m_number;
};

void RecordDecoder::setNumbers(Tab tab, std::vector<qint64> numbers)
{
    m_numbers[int(tab)] = std::move(numbers);
    m_dense[int(tab)] = -1;
}

namespace {

// Room for the records of a table read whole, so that it does not grow (and copy itself) as they
// come. A damaged store may claim far more than it holds: at most this many ahead.
constexpr qint64 kReserveMost = qint64(1) << 23;

template <class R> void reserve(Table<R> &table, qint64 count)
{
    table.reserve(size_t(std::clamp<qint64>(count, 0, kReserveMost)));
}

} // namespace

void RecordDecoder::setDense(Tab tab, qint64 count)
{
    m_numbers[int(tab)].clear();
    m_dense[int(tab)] = count;
    TreeModel &m = m_model;
    switch (tab) {
    case Tab::Name:
        return reserve(m.names, count);
    case Tab::Event:
        return reserve(m.events, count);
    case Tab::EventDetail:
        return reserve(m.eventDetails, count);
    case Tab::Address:
        return reserve(m.addresses, count);
    case Tab::Place:
        return reserve(m.places, count);
    case Tab::Family:
        return reserve(m.families, count);
    case Tab::Partnership:
        return reserve(m.partnerships, count);
    case Tab::ChildLink:
        return reserve(m.childLinks, count);
    case Tab::Association:
        return reserve(m.associations, count);
    case Tab::Source:
        return reserve(m.sources, count);
    case Tab::RepositoryLink:
        return reserve(m.repositoryLinks, count);
    case Tab::Repository:
        return reserve(m.repositories, count);
    case Tab::Citation:
        return reserve(m.citations, count);
    case Tab::Note:
        return reserve(m.notes, count);
    case Tab::NoteLink:
        return reserve(m.noteLinks, count);
    case Tab::Media:
        return reserve(m.media, count);
    case Tab::MediaLink:
        return reserve(m.mediaLinks, count);
    case Tab::Kept:
        return reserve(m.kept, count);
    case Tab::KeptLine:
        return reserve(m.keptLines, count);
    case Tab::NoteBreak:
        return reserve(m.noteBreaks, count);
    case Tab::Tree:
    case Tab::Person: // one record per row, made beforehand
    case Tab::Count:
        break;
    }
}

quint32 RecordDecoder::indexOf(Tab tab, qint64 number) const
{
    if (const qint64 dense = m_dense[int(tab)]; dense >= 0)
        return number >= 0 && number < dense ? quint32(number) : kNoIndex;
    const std::vector<qint64> &numbers = m_numbers[int(tab)];
    const auto found = std::lower_bound(numbers.begin(), numbers.end(), number);
    if (found == numbers.end() || *found != number)
        return kNoIndex;
    return quint32(found - numbers.begin());
}

namespace {

template <class R> bool decodeInto(FieldReader &f, Table<R> &table)
{
    R record;
    visit(f, record);
    if (!f.ok || !f.atEnd())
        return false;
    return table.add(record) != kNoIndex;
}

} // namespace

bool RecordDecoder::decode(Tab tab, qint64 number, QByteArrayView data)
{
    FieldReader f(*this, data, tab, number);
    TreeModel &m = m_model;
    switch (tab) {
    case Tab::Tree: {
        f.text(m.defaultPlaceForm);
        quint32 count = 0;
        f.u32(count);
        m.extensionTags.clear();
        for (quint32 i = 0; i < count && f.ok; ++i) {
            ExtensionTag tag;
            f.text(tag.tag);
            f.text(tag.uri);
            m.extensionTags.push_back(tag);
        }
        return f.ok && f.atEnd();
    }
    case Tab::Person: {
        PersonSide side;
        quint32 person = kNoIndex;
        visit(f, side, person);
        if (!f.ok || !f.atEnd())
            return false;
        if (person != kNoIndex && person < m.persons.size())
            m.persons.edit(person) = side;
        return true;
    }
    case Tab::Name:
        return decodeInto(f, m.names);
    case Tab::Event:
        return decodeInto(f, m.events);
    case Tab::EventDetail:
        return decodeInto(f, m.eventDetails);
    case Tab::Address:
        return decodeInto(f, m.addresses);
    case Tab::Place:
        return decodeInto(f, m.places);
    case Tab::Family:
        return decodeInto(f, m.families);
    case Tab::Partnership:
        return decodeInto(f, m.partnerships);
    case Tab::ChildLink:
        return decodeInto(f, m.childLinks);
    case Tab::Association:
        return decodeInto(f, m.associations);
    case Tab::Source:
        return decodeInto(f, m.sources);
    case Tab::RepositoryLink:
        return decodeInto(f, m.repositoryLinks);
    case Tab::Repository:
        return decodeInto(f, m.repositories);
    case Tab::Citation:
        return decodeInto(f, m.citations);
    case Tab::Note:
        return decodeInto(f, m.notes);
    case Tab::NoteLink:
        return decodeInto(f, m.noteLinks);
    case Tab::Media:
        return decodeInto(f, m.media);
    case Tab::MediaLink:
        return decodeInto(f, m.mediaLinks);
    case Tab::Kept:
        return decodeInto(f, m.kept);
    case Tab::KeptLine:
        return decodeInto(f, m.keptLines);
    case Tab::NoteBreak:
        return decodeInto(f, m.noteBreaks);
    case Tab::Count:
        break;
    }
    return false;
}

} // namespace Store::Side
