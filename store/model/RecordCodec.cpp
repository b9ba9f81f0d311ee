#include "RecordCodec.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

using namespace Genealogy;

namespace Store::Side {

namespace {

constexpr quint32 kNone32 = 0xFFFFFFFF;

// The fields of each record in stored order. A visitor reads or writes them: the one list serves
// both directions, so they cannot disagree.
template <class F> void visit(F &f, PersonSide &r, quint32 &person)
{
    f.person(person);
    f.e(r.sex);
    f.u8(r.privacy);
    f.u8(r.flags);
}

template <class F> void visit(F &f, Name &r)
{
    f.person(r.person);
    f.e(r.type);
    f.u8(r.flags);
    for (Text *t : {&r.typeText, &r.value, &r.prefix, &r.given, &r.nickname, &r.surnamePrefix,
                    &r.surname, &r.suffix})
        f.text(*t);
}

template <class F> void visit(F &f, Event &r)
{
    f.ref(r.owner);
    f.eventType(r.type, r.owner);
    f.u8(r.flags);
    f.u8(r.privacy);
    f.text(r.value);
    f.text(r.date);
    f.i32(r.sortFrom);
    f.i32(r.sortTo);
    f.e(r.dateKind);
    f.index(Tab::Place, r.place);
    f.index(Tab::EventDetail, r.detail);
}

template <class F> void visit(F &f, EventDetail &r)
{
    for (Text *t : {&r.type, &r.datePhrase, &r.age, &r.agePhrase, &r.cause, &r.agency, &r.religion})
        f.text(*t);
    f.index(Tab::Address, r.address);
}

template <class F> void visit(F &f, Address &r)
{
    for (Text *t :
         {&r.line, &r.line1, &r.line2, &r.line3, &r.city, &r.state, &r.postalCode, &r.country})
        f.text(*t);
    f.boolean(r.present);
}

template <class F> void visit(F &f, Place &r)
{
    for (Text *t : {&r.name, &r.form, &r.latitude, &r.longitude})
        f.text(*t);
}

template <class F> void visit(F &f, Family &r)
{
    f.person(r.partner[0]);
    f.person(r.partner[1]);
    f.u8(r.wifeSlots);
    f.e(r.relation);
    f.u8(r.privacy);
}

template <class F> void visit(F &f, Partnership &r)
{
    f.person(r.person);
    f.index(Tab::Family, r.family);
}

template <class F> void visit(F &f, ChildLink &r)
{
    f.index(Tab::Family, r.family);
    f.person(r.child);
    f.e(r.relation[0]);
    f.e(r.relation[1]);
    f.u32(r.childOrder);
    f.text(r.phrase);
}

template <class F> void visit(F &f, Association &r)
{
    f.person(r.person);
    f.person(r.target);
    f.e(r.kind);
    f.text(r.relation);
    f.text(r.phrase);
}

template <class F> void visit(F &f, Source &r)
{
    for (Text *t : {&r.title, &r.author, &r.publication, &r.abbreviation, &r.text})
        f.text(*t);
}

template <class F> void visit(F &f, RepositoryLink &r)
{
    f.index(Tab::Source, r.source);
    f.index(Tab::Repository, r.repository);
    f.text(r.callNumbers);
}

template <class F> void visit(F &f, Repository &r)
{
    f.text(r.name);
    f.index(Tab::Address, r.address);
}

template <class F> void visit(F &f, Citation &r)
{
    f.ref(r.owner);
    f.index(Tab::Source, r.source);
    f.u8(r.quality);
    f.text(r.page);
    f.text(r.date);
    f.text(r.text);
}

template <class F> void visit(F &f, Note &r)
{
    f.text(r.text);
    f.u8(r.flags);
}

template <class F> void visit(F &f, NoteLink &r)
{
    f.ref(r.owner);
    f.index(Tab::Note, r.note);
}

template <class F> void visit(F &f, Media &r)
{
    f.text(r.file);
    f.text(r.format);
    f.text(r.title);
    f.u8(r.flags);
}

template <class F> void visit(F &f, MediaLink &r)
{
    f.ref(r.owner);
    f.index(Tab::Media, r.media);
}

template <class F> void visit(F &f, Kept &r)
{
    f.ref(r.owner);
    f.u32(r.position);
    f.text(r.path);
    f.u32(r.lineCount);
    f.firstLine(r.firstLine, r.lineCount);
    f.u32(r.after);
    f.u8(r.flags);
}

template <class F> void visit(F &f, KeptLine &r)
{
    f.u16(r.level);
    f.keptTag(r.tag);
    f.e(r.kind);
    f.ref(r.target);
    f.text(r.value);
}

template <class F> void visit(F &f, NoteBreak &r)
{
    f.person(r.person);
    f.u32(r.offset);
}

class FieldWriter
{
public:
    FieldWriter(const TreeModel &model, const RecordEncoder &encoder, QByteArray &out)
        : m_model(model), m_encoder(encoder), m_out(out)
    {
    }
    void u8(quint8 v) { m_out.append(char(v)); }
    void boolean(bool v) { u8(v ? 1 : 0); }
    void u16(quint16 v) { u32(v); }
    void u32(quint32 v)
    {
        char bytes[4];
        qToLittleEndian(v, bytes);
        m_out.append(bytes, 4);
    }
    void i32(qint32 v) { u32(quint32(v)); }
    template <class E> void e(E v) { u8(quint8(v)); }
    void bytes(QByteArrayView v)
    {
        u32(quint32(v.size()));
        m_out.append(v.data(), v.size());
    }
    void text(Text t) { bytes(m_model.utf8(t)); }
    void person(quint32 index)
    {
        if (index == kNoIndex)
            u32(kNone32);
        else
            bytes(m_encoder.key(index));
    }
    void ref(Ref r)
    {
        u8(quint8(r.kind()));
        if (r.is(Kind::Person))
            person(r.index());
        else if (const Tab tab = tabOfKind(r.kind()); tab != Tab::Count)
            u32(m_encoder.number(tab, r.index()));
        else
            u32(r.index());
    }
    void index(Tab tab, quint32 v) { u32(m_encoder.number(tab, v)); }
    void eventType(EventTypes::Id type, Ref) { bytes(EventTypes::tag(type)); }
    void keptTag(quint16 tag) { bytes(m_model.keptTagName(tag)); }
    void firstLine(quint32 line, quint32 count)
    {
        u32(count ? m_encoder.number(Tab::KeptLine, line) : kNone32);
    }

private:
    const TreeModel &m_model;
    const RecordEncoder &m_encoder;
    QByteArray &m_out;
};

} // namespace

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
    template <class E> void e(E &v)
    {
        quint8 b = 0;
        u8(b);
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
            r = Ref(Kind(kind), index);
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
        type = EventTypes::find(tag, owner.is(Kind::Family));
        if (type == EventTypes::kNone && !tag.isEmpty())
            type = EventTypes::find(tag, !owner.is(Kind::Family));
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

Tab tabOfKind(Kind kind)
{
    switch (kind) {
    case Kind::Family:
        return Tab::Family;
    case Kind::Event:
        return Tab::Event;
    case Kind::Name:
        return Tab::Name;
    case Kind::Citation:
        return Tab::Citation;
    case Kind::Association:
        return Tab::Association;
    case Kind::ChildLink:
        return Tab::ChildLink;
    case Kind::Source:
        return Tab::Source;
    case Kind::Repository:
        return Tab::Repository;
    case Kind::Note:
        return Tab::Note;
    case Kind::Media:
        return Tab::Media;
    case Kind::Place:
        return Tab::Place;
    case Kind::Kept:
        return Tab::Kept;
    default:
        return Tab::Count;
    }
}

const QByteArray &RecordEncoder::key(quint32 person) const
{
    static const QByteArray none;
    return person < m_keys.size() ? m_keys[person] : none;
}

namespace {

template <class R, class F> void visitCopy(F &f, R record)
{
    visit(f, record);
}

} // namespace

QByteArray RecordEncoder::encode(Tab tab, quint32 i) const
{
    QByteArray out;
    out.reserve(48);
    encodeInto(tab, i, out);
    return out;
}

void RecordEncoder::encodeInto(Tab tab, quint32 i, QByteArray &out) const
{
    out.resize(0);
    FieldWriter f(m_model, *this, out);
    const TreeModel &m = m_model;
    switch (tab) {
    case Tab::Tree: {
        f.text(m.defaultPlaceForm);
        f.u32(quint32(m.extensionTags.size()));
        for (const ExtensionTag &tag : m.extensionTags) {
            f.text(tag.tag);
            f.text(tag.uri);
        }
        break;
    }
    case Tab::Person: {
        PersonSide side = m.persons[i];
        quint32 person = i;
        visit(f, side, person);
        break;
    }
    case Tab::Name:
        visitCopy(f, m.names[i]);
        break;
    case Tab::Event:
        visitCopy(f, m.events[i]);
        break;
    case Tab::EventDetail:
        visitCopy(f, m.eventDetails[i]);
        break;
    case Tab::Address:
        visitCopy(f, m.addresses[i]);
        break;
    case Tab::Place:
        visitCopy(f, m.places[i]);
        break;
    case Tab::Family:
        visitCopy(f, m.families[i]);
        break;
    case Tab::Partnership:
        visitCopy(f, m.partnerships[i]);
        break;
    case Tab::ChildLink:
        visitCopy(f, m.childLinks[i]);
        break;
    case Tab::Association:
        visitCopy(f, m.associations[i]);
        break;
    case Tab::Source:
        visitCopy(f, m.sources[i]);
        break;
    case Tab::RepositoryLink:
        visitCopy(f, m.repositoryLinks[i]);
        break;
    case Tab::Repository:
        visitCopy(f, m.repositories[i]);
        break;
    case Tab::Citation:
        visitCopy(f, m.citations[i]);
        break;
    case Tab::Note:
        visitCopy(f, m.notes[i]);
        break;
    case Tab::NoteLink:
        visitCopy(f, m.noteLinks[i]);
        break;
    case Tab::Media:
        visitCopy(f, m.media[i]);
        break;
    case Tab::MediaLink:
        visitCopy(f, m.mediaLinks[i]);
        break;
    case Tab::Kept:
        visitCopy(f, m.kept[i]);
        break;
    case Tab::KeptLine:
        visitCopy(f, m.keptLines[i]);
        break;
    case Tab::NoteBreak:
        visitCopy(f, m.noteBreaks[i]);
        break;
    case Tab::Count:
        break;
    }
}

void RecordDecoder::setNumbers(Tab tab, std::vector<qint64> numbers)
{
    m_numbers[int(tab)] = std::move(numbers);
    m_dense[int(tab)] = -1;
}

void RecordDecoder::setDense(Tab tab, qint64 count)
{
    m_numbers[int(tab)].clear();
    m_dense[int(tab)] = count;
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
