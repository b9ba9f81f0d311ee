#pragma once

#include "PersonRecord.h"

#include <QString>

#include <memory>

// One person held in memory: the mirror of one row of a tree table, one text per column.
// `Key` is the row's ID. Plain data: accessors store and return values unchanged.
class cPerson
{
public:
    cPerson() = default;
    explicit cPerson(const PersonRecord &record);

    const QString &Key() const { return m_Key; }
    void setKey(const QString &value) { m_Key = value; }
    const QString &PrntKey() const { return m_PrntKey; }
    void setPrntKey(const QString &value) { m_PrntKey = value; }
    const QString &Fname() const { return m_Fname; }
    void setFname(const QString &value) { m_Fname = value; }
    const QString &Sname() const { return m_Sname; }
    void setSname(const QString &value) { m_Sname = value; }
    const QString &PrtFname() const { return m_PrtFname; }
    void setPrtFname(const QString &value) { m_PrtFname = value; }
    const QString &PrtSname() const { return m_PrtSname; }
    void setPrtSname(const QString &value) { m_PrtSname = value; }
    const QString &Bdate() const { return m_Bdate; }
    void setBdate(const QString &value) { m_Bdate = value; }
    const QString &Ddate() const { return m_Ddate; }
    void setDdate(const QString &value) { m_Ddate = value; }
    const QString &Bplace() const { return m_Bplace; }
    void setBplace(const QString &value) { m_Bplace = value; }
    const QString &Dplace() const { return m_Dplace; }
    void setDplace(const QString &value) { m_Dplace = value; }
    const QString &Laddress() const { return m_Laddress; }
    void setLaddress(const QString &value) { m_Laddress = value; }
    const QString &Lcity() const { return m_Lcity; }
    void setLcity(const QString &value) { m_Lcity = value; }
    const QString &Lcountry() const { return m_Lcountry; }
    void setLcountry(const QString &value) { m_Lcountry = value; }
    const QString &Notes() const { return m_Notes; }
    void setNotes(const QString &value) { m_Notes = value; }

    // The row this person mirrors, and back.
    PersonRecord toRecord() const;
    void fromRecord(const PersonRecord &record);

    bool operator==(const cPerson &) const = default;

private:
    QString m_Key;
    QString m_PrntKey;
    QString m_Fname;
    QString m_Sname;
    QString m_PrtFname;
    QString m_PrtSname;
    QString m_Bdate;
    QString m_Ddate;
    QString m_Bplace;
    QString m_Dplace;
    QString m_Laddress;
    QString m_Lcity;
    QString m_Lcountry;
    QString m_Notes;
};

using cPersonPtr = std::shared_ptr<cPerson>;
