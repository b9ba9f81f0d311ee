#pragma once

#include "PersonRow.h"
#include "TreeModel.h"

#include <optional>

// The rules that tie a person's row to the model: which record the row's columns belong to, and
// what the model decides for the columns it governs (the partner columns, the line parent).
//
//  - Fname/Sname: the primary name (the person's first Name, flag Primary, or the row alone when
//    the person has no name record).
//  - Bdate/Bplace, Ddate/Dplace: the first birth (death) event in stored order. Its record, when
//    there is one, holds everything else and no date or place of its own; further births and
//    deaths are ordinary events. Without a record the row's date and place still make a birth.
//  - PrtFname/PrtSname: the Fname/Sname of the other partner of the person's first family (its
//    first Partnership); empty when that family has no other partner. A person who is a partner
//    in no family keeps whatever the columns hold.
//  - Laddress/Lcity/Lcountry: the address of the residence event flagged RowResidence (the last
//    residence with an address); the record keeps only the address's other parts.
//  - Notes: the person's own inline notes; NoteBreak records say where several were joined.
//  - PrntKey: for a row in the line, the line parent (lineOf below gives what a file's links
//    decide).
namespace Genealogy::RowRules {

// The person's first family as a partner, or kNoIndex.
quint32 firstFamily(const TreeModel &model, quint32 person);

// Whether the model governs the person's partner columns (the person is a partner in some
// family), and then the partner whose names they hold (kNoIndex: empty columns).
std::optional<quint32> partnerOfRow(const TreeModel &model, quint32 person);

// The partner columns the model gives a row (the other partner's Fname and Sname, or two empty
// texts), or nothing when the person is a partner in no family and the row keeps its own. `rows`
// are the tree's rows in the model's person order.
std::optional<std::pair<QString, QString>>
partnerColumns(const TreeModel &model, std::span<const PersonRow> rows, quint32 person);

// The first event of a type of an owner in stored order (the row's birth or death), or kNoIndex.
quint32 firstEvent(const TreeModel &model, Ref owner, EventTypes::Id type);
// The residence event whose address is the row's, or kNoIndex.
quint32 rowResidence(const TreeModel &model, quint32 person);
// The person's primary name record, or kNoIndex.
quint32 primaryName(const TreeModel &model, quint32 person);

// The line parent of a family: of its partners (in order) the one who is a child in some family
// when exactly one is, else the first partner; kNoIndex for a family without partners.
quint32 lineParent(const TreeModel &model, quint32 family);

// Where a person stands in the line of descent as the family links decide it:
//  - a child takes the first of its families (in its order) whose relation to that family's
//    line parent is birth or not stated, else its first family; the row's parent is that
//    family's line parent (Root when the family has no partner);
//  - a person who is nobody's child is a root when a partner in no family or the line parent
//    of one of its families, and outside the line otherwise (a partner who married in).
struct LineChoice
{
    enum class Kind { Root, Parent, Outside };
    Kind kind = Kind::Root;
    quint32 parent = kNoIndex; // for Parent
    quint32 family = kNoIndex; // the family that decided it (for Parent, and Root of a family
                               // without partners)
};
LineChoice lineOf(const TreeModel &model, quint32 person);

// The blank line that separates two joined notes.
inline constexpr QStringView kNoteSeparator = u"\n\n";

// The inline notes a row's Notes were joined from: split at the NoteBreak offsets when each
// still falls on a blank line of the text, else the whole text as one note. Empty for empty
// notes.
QStringList splitNotes(const TreeModel &model, quint32 person, const QString &notes);

} // namespace Genealogy::RowRules
