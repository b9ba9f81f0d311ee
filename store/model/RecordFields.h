#pragma once

// The fields of each record of the model in stored order, for the record codec: a visitor reads
// or writes them (RecordEncoder.cpp, RecordDecoder.cpp), so that the one list serves both
// directions and they cannot disagree.
#include "RecordCodec.h"

namespace Store::Side::Fields {

using namespace Genealogy;

inline constexpr quint32 kNone32 = 0xFFFFFFFF;

// The fields of each record in stored order. A visitor reads or writes them: the one list serves
// both directions, so they cannot disagree.
template <class F> inline void visit(F &f, PersonSide &r, quint32 &person)
{
    f.person(person);
    f.e(r.sex);
    f.u8(r.privacy);
    f.u8(r.flags);
}

template <class F> inline void visit(F &f, Name &r)
{
    f.person(r.person);
    f.e(r.type);
    f.u8(r.flags);
    for (Text *t : {&r.typeText, &r.value, &r.prefix, &r.given, &r.nickname, &r.surnamePrefix,
                    &r.surname, &r.suffix})
        f.text(*t);
}

template <class F> inline void visit(F &f, Event &r)
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

template <class F> inline void visit(F &f, EventDetail &r)
{
    for (Text *t : {&r.type, &r.datePhrase, &r.age, &r.agePhrase, &r.cause, &r.agency, &r.religion})
        f.text(*t);
    f.index(Tab::Address, r.address);
}

template <class F> inline void visit(F &f, Address &r)
{
    for (Text *t :
         {&r.line, &r.line1, &r.line2, &r.line3, &r.city, &r.state, &r.postalCode, &r.country})
        f.text(*t);
    f.boolean(r.present);
}

template <class F> inline void visit(F &f, Place &r)
{
    for (Text *t : {&r.name, &r.form, &r.latitude, &r.longitude})
        f.text(*t);
}

template <class F> inline void visit(F &f, Family &r)
{
    f.person(r.partner[0]);
    f.person(r.partner[1]);
    f.u8(r.wifeSlots);
    f.e(r.relation);
    f.u8(r.privacy);
}

template <class F> inline void visit(F &f, Partnership &r)
{
    f.person(r.person);
    f.index(Tab::Family, r.family);
}

template <class F> inline void visit(F &f, ChildLink &r)
{
    f.index(Tab::Family, r.family);
    f.person(r.child);
    f.e(r.relation[0]);
    f.e(r.relation[1]);
    f.u32(r.childOrder);
    f.text(r.phrase);
}

template <class F> inline void visit(F &f, Association &r)
{
    f.person(r.person);
    f.person(r.target);
    f.e(r.kind);
    f.text(r.relation);
    f.text(r.phrase);
}

template <class F> inline void visit(F &f, Source &r)
{
    for (Text *t : {&r.title, &r.author, &r.publication, &r.abbreviation, &r.text})
        f.text(*t);
}

template <class F> inline void visit(F &f, RepositoryLink &r)
{
    f.index(Tab::Source, r.source);
    f.index(Tab::Repository, r.repository);
    f.text(r.callNumbers);
}

template <class F> inline void visit(F &f, Repository &r)
{
    f.text(r.name);
    f.index(Tab::Address, r.address);
}

template <class F> inline void visit(F &f, Citation &r)
{
    f.ref(r.owner);
    f.index(Tab::Source, r.source);
    f.u8(r.quality);
    f.text(r.page);
    f.text(r.date);
    f.text(r.text);
}

template <class F> inline void visit(F &f, Note &r)
{
    f.text(r.text);
    f.u8(r.flags);
}

template <class F> inline void visit(F &f, NoteLink &r)
{
    f.ref(r.owner);
    f.index(Tab::Note, r.note);
}

template <class F> inline void visit(F &f, Media &r)
{
    f.text(r.file);
    f.text(r.format);
    f.text(r.title);
    f.u8(r.flags);
}

template <class F> inline void visit(F &f, MediaLink &r)
{
    f.ref(r.owner);
    f.index(Tab::Media, r.media);
}

template <class F> inline void visit(F &f, Kept &r)
{
    f.ref(r.owner);
    f.u32(r.position);
    f.text(r.path);
    f.u32(r.lineCount);
    f.firstLine(r.firstLine, r.lineCount);
    f.u32(r.after);
    f.u8(r.flags);
}

template <class F> inline void visit(F &f, KeptLine &r)
{
    f.u16(r.level);
    f.keptTag(r.tag);
    f.e(r.kind);
    f.ref(r.target);
    f.text(r.value);
}

template <class F> inline void visit(F &f, NoteBreak &r)
{
    f.person(r.person);
    f.u32(r.offset);
}

} // namespace Store::Side::Fields
