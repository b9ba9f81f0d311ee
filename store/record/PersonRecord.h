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

// A failure of the store, as the user is told of it: an error number and its description.
// The numbers the windows tell apart:
//   kErrStatementFailed (0x80040E14) - a statement failed to execute (table exists, bad name);
//   kErrGeneralFailure  (0x80004005) - the engine's general failure (duplicate key among them).
struct StoreError
{
    long long number = 0;
    QString description;

    bool isError() const { return number != 0; }
    explicit operator bool() const { return isError(); }
};

constexpr long long kErrStatementFailed = -2147217900LL; // 0x80040E14
constexpr long long kErrGeneralFailure = -2147467259LL;  // 0x80004005
constexpr long long kErrTypeMismatch = 13;
