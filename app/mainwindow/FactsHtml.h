#pragma once

#include "PersonFacts.h"

#include <QString>
#include <QStringList>

// The page of the panel's "Family and events" tab for a person's facts: the parents, the
// partners with their families' events and children, the events in date order (a mark where
// sources are cited) and the sources cited. Each person the page names who has a row is a link
// "p:N", N indexing `links` (their keys), so that any key, whatever its characters, is followed
// as it is. A link "e:" beside the person's name opens the edit window for the person.
struct FactsPage
{
    QString html;
    QStringList links;
};

FactsPage FactsHtml(const Genealogy::PersonFacts &facts);

// The mark beside an event for which sources are cited.
inline constexpr QStringView kCitedMark = u"*";
