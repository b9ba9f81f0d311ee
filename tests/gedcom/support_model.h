#pragma once

#include "Document.h"
#include "ModelExport.h"
#include "ModelImport.h"
#include "PersonRow.h"

#include <QSet>
#include <QStringList>

// Helpers for the tests of the mapping onto rows and the model and of writing both back.
namespace TestModel {

Gedcom::MappedTree map(const QByteArray &bytes, const Gedcom::ImportContext &context = {});
QList<PersonRecord> rows(const Gedcom::MappedTree &tree);
// The rows as the rules between rows and model see them.
std::vector<Genealogy::PersonRow> personRows(const QList<PersonRecord> &rows);
// The disagreements of the tree check (none when the rows and the model agree).
QStringList check(const Gedcom::MappedTree &tree);
// The index of the row with the key, or -1.
int rowOf(const Gedcom::MappedTree &tree, const QString &id);

// Written with a fixed time stamp, so that two writes compare byte for byte.
QByteArray write(const Gedcom::MappedTree &tree, Gedcom::Version version);

// The parent links ("child > parent") and partner links ("a + b", the lesser key first) a
// file's families state, by the persons' keys: the REFN of a file this program wrote, else the
// xref without @.
struct Links
{
    QSet<QString> parents;
    QSet<QString> partners;
};
Links links(const QByteArray &bytes);

} // namespace TestModel
