#pragma once

#include <QString>

// The lines an import adds to a row's notes to keep two partners who both have rows together,
// and the reverse step for the export, which writes such a pair as one family and leaves the
// lines out (the next import adds them again).
namespace Gedcom::NotesText {

QString partnerIdLine(const QString &id);           // "Partner ID: <id>"
QString childrenListedUnderLine(const QString &id); // "Children listed under: <id>"

// Appends a line: after a line feed unless the notes are empty.
void appendLine(QString &notes, const QString &line);

// The end of a row's notes as an import writes it for a partner pair.
struct PartnerLines
{
    bool found = false;
    QString base;                // the notes before the lines
    QString partnerId;           // from the last line
    bool childrenLine = false;   // the line before it is "Children listed under: <id>"
    QString childrenListedUnder; // that id
};

// Splits the partner lines off the notes. `found` only when appending the lines to `base`
// gives the notes back exactly.
PartnerLines splitPartnerLines(const QString &notes);

} // namespace Gedcom::NotesText
