#pragma once

#include "ModelSlice.h"
#include "Vocabulary.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// A person's facts as the panel's "Family and events" tab and the command line show them: who
// the parents and partners are, the events in the order of their dates, the sources cited, the
// notes and the media. Read from a slice of the model around the person; the person's row is the
// one truth for the names, the first birth and death, the partner columns and the own notes.
namespace Genealogy {

// A person the facts name. `key` empty: the person has no row (a partner known only by the
// partner columns); `inSlice` false: the key names no row of the slice (a parent key naming a
// missing row).
struct FactPerson
{
    QString key;
    QString name; // "First Last" as the row has it
    bool inSlice = false;

    bool isLink() const { return inSlice && !key.isEmpty(); }
};

struct FactEvent
{
    QString tag;   // "BIRT", "EVEN"...
    QString label; // "Birth", or the TYPE of a custom event
    QString date;  // as written (a 7.0 phrase after it in parentheses)
    QString place;
    QString description; // the value (an attribute's text), with TYPE and the residence's address
    bool cited = false;  // a source is cited for it
    qint32 sortFrom = DateRange::kUnknown; // the first day the date may mean, for the order
    qint32 sortTo = DateRange::kUnknown;
};

// A family the person is a child of: its partners and the person's relation to each.
struct FactParents
{
    QString familyKey; // empty: the row's parent key alone says who the parent is
    FactPerson partner[2];
    ChildRelation relation[2] = {ChildRelation::None, ChildRelation::None};
    QString phrase; // the words of an Other relation
};

// A family the person is a partner of: the other partner (none in a family of one), what they
// are to each other, the family's events and its children in order.
struct FactFamily
{
    QString familyKey; // empty: the row's partner columns alone name the partner
    FactPerson partner;
    FamilyRelation relation = FamilyRelation::Unknown;
    std::vector<FactEvent> events;
    std::vector<FactPerson> children;
};

struct FactCitation
{
    QString source; // the source's title (its abbreviation when it has no title)
    QString page;
};

struct FactMedia
{
    QString file;
    QString title;
};

struct FactName
{
    QString text; // "First Last" of a further name, or its NAME line as written
    QString type; // "married", "aka"... (empty: none given)
};

struct PersonFacts
{
    FactPerson person;
    Sex sex = Sex::None;
    std::vector<FactName> otherNames;
    std::vector<FactParents> parents;
    std::vector<FactFamily> families;
    std::vector<FactEvent> events; // in the order of their dates
    std::vector<FactCitation> citations;
    QStringList notes;
    std::vector<FactMedia> media;
};

// The key a family of the slice is known by; by default "F" + its number in the slice's model
// ("F1" for the first), as familyKeysOf() names them.
using FamilyKeyOf = std::function<QString(quint32 family)>;

// The facts of the slice's person; empty facts (no person) when the slice names no row.
PersonFacts personFacts(const ModelSlice &slice, const FamilyKeyOf &familyKey = {});

// The facts one a line, "KIND: value", for scripts:
//   name: First Last                    the primary name; further names "text | type"
//   sex: male|female|unknown|intersex
//   parent: KEY relation                 relation: birth, adopted, foster, sealing, the words of
//                                        another relation, or "unstated"
//   partner: KEY family FKEY
//   partner-name: First Last             the partner columns of a person in no family
//   child: KEY family FKEY
//   event: TAG | date | place | description         the person's events in the order of dates
//   event: TAG | date | place | description | family FKEY    a family's events
//   citation: source title | page
//   note: text
//   media: file | title
// Line breaks within a value are written as the two characters \n.
QStringList factLines(const PersonFacts &facts);

// The text of a child's relation to a parent as the facts name it ("unstated" when none given).
QString relationText(ChildRelation relation, const QString &phrase);

} // namespace Genealogy
