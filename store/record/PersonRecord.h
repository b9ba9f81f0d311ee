#pragma once

#include <QString>

// One row of a tree table: fourteen text columns. `ID` is unique; `PrntKey` is the parent's ID
// or "ROOT" for a root person.
struct PersonRecord
{
    QString ID;
    QString PrntKey;
    QString Fname;
    QString Sname;
    QString PrtFname;
    QString PrtSname;
    QString Bdate;
    QString Ddate;
    QString Bplace;
    QString Dplace;
    QString Laddress;
    QString Lcity;
    QString Lcountry;
    QString Notes;

    bool operator==(const PersonRecord &) const = default;
};
