#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

// One row of a tree table: fourteen text columns. `ID` is unique; `PrntKey` is the parent's ID
// or kRootKey for a root person.
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

// The columns of a tree table by their place in it.
enum PersonColumnIndex : int {
    ColID,
    ColPrntKey,
    ColFname,
    ColSname,
    ColPrtFname,
    ColPrtSname,
    ColBdate,
    ColDdate,
    ColBplace,
    ColDplace,
    ColLaddress,
    ColLcity,
    ColLcountry,
    ColNotes,
    kPersonColumnCount
};

// One column of a tree table: its name in the database, the caption the windows label its box
// with and the help text of that box (both translatable in the context "PersonFields"), and the
// member of PersonRecord that holds its value.
struct PersonColumn
{
    const char *name;
    const char *caption;
    const char *helpText;
    QString PersonRecord::*member;
};

// The row's shape, in table order: the store's statements, the rows the engine hands over, the
// chart's persons and the windows' fields are all made from this one table.
inline constexpr std::array<PersonColumn, kPersonColumnCount> kPersonColumns = {{
    {"ID", QT_TRANSLATE_NOOP("PersonFields", "ID : "),
     QT_TRANSLATE_NOOP("PersonFields", "Unique ID (max = 5)"), &PersonRecord::ID},
    {"PrntKey", QT_TRANSLATE_NOOP("PersonFields", "Parent ID : "),
     QT_TRANSLATE_NOOP("PersonFields", "Parent ID this child belongs to"), &PersonRecord::PrntKey},
    {"Fname", QT_TRANSLATE_NOOP("PersonFields", "First : "),
     QT_TRANSLATE_NOOP("PersonFields", "First name"), &PersonRecord::Fname},
    {"Sname", QT_TRANSLATE_NOOP("PersonFields", "Last : "),
     QT_TRANSLATE_NOOP("PersonFields", "Last name"), &PersonRecord::Sname},
    {"PrtFname", QT_TRANSLATE_NOOP("PersonFields", "First : "),
     QT_TRANSLATE_NOOP("PersonFields", "Partner's first name"), &PersonRecord::PrtFname},
    {"PrtSname", QT_TRANSLATE_NOOP("PersonFields", "Last : "),
     QT_TRANSLATE_NOOP("PersonFields", "Partner's last name"), &PersonRecord::PrtSname},
    {"Bdate", QT_TRANSLATE_NOOP("PersonFields", "Born :"),
     QT_TRANSLATE_NOOP("PersonFields", "Date of birth"), &PersonRecord::Bdate},
    {"Ddate", QT_TRANSLATE_NOOP("PersonFields", "Died :"),
     QT_TRANSLATE_NOOP("PersonFields", "Date of death"), &PersonRecord::Ddate},
    {"Bplace", QT_TRANSLATE_NOOP("PersonFields", "At :"),
     QT_TRANSLATE_NOOP("PersonFields", "Place of birth"), &PersonRecord::Bplace},
    {"Dplace", QT_TRANSLATE_NOOP("PersonFields", "At :"),
     QT_TRANSLATE_NOOP("PersonFields", "Place of death"), &PersonRecord::Dplace},
    {"Laddress", QT_TRANSLATE_NOOP("PersonFields", "Addr :"),
     QT_TRANSLATE_NOOP("PersonFields", "Address of living"), &PersonRecord::Laddress},
    {"Lcity", QT_TRANSLATE_NOOP("PersonFields", "City :"),
     QT_TRANSLATE_NOOP("PersonFields", "City of living"), &PersonRecord::Lcity},
    {"Lcountry", QT_TRANSLATE_NOOP("PersonFields", "Country :"),
     QT_TRANSLATE_NOOP("PersonFields", "Country of living"), &PersonRecord::Lcountry},
    {"Notes", QT_TRANSLATE_NOOP("PersonFields", "Notes :"),
     QT_TRANSLATE_NOOP("PersonFields", "More info"), &PersonRecord::Notes},
}};

// The text of a column of the row, by its place in the table.
inline QString &ColumnText(PersonRecord &record, int column)
{
    return record.*kPersonColumns[size_t(column)].member;
}
inline const QString &ColumnText(const PersonRecord &record, int column)
{
    return record.*kPersonColumns[size_t(column)].member;
}

// The parent key of a root person.
inline const QString kRootKey = QStringLiteral("ROOT");

// The two rules by which the program tells a root person by its parent key:
// - exactly: the chart, the store, the edit window and the GEDCOM files take a person as a root
//   only when the parent key is kRootKey as it is written;
// - upper-cased: where a key is compared as the user may have typed it (deleting a root person
//   asks first, an imported key may not be the root key), "root" and "Root" count as well.
inline bool IsRootKey(const QString &parentKey)
{
    return parentKey == kRootKey;
}
inline bool IsRootKeyUpperCased(const QString &key)
{
    return key.toUpper() == kRootKey;
}
