#pragma once

#include "PersonRecord.h"

#include <QString>

#include <array>
#include <memory>

namespace Chart {
class PeopleStore;
}

// One person held in memory: the mirror of one row of a tree table, one text per column.
// `Key` is the row's ID. Plain data: accessors store and return values unchanged.
//
// A person kept in a cPeople collection holds its texts as numbers into the collection's table
// of shared texts, so the names, places and dates that many persons share are held once; a
// person on its own (made by a caller, or copied out of a collection) holds its own texts. The
// two behave alike. A copy is always a person on its own; assigning to a kept person changes it
// where it is kept. A reference returned by an accessor stays valid while the person lives.
class cPerson
{
public:
    // The columns, in table order (kPersonColumns).
    enum Column : int {
        kKey = ColID,
        kPrntKey = ColPrntKey,
        kFname = ColFname,
        kSname = ColSname,
        kPrtFname = ColPrtFname,
        kPrtSname = ColPrtSname,
        kBdate = ColBdate,
        kDdate = ColDdate,
        kBplace = ColBplace,
        kDplace = ColDplace,
        kLaddress = ColLaddress,
        kLcity = ColLcity,
        kLcountry = ColLcountry,
        kNotes = ColNotes,
        kColumns = kPersonColumnCount
    };

    cPerson() = default;
    explicit cPerson(const PersonRecord &record);
    cPerson(const cPerson &other);
    cPerson &operator=(const cPerson &other);
    ~cPerson();

    const QString &Key() const { return Text(kKey); }
    void setKey(const QString &value) { setText(kKey, value); }
    const QString &PrntKey() const { return Text(kPrntKey); }
    void setPrntKey(const QString &value) { setText(kPrntKey, value); }
    const QString &Fname() const { return Text(kFname); }
    void setFname(const QString &value) { setText(kFname, value); }
    const QString &Sname() const { return Text(kSname); }
    void setSname(const QString &value) { setText(kSname, value); }
    const QString &PrtFname() const { return Text(kPrtFname); }
    void setPrtFname(const QString &value) { setText(kPrtFname, value); }
    const QString &PrtSname() const { return Text(kPrtSname); }
    void setPrtSname(const QString &value) { setText(kPrtSname, value); }
    const QString &Bdate() const { return Text(kBdate); }
    void setBdate(const QString &value) { setText(kBdate, value); }
    const QString &Ddate() const { return Text(kDdate); }
    void setDdate(const QString &value) { setText(kDdate, value); }
    const QString &Bplace() const { return Text(kBplace); }
    void setBplace(const QString &value) { setText(kBplace, value); }
    const QString &Dplace() const { return Text(kDplace); }
    void setDplace(const QString &value) { setText(kDplace, value); }
    const QString &Laddress() const { return Text(kLaddress); }
    void setLaddress(const QString &value) { setText(kLaddress, value); }
    const QString &Lcity() const { return Text(kLcity); }
    void setLcity(const QString &value) { setText(kLcity, value); }
    const QString &Lcountry() const { return Text(kLcountry); }
    void setLcountry(const QString &value) { setText(kLcountry, value); }
    const QString &Notes() const { return Text(kNotes); }
    void setNotes(const QString &value) { setText(kNotes, value); }

    // The text of a column, and setting it.
    const QString &Text(Column column) const;
    void setText(Column column, const QString &value);

    // The row this person mirrors, and back.
    PersonRecord toRecord() const;
    void fromRecord(const PersonRecord &record);

    // Equal values in every column.
    bool operator==(const cPerson &other) const;

private:
    friend class Chart::PeopleStore;
    static constexpr quint32 kNotKept = 0xFFFFFFFFu;

    Chart::PeopleStore *m_store = nullptr; // the collection's store, for a kept person
    std::unique_ptr<std::array<QString, kColumns>> m_own; // the texts of a person on its own
    std::array<quint32, kColumns> m_text{}; // a kept person's texts, as numbers in the store
    quint32 m_slot = 0;                     // a kept person's place in the store
    quint32 m_group = kNotKept;             // its parent key's group, while the collection holds it
};

using cPersonPtr = std::shared_ptr<cPerson>;
