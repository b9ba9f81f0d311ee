#pragma once

#include "Export.h"
#include "TreeModel.h"

namespace Gedcom {

// Writes one tree, its rows (in the order given) and its model (person i is row i; a model with
// no persons stands for a tree without side records), as GEDCOM 5.5.1 (UTF-8) or 7.0 (UTF-8 with
// a byte order mark, no CONC, SCHMA for the extension tags used, PLAC.FORM, MAP, SNOTE).
//
//  - Each row is an INDI (@I1@ for the first row): its names (the primary one from Fname and
//    Sname and its pieces), SEX, RESN, events with everything under them (the first birth's and
//    death's date and place, and the residence's address, from the row), FAMC with PEDI (and
//    _PEDI2 for a relation to the second partner that differs from the first's), FAMS, ASSO and
//    ALIA, notes (the row's Notes as the notes it was joined from), citations, media links, an
//    OBJE for each file of the person's photo folder that no media link of the person already
//    names, REFN with the row's ID (TYPE VelkinTree), and _PRNTKEY when the row's PrntKey is not
//    what the family links give on import (lineOf).
//  - Each family is a FAM (@F1@...): HUSB or WIFE for each partner as read, _RELTYPE for a
//    stated relation (MARRIED, UNMARRIED, CIVIL_UNION), RESN, events, CHIL in order, notes,
//    citations, media. A row that is a child in no family of the model and whose PrntKey names
//    another row becomes a child of a family of that row (with, for a row in no family of the
//    model, a partner made from its partner columns), as it always was.
//  - SOUR, REPO, NOTE (7.0: SNOTE) and OBJE records; the records kept as read, each with an id
//    of its own (@X1@...) when it had one; a SUBM of this program's unless the file kept one.
//  - Every structure kept as read goes back in its place, its pointers written as the ids above.
// Dates: the model's as normalised, written in the version's own syntax; the row's as
// DateText::toGedcom writes them.
ExportResult writeTree(const QList<PersonRecord> &rows, const Genealogy::TreeModel &model,
                       const ExportOptions &options);

// The extension tags this program writes and the URI that documents each (7.0 SCHMA).
struct OwnExtension
{
    const char *tag;
    const char *uri;
};
const OwnExtension *ownExtensions(int &count);

} // namespace Gedcom
