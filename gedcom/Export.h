#pragma once

#include "PersonRecord.h"
#include "PrivacyFilter.h"
#include "Result.h"
#include "Version.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QStringList>

#include <functional>

namespace Gedcom {

struct ExportOptions
{
    Version version = Version::Gedcom551;
    // The photo files of a person (full paths), one OBJE each; none when not set. A file whose
    // name is not valid UTF-8 (which no text of the file could name) comes as its file: URL, its
    // bytes percent-encoded, and is written so in both versions.
    std::function<QStringList(const QString &id)> photosOf;
    // HEAD.DATE and TIME (UTC); the current time when not valid.
    QDateTime timestamp;
    // The name in the SUBM record.
    QString submitter = QStringLiteral("VelkinTree user");
    // What exportFromStore leaves out of the living and the private (nothing by default: a
    // backup stays whole).
    Genealogy::PrivacyOptions privacy;
    // When set, the text goes to this function piece by piece as it is written, and the
    // result's data stays empty: a large tree is never in memory as a whole text. It returns
    // false when it could not take the bytes; nothing more is sent then (ExportResult::sinkFailed).
    std::function<bool(QByteArrayView bytes)> sink;
};

struct ExportResult
{
    QByteArray data;
    qsizetype rows = 0;    // rows written, each as an INDI
    qsizetype persons = 0; // INDI records: the rows and the partners written for them
    qsizetype families = 0;
    bool sinkFailed = false; // the options' sink refused bytes: the text is not whole
};

// Writes one tree, rows in the order given, as GEDCOM 5.5.1 (UTF-8, lines of at most 255
// bytes) or 7.0 (UTF-8 with a byte order mark, no CONC).
//
// Each row is an INDI: NAME "Fname /Sname/" with GIVN and SURN, BIRT and DEAT with DATE and
// PLAC, RESI with ADDR (CITY, CTRY; ADR1 in 5.5.1 only), its FAMC and FAMS, NOTE, an OBJE for
// each photo, and REFN with the row's ID and TYPE VelkinTree (xrefs are generated, @I1@, @F1@,
// as keys may hold any text). No SEX: the rows do not say it. A row with a partner or children
// gets a FAM with the row as first partner (HUSB) and the partner as WIFE: an INDI of its own
// made from the partner's name, or the partner's row for a pair (see ExportLinks), with a CHIL
// for each child row. A PrntKey that is not a link (ExportLinks) is written as _PRNTKEY
// (declared in 7.0's SCHMA). The submitter is @X1@. These are the lines writeTree writes for
// the same rows: a tree's first side record changes nothing else in its export. Dates: see
// DateText::toGedcom.
ExportResult exportRows(const QList<PersonRecord> &rows, const ExportOptions &options);

// Writes the bytes to a temporary file in the target's folder and renames it over the target
// once they are all on the disk (ReplacingFile): the target is never left half-written, and an
// existing target that is not a regular file (a pipe, a device) is refused. On failure the target
// is as it was, and the error's text is a sentence naming the path and saying what happened.
Result<void> writeFileAtomically(const QString &path, const QByteArray &data);

} // namespace Gedcom
