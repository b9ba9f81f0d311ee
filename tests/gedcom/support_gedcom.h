#pragma once

#include "Document.h"
#include "Export.h"
#include "Import.h"

#include <QByteArray>
#include <QStringList>

// Helpers shared by the GEDCOM tests: files built from lines, plans and rows.
namespace TestGedcom {

// A GEDCOM file: HEAD with the header lines, the body lines, TRLR; lines end with LF.
QByteArray file(const QStringList &body,
                const QStringList &header = {QStringLiteral("1 GEDC"),
                                             QStringLiteral("2 VERS 5.5.1"),
                                             QStringLiteral("1 CHAR UTF-8")});
// The same for a file this program wrote (HEAD.SOUR VelkinTree).
QByteArray ownFile(const QStringList &body, bool version7 = false);

Gedcom::ImportPlan plan(const QByteArray &bytes, const Gedcom::ImportContext &context = {});
QList<PersonRecord> rows(const Gedcom::ImportPlan &plan);
// The row with the ID; an empty record (and a failed QVERIFY in the caller's eyes) when absent.
PersonRecord row(const Gedcom::ImportPlan &plan, const QString &id);
bool hasRow(const Gedcom::ImportPlan &plan, const QString &id);

// rows -> export -> import: the rows again.
QList<PersonRecord> roundTrip(const QList<PersonRecord> &rows, Gedcom::Version version,
                              QByteArray *exported = nullptr);
// The exported bytes without HEAD's DATE and TIME lines.
QByteArray withoutTimestamp(const QByteArray &exported);

// The path of a public sample file, or an empty string when the samples are not there.
QString samplePath(const char *name);

} // namespace TestGedcom

char *toString(const PersonRecord &record);

#define VT_REQUIRE_SAMPLE(variable, name)                                                          \
    const QString variable = TestGedcom::samplePath(name);                                         \
    if (variable.isEmpty())                                                                        \
        QSKIP("The public GEDCOM samples (" VT_GEDCOM_SAMPLES ") are not there.");
