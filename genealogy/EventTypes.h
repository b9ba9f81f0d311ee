#pragma once

#include <QByteArrayView>
#include <QString>

namespace Genealogy {

// The catalogue of event and attribute types: each GEDCOM tag the model keeps as an event, its
// English label, whether persons, families or both have it, and whether it is an event (it
// happens: "1 DEAT Y"), an attribute (it has a value: "1 OCCU Farmer") or an ordinance of the
// Latter-day Saints. Custom types are EVEN (an event) and FACT (an attribute) with a TYPE.
namespace EventTypes {

enum class Nature : quint8 { Event, Attribute, Ordinance };
enum Scope : quint8 { PersonScope = 1, FamilyScope = 2, BothScopes = 3 };

struct Type
{
    const char *tag;   // "BIRT"
    const char *label; // "Birth"
    Scope scope;
    Nature nature;
};

// Ids: 1 .. count(); 0 is no type.
using Id = quint16;
constexpr Id kNone = 0;

Id count();
const Type &type(Id id);
// The id of a tag (upper case, as GEDCOM writes it), or kNone. `family` picks the family's
// types (MARR, DIV...) or the person's (BIRT, OCCU...); CENS, EVEN, FACT, NCHI and RESI are both.
Id find(QByteArrayView tag, bool family);

inline QByteArrayView tag(Id id)
{
    return type(id).tag;
}
inline QString label(Id id)
{
    return QString::fromLatin1(type(id).label);
}
inline bool isAttribute(Id id)
{
    return type(id).nature == Nature::Attribute;
}
inline bool isOrdinance(Id id)
{
    return type(id).nature == Nature::Ordinance;
}

// Ids the rules name.
Id birth();     // BIRT
Id death();     // DEAT
Id residence(); // RESI

} // namespace EventTypes

} // namespace Genealogy
