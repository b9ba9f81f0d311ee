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
//   kErrGeneralFailure  (0x80004005) - the engine's general failure (duplicate key among them);
// and the failures of the file rather than of what was asked, whose description says what
// happened and that nothing was changed:
//   kErrDatabaseBusy    (0x80030021) - another program holds the database;
//   kErrDiskFull        (0x80030070) - the file could not be written (disk full, too large);
//   kErrDatabaseDamaged (0x80030109) - the file is not a database or is damaged;
//   kErrFileAccess      (0x80030005) - the file or its folder cannot be read or written.
// and what another program did meanwhile:
//   kErrTreeMissing     (0x80040E37) - the tree's table is gone (deleted or renamed elsewhere);
//   kErrRowChanged      (0x80040E38) - the person's row no longer holds the values it was read
//                                      with: another program changed it;
//   kErrRowMissing      (0x80040E23) - the person's row is gone: another program deleted it.
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
constexpr long long kErrDatabaseBusy = -2147287007LL;    // 0x80030021
constexpr long long kErrDiskFull = -2147286928LL;        // 0x80030070
constexpr long long kErrDatabaseDamaged = -2147286775LL; // 0x80030109
constexpr long long kErrFileAccess = -2147287035LL;      // 0x80030005
constexpr long long kErrTreeMissing = -2147217865LL;     // 0x80040E37
constexpr long long kErrRowChanged = -2147217864LL;      // 0x80040E38
constexpr long long kErrRowMissing = -2147217885LL;      // 0x80040E23

// True for the failures of the file itself (busy, full, damaged, not writable): the store
// refused nothing the user asked, so the windows show the description as it is.
inline bool IsFileFailure(const StoreError &error)
{
    return error.number == kErrDatabaseBusy || error.number == kErrDiskFull ||
           error.number == kErrDatabaseDamaged || error.number == kErrFileAccess;
}
