#pragma once

#include "EventTypes.h"
#include "GedcomDate.h"
#include "Ref.h"
#include "TextStore.h"
#include "Vocabulary.h"

// The records of a tree's model. Every text is a Text of the model's TextStore; every link is an
// index into a table of the model (kNoIndex: none) or a Ref. Each record has one owner; the
// order of records of one owner in their table is their stored order ("the first birth").
//
// What a record never holds is what the person's row holds (see RowRules.h): the primary name's
// given name and surname, the first birth's and death's date and place, the partner columns, the
// last residence's address, the person's own inline notes.
namespace Genealogy {

// The side record of one person, beside the row (the same index as the row).
struct PersonSide
{
    enum Flags : quint8 {
        NoGivenLine = 1,   // the primary name is written without a GIVN line
        NoSurnameLine = 2, // ... without a SURN line
        EmptyName = 4,     // the person has a NAME line that says nothing
    };
    Sex sex = Sex::None;
    quint8 privacy = 0; // Privacy bits
    quint8 flags = 0;
    quint8 reserved = 0;
};

// A name of a person. The primary name (flag Primary, the first of the person's names) keeps
// its given name and surname in the row and only its other pieces here.
struct Name
{
    enum Flags : quint8 {
        Primary = 1,
        HasValue = 2, // `value` is the NAME line as written (it differs from "given /surname/")
    };
    quint32 person = kNoIndex;
    NameType type = NameType::None;
    quint8 flags = 0;
    quint16 reserved = 0;
    Text typeText;      // the word of an Other type, or the 7.0 PHRASE of the type
    Text value;         // with HasValue
    Text prefix;        // NPFX
    Text given;         // GIVN (not for the primary name)
    Text nickname;      // NICK
    Text surnamePrefix; // SPFX
    Text surname;       // SURN (not for the primary name)
    Text suffix;        // NSFX
};

// A place: one record per distinct place name of a tree (a name that comes with other
// coordinates is a record of its own).
struct Place
{
    Text name;      // "Windsor Castle, Berkshire, England"
    Text form;      // the names of its parts: "Place, County, Country" (PLAC.FORM)
    Text latitude;  // "N51.4839" as written (MAP.LATI)
    Text longitude; // "W0.6044" (MAP.LONG)
};

// An address (ADDR and its parts), of an event or a repository.
struct Address
{
    Text line;                // the ADDR value, with its line breaks
    Text line1, line2, line3; // ADR1 ADR2 ADR3
    Text city, state, postalCode, country;
    bool present = false; // an ADDR line exists, even if it says nothing more

