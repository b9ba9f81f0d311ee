#pragma once

#include "ModelSlice.h"

#include <QString>

#include <vector>

// Families and sources of one tree that are likely one record twice, best first: what Find
// Duplicates lists beside the persons.
namespace Genealogy::RecordPairs {

struct Pair
{
    int score = 0; // 100: the same couple, the same title and author; 80: one lacks a partner,
                   // an author
    quint32 keep = kNoIndex;
    quint32 other = kNoIndex;
};

// Two families that can be one: the same two partners, or one partner the same and the other
// family without a second partner.
std::vector<Pair> families(const ModelSlice &tree);
// Two sources of the same title (case, accents and blanks aside): the same author (or none) too.
std::vector<Pair> sources(const TreeModel &model);

// How a family and a source are named in the list: "Adam Old + Bea Old", the title.
QString familyText(const ModelSlice &tree, quint32 family);
QString sourceText(const TreeModel &model, quint32 source);

} // namespace Genealogy::RecordPairs
