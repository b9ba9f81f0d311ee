#pragma once

#include "ModelSlice.h"
#include "Result.h"

#include <QStringList>

#include <array>

// Joining two persons of a tree that stand for one (two imports of one ancestor). KEEP survives
// with its key; OTHER's row goes. For each field of the row the chosen person's value stays; the
// other's differing value is kept as an alternate name or event unless dropped on purpose. Every
// family, child link, association, citation, note and media link of both is kept and points to
// the survivor; rows whose parent key named OTHER name KEEP; families that become the same
// couple are joined; nobody ends as their own parent.
namespace Genealogy::PersonMerge {

// The fields of a row the user picks from, each a group of columns.
enum class Field {
    Name,      // Fname, Sname: the other becomes an alternate name (AKA)
    Birth,     // Bdate, Bplace: the other becomes a second birth
    Death,     // Ddate, Dplace: a second death
    Residence, // Laddress, Lcity, Lcountry: an earlier residence
    Notes,     // the other's notes follow after a blank line
    Parent,    // PrntKey (the families the person is a child of decide it where they can)
    Partner,   // PrtFname, PrtSname (the families decide them where the person has one)
    Sex,       // the side record's sex
    Count
};
constexpr int kFieldCount = int(Field::Count);

struct Choice
{
    // Per field: OTHER's value goes into the row (else KEEP's).
    std::array<bool, kFieldCount> takeOther{};
    // Per field: the value not taken is dropped on purpose (else kept as an alternate).
    std::array<bool, kFieldCount> dropUnchosen{};

    bool other(Field f) const { return takeOther[size_t(f)]; }
    bool drop(Field f) const { return dropUnchosen[size_t(f)]; }
};

// KEEP's value where it has one, else OTHER's; nothing dropped.
Choice defaultChoice(const ModelSlice &tree, quint32 keep, quint32 other);

// The values of a field as a person's row and side record give them ("1 JAN 1850, York").
QString fieldValue(const ModelSlice &tree, quint32 person, Field field);
QString fieldLabel(Field field);

struct Outcome
{
    QStringList done;            // what was done, one line each
    quint32 survivor = kNoIndex; // the index of KEEP in the changed tree
    bool madeModel = false;      // the tree had no side records and has them now
};

// Merges OTHER into KEEP in `tree` (the whole tree: its rows and the model over them, or no
// persons in the model for a tree without side records, which gains them only when an alternate
// value needs a record). Refused, leaving the tree unchanged: the same person twice, an index out
// of range, or a merge that would make the survivor their own ancestor.
Result<Outcome> merge(ModelSlice &tree, quint32 keep, quint32 other, const Choice &choice);

} // namespace Genealogy::PersonMerge