    bool isEmpty() const
    {
        return line.isEmpty() && line1.isEmpty() && line2.isEmpty() && line3.isEmpty() &&
               city.isEmpty() && state.isEmpty() && postalCode.isEmpty() && country.isEmpty();
    }
};

// An event or attribute of a person or a family.
struct Event
{
    enum Flags : quint8 {
        // Its address is the row's Laddress, Lcity and Lcountry (the last residence with an
        // address); the record keeps only the address's other parts.
        RowResidence = 1,
    };
    Ref owner; // a Person or a Family
    EventTypes::Id type = EventTypes::kNone;
    quint8 flags = 0;
    quint8 privacy = 0;
    Text value; // the line's own value: an attribute's text, EVEN's description, Y or N of an event
    Text date;  // the DATE as given, blanks normalised (GedcomDate::normalized)
    qint32 sortFrom = DateRange::kUnknown; // GedcomDate::range of the date
    qint32 sortTo = DateRange::kUnknown;
    DateKind dateKind = DateKind::None;
    quint8 reserved[3] = {};
    quint32 place = kNoIndex;  // TreeModel::places()
    quint32 detail = kNoIndex; // TreeModel::eventDetails(), for the rarer values
};

// The rarer values of an event.
struct EventDetail
{
    Text type;                  // TYPE: what a custom EVEN or FACT is, or a refinement of any event
    Text datePhrase;            // the 7.0 PHRASE of the DATE
    Text age;                   // AGE of the person at the event
    Text agePhrase;             // its 7.0 PHRASE
    Text cause;                 // CAUS
    Text agency;                // AGNC
    Text religion;              // RELI
    quint32 address = kNoIndex; // TreeModel::addresses()
};

// A family: up to two partners of any sex, in the order the file gave them.
struct Family
{
    quint32 partner[2] = {kNoIndex, kNoIndex}; // persons
    quint8 wifeSlots = 0; // bit i set: partner i is written as WIFE (else HUSB)
    FamilyRelation relation = FamilyRelation::Unknown;
    quint8 privacy = 0;
    quint8 reserved = 0;
};

// A person's part in a family as a partner, in the person's order of families (the first is
// "the first family" of the partner columns).
struct Partnership
{
    quint32 person = kNoIndex;
    quint32 family = kNoIndex;
};

// A child of a family, in the family's order of children; `childOrder` orders the families of
// one child (the first whose relation is birth or not stated gives the line parent).
struct ChildLink
{
    quint32 family = kNoIndex;
    quint32 child = kNoIndex;
    ChildRelation relation[2] = {ChildRelation::None, ChildRelation::None}; // to partner 0, 1
    quint8 reserved[2] = {};
    quint32 childOrder = 0;
    Text phrase; // the word of an Other relation, or the 7.0 PHRASE of the relation
};

// An association of a person with another (ASSO) or an alias (ALIA).
struct Association
{
    quint32 person = kNoIndex;
    quint32 target = kNoIndex; // kNoIndex: a pointer to nothing
    AssociationKind kind = AssociationKind::Association;
    quint8 reserved[3] = {};
    Text relation; // RELA (5.5.1) or ROLE (7.0)
    Text phrase;   // the 7.0 PHRASE of the ROLE
};

struct Source
{
    Text title, author, publication, abbreviation, text; // TITL AUTH PUBL ABBR TEXT
};

// A source's repository and its call numbers (CALN values, one a line).
struct RepositoryLink
{
    quint32 source = kNoIndex;
    quint32 repository = kNoIndex; // kNoIndex: a pointer to nothing
    Text callNumbers;
};

struct Repository
{
    Text name;
    quint32 address = kNoIndex; // TreeModel::addresses()
};

// A citation of a source, on a person, name, event, family, association or child link.
struct Citation
{
    static constexpr quint8 kNoQuality = 0xFF;
    Ref owner;
    quint32 source = kNoIndex;   // kNoIndex: a pointer to nothing
    quint8 quality = kNoQuality; // QUAY 0..3
    quint8 reserved[3] = {};
    Text page; // PAGE: where in the source
    Text date; // DATA.DATE: when the source recorded it
    Text text; // DATA.TEXT: the words quoted
};

// A note: shared (a NOTE record, a 7.0 SNOTE) or the text of one owner's inline note.
struct Note
{
    enum Flags : quint8 { Shared = 1 };
    Text text;
    quint8 flags = 0;
};

struct NoteLink
{
    Ref owner;
    quint32 note = kNoIndex;
};

// A media object: a file and what it is. Inline: the file wrote it under its one link (5.5.1),
// not as a record of its own.
struct Media
{
    enum Flags : quint8 { Inline = 1 };
    Text file;   // FILE: a path (5.5.1) or a URI reference (7.0)
    Text format; // FORM: the file's type ("jpg", "image/jpeg")
    Text title;  // TITL
    quint8 flags = 0;
};

struct MediaLink
{
    Ref owner;
    quint32 media = kNoIndex;
};

// A GEDCOM structure the model has no place for, kept as read: its owner (a Ref; none for a
// record of its own at the top of the file), where it stood, and its lines. `path` names the
// structure between the owner's line and the kept one when that is not the owner's own line:
// "PLAC:0" is the first PLAC the model wrote under the owner, "OBJE:1/FILE:0" deeper (counting
// only lines the model writes), and `position` is the kept structure's index among its parent's
// substructures.
struct Kept
{
    enum Flags : quint8 { HasId = 1 }; // a record of its own that had an id (others point to it)
    Ref owner;
    quint32 position = 0;
    Text path;
    quint32 firstLine = 0; // TreeModel::keptLines()
    quint32 lineCount = 0;
    // How many lines of its own tag the model had taken from its parent before it: it is
    // written after as many of the model's lines of that tag (a second SEX after the first).
    quint32 after = 0;
    quint8 flags = 0;
};

// One line of a kept structure. `level` is relative: 0 is the kept structure's own line.
struct KeptLine
{
    enum class Value : quint8 { None, Text, Pointer };
    quint16 level = 0;
    quint16 tag = 0; // TreeModel::keptTag()
    Value kind = Value::None;
    quint8 reserved[3] = {};
    Ref target; // a Pointer's record (symbolic: the export writes that record's id); Void for none
    Text value; // a Text's value (line breaks for CONT)
};

// Where the row's Notes were joined from several inline notes (blank lines between them): the
// offset, in the row's text, of a blank line that separates two notes.
struct NoteBreak
{
    quint32 person = kNoIndex;
    quint32 offset = 0;
};

} // namespace Genealogy
