#pragma once

#include <QByteArray>

namespace GedcomFacts {

// A GEDCOM file that holds every tag the genealogical model knows, each with every substructure
// the version allows: every individual event and attribute, the LDS ordinances, every family
// event, dates of each kind (phrases, dual years, calendars, ranges), places with their form and
// coordinates, ages, causes, addresses, agencies, religions, types, notes inline and shared,
// citations with page, quality, data and text, media links, privacy; names with every piece and
// type; every sex; children with each pedigree; associations and aliases; source, repository,
// note, media and submitter records; extension tags at several levels and an unknown vendor
// record; a full header. Every person has a name and birth year of its own, so the file can be
// compared fact by fact with what a program makes of it.
//
// `version7`: GEDCOM 7.0 (SNOTE, SCHMA, PHRASE, enumerations in upper case, no CONC); else
// 5.5.1 (shared NOTE records, CONC for long values, @@ for @). UTF-8, lines end with LF. The same
// arguments always give the same bytes.
QByteArray allTagsFile(bool version7);

} // namespace GedcomFacts
