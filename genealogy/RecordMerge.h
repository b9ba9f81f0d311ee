#pragma once

#include "ModelSlice.h"
#include "Result.h"

#include <QStringList>

#include <array>

// Joining two records of a tree that stand for one: two families, two sources. KEEP survives,
// every record that named OTHER names KEEP, OTHER goes. Each works on the tree it is given and
// leaves it unchanged when it refuses. The result lists what was done, one line each.
namespace Genealogy::RecordMerge {

// Two families of one couple (or one with a partner the other lacks): OTHER's partners fill
// KEEP's free places, its events, children, citations, notes and media move to KEEP (a child in
// both stays once), its partnerships become KEEP's; KEEP's relation type stays unless unknown.
// Refused when together they would have more than two partners.
Result<QStringList> mergeFamilies(ModelSlice &tree, quint32 keep, quint32 other);

// The fields of a source, in the order of Source: title, author, publication, abbreviation, text.
enum class SourceField { Title, Author, Publication, Abbreviation, Text, Count };
// For each field whether OTHER's value is taken (else KEEP's; an empty value of KEEP takes
// OTHER's by default).
using SourceChoice = std::array<bool, size_t(SourceField::Count)>;
SourceChoice defaultSourceChoice(const TreeModel &model, quint32 keep, quint32 other);
// Two sources: KEEP takes the chosen fields, every citation of OTHER cites KEEP, OTHER's
// repositories (call numbers joined), notes and media move to KEEP.
Result<QStringList> mergeSources(ModelSlice &tree, quint32 keep, quint32 other,
                                 const SourceChoice &choice);

// What joining leaves to tidy, done in place for the families a join touched (those `person` is
// a partner or child of, and `family`; the whole tree when both are kNoIndex): a family naming
// one person twice names them once; a person is a partner of a family once and a child of it once
// (the second link's citations move to the first); a child link whose child is a partner of the
// family goes (nobody is their own parent), and an association of the person with themself, their
// citations moving to the person; families of the same two partners are joined. The partner
// columns of their partners follow.
void tidy(ModelSlice &tree, QStringList &done, quint32 person = kNoIndex,
          quint32 family = kNoIndex);

// The partner columns of every row (of one row) whose person is a partner in some family, as the
// model gives them.
void followPartnerColumns(ModelSlice &tree);
void followPartnerColumns(ModelSlice &tree, quint32 person);

} // namespace Genealogy::RecordMerge
