#pragma once

#include <QString>

// Writes a GEDCOM 5.5.1 file of generated families, the way another program would: founders and
// their descendants over ten generations, each descendant with a partner from outside, birth and
// death dates and places, and notes; FAM records with HUSB, WIFE and CHIL, INDI records with FAMC
// and FAMS. Deterministic for a given number of persons.
class FamilyGenerator
{
public:
    explicit FamilyGenerator(qsizetype persons) : m_persons(persons) {}

    // Streams the file to `path`; false when it cannot be written.
    bool write(const QString &path) const;

private:
    qsizetype m_persons;
};
