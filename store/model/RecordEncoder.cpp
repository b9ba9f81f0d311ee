#include "RecordCodec.h"
#include "RecordFields.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

using namespace Genealogy;

namespace Store::Side {

using Fields::kNone32;
using Fields::visit;

namespace {

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

} // namespace Store::Side
