#pragma once

#include "Document.h"
#include "ImportPlan.h"
#include "Progress.h"

namespace Gedcom {

// Maps a document onto the rows of one new tree. A row is one person of the blood line with the
// name of one partner; its children point to it by PrntKey.
//  1. Each family's line parent is the first partner (HUSB and WIFE in file order, whatever the
//     sexes) who is a child in a family of the file; when none or more than one is, the first
//     partner. The family's children point to the line parent's row.
//  2. A person who is nobody's child and not only a partner is a root (kRootKey); so are the
//     children of a family without partners.
//  3. A row's partner names come from the first family (in the person's FAMS order) in which the
//     person is the line parent; none when that family names no other partner (its children
//     are not a later partner's). Further partners of such families go into the notes ("Also
//     partner of: Given Surname (birth–death)"). When the partner has a row too (and no partner
//     of their own), the two rows name each other and both end their notes with "Partner ID:
//     <the other's ID>"; the other partner's row also says "Children listed under: <line
//     parent's ID>".
//  4. A child of several families takes the first whose PEDI is birth or missing, else the first;
//     each other family adds "Also child of: <partners> (<pedigree>)".
//  5. ID: the xref without @, or in a file this program wrote the REFN it wrote; made unique
//     (KeyAssigner). Names, birth, death, residence and notes as PersonFacts reads them; the notes
//     end with the other events and attributes, the family events of the families the person is
//     the line parent of, and the birth and death of a partner who has no row.
//  6. Photos: each OBJE FILE that PhotoLocator finds, under its own file name.
//  7. Counts: every INDI once, as R (has a row), else P (partner of a row), else M (noted only).
ImportPlan planImport(const Document &doc, const ImportContext &context,
                      const Progress &progress = {});

// Reads the file and maps it; the context's GEDCOM folder defaults to the file's folder.
ImportPlan planImportFile(const QString &path, ImportContext context,
                          const Progress &progress = {});

} // namespace Gedcom
