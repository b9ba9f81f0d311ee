#pragma once

#include "Document.h"
#include "ImportPlan.h"
#include "Progress.h"
#include "TreeModel.h"

#include <QList>
#include <QPair>

namespace Gedcom {

// What an import kept beside the rows.
struct ModelCounts
{
    qsizetype families = 0;
    qsizetype events = 0;     // event records (a birth or death the row holds whole is none)
    qsizetype eventsRead = 0; // every event read, those the rows hold whole too
    qsizetype sources = 0;
    qsizetype citations = 0;
    qsizetype notes = 0;
    qsizetype media = 0;
    qsizetype places = 0;
    qsizetype kept = 0;                            // structures kept as read
    QList<QPair<QByteArray, qsizetype>> keptByTag; // by tag, by name
};

// One tree read from a GEDCOM file: its rows (one per INDI, in file order, with the photos to
// copy) and its model (person i is row i).
struct MappedTree
{
    Error error; // why the file gave no tree; then there are no rows
    QList<PlannedRow> rows;
    Genealogy::TreeModel model;
    ImportCounts counts; // persons = rows; no partners or noted persons any more
    ModelCounts modelCounts;

    bool isValid() const { return !error; }
    // The import's summary (ImportPlan::summary) and a paragraph naming what was kept as read,
    // by tag and count.
    QString summary(qsizetype photosCopied = -1, qsizetype photosFailed = 0) const;
    // What follows the result line's beginning: "; F families, E events, S sources, C
    // citations, K kept as read".
    QString resultLineTail() const;
};

// Maps a document onto the rows of one new tree and its model, keeping every fact:
//  - every INDI is a row. Rows in the line of descent are those today's rules give one: a child
//    of a family, a person in no family, the line parent of a family (the first partner who is
//    a child, else the first partner). A child's PrntKey is the line parent of its first family
//    whose PEDI is birth or missing (else of its first family); "ROOT" for the others in the
//    line. A partner who is none of these is outside the line: PrntKey empty.
//  - ID: the xref without @ (in a file this program wrote, the REFN it wrote), made unique
//    without regard to case and apart from the keys the context reports taken (KeyAssigner).
//  - Fname/Sname: the first NAME's GIVN and SURN, else its parts; Bdate/Bplace and Ddate/Dplace
//    from the first BIRT and DEAT; Laddress/Lcity/Lcountry from the last RESI with an ADDR;
//    PrtFname/PrtSname: the other partner of the person's first family; Notes: the person's own
//    inline notes, joined by a blank line.
//  - every FAM is a family with both partners and every child with its PEDI; every event and
//    attribute with all its substructures; SOUR, REPO, NOTE/SNOTE and OBJE records and every
//    citation; every name with its pieces and type; ASSO, ALIA, RESN.
//  - every other structure is kept as read, with its owner and position.
//  - photos: each OBJE FILE right under an INDI that PhotoLocator finds, as planImport does.
MappedTree mapDocument(const Document &doc, const ImportContext &context,
                       const Progress &progress = {});

// Reads the file and maps it; the context's GEDCOM folder defaults to the file's folder.
MappedTree mapFile(const QString &path, ImportContext context, const Progress &progress = {});

} // namespace Gedcom
