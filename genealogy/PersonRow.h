#pragma once

#include <QString>

namespace Genealogy {

// The fourteen columns of a person's row, as the rules between the row and the model see them
// (the store's row type has the same members in the same order). The row is the one truth for
// what these columns hold; the model never keeps a second copy.
struct PersonRow
{
    QString ID;
    QString PrntKey;  // the line parent's ID, "ROOT", or empty for a person outside the line
    QString Fname;    // the primary name's given name
    QString Sname;    // ... and surname
    QString PrtFname; // the first family's other partner's Fname (see RowRules)
    QString PrtSname;
    QString Bdate; // date and place of the first birth event
    QString Ddate; // ... of the first death event
    QString Bplace;
    QString Dplace;
    QString Laddress; // the address of the last residence event with an address
    QString Lcity;
    QString Lcountry;
    QString Notes; // the person's own inline notes, joined by a blank line

    bool operator==(const PersonRow &) const = default;
};

} // namespace Genealogy
