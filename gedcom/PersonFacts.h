#pragma once

#include "Document.h"

#include <QStringList>

namespace Gedcom {

// Reads what a row needs from one INDI (or FAM) structure of a document: the name, birth,
// death, residence, notes, and one line of text for each other event or attribute.
class PersonFacts
{
public:
    explicit PersonFacts(const Document &doc) : m_doc(doc) {}

    struct Name
    {
        QString given;
        QString surname;
        QString display() const; // "Given Surname"
    };
    struct Event
    {
        QString date;
        QString place;
    };
    struct Address
    {
        QString address;
        QString city;
        QString country;
        int source = -1; // the RESI or ADDR node it came from
    };

    // The first NAME: GIVN and SURN where present, else the parts of the NAME value (the given
    // names before the first slash, the surname between the slashes).
    Name name(int indi) const;
    // DATE (see DateText::fromGedcom) and PLAC of an event structure; empty for node -1.
    Event event(int eventNode) const;
    // The last RESI that has an ADDR, or the last ADDR right under the person: the ADDR value
    // with its CONT lines (or else ADR1 to ADR3), CITY and CTRY.
    Address address(int indi) const;
    // Every NOTE and SNOTE right under the structure, inline or by pointer, in file order.
    QStringList notes(int node) const;
    // One line per other name, name piece, event or attribute of a person that has no column:
    // "Occupation: Farmer", "Burial: 3 MAY 1901, Leeds". A second BIRT or DEAT counts as other;
    // the residence used for the address gives a line only when it has more to tell.
    QStringList personLines(int indi, int addressSource) const;
    // One line per event of a family ("Marriage: 1840, London"), with the partner's name after
    // the word when `withWhom` is given ("Marriage with Albert Wettin: 1840").
    QStringList familyLines(int fam, const QString &withWhom) const;
    // The text of the REFN, _PRNTKEY... child, or a null string when there is none.
    QString childText(int node, Tag tag) const;

private:
    QString noteText(int noteNode) const;
    QString details(int eventNode, bool withAddress) const;
    QString eventLine(int eventNode, const QString &label, const QString &withWhom,
                      bool withAddress) const;
    QStringList nameLines(int indi) const;

    const Document &m_doc;
};

} // namespace Gedcom
