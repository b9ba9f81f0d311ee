#include "cPerson.h"

cPerson::cPerson(const PersonRecord &record)
{
    fromRecord(record);
}

PersonRecord cPerson::toRecord() const
{
    PersonRecord record;
    record.ID = m_Key;
    record.PrntKey = m_PrntKey;
    record.Fname = m_Fname;
    record.Sname = m_Sname;
    record.PrtFname = m_PrtFname;
    record.PrtSname = m_PrtSname;
    record.Bdate = m_Bdate;
    record.Ddate = m_Ddate;
    record.Bplace = m_Bplace;
    record.Dplace = m_Dplace;
    record.Laddress = m_Laddress;
    record.Lcity = m_Lcity;
    record.Lcountry = m_Lcountry;
    record.Notes = m_Notes;
    return record;
}

void cPerson::fromRecord(const PersonRecord &record)
{
    m_Key = record.ID;
    m_PrntKey = record.PrntKey;
    m_Fname = record.Fname;
    m_Sname = record.Sname;
    m_PrtFname = record.PrtFname;
    m_PrtSname = record.PrtSname;
    m_Bdate = record.Bdate;
    m_Ddate = record.Ddate;
    m_Bplace = record.Bplace;
    m_Dplace = record.Dplace;
    m_Laddress = record.Laddress;
    m_Lcity = record.Lcity;
    m_Lcountry = record.Lcountry;
    m_Notes = record.Notes;
}
