#pragma once

#include "PersonRow.h"
#include "TreeModel.h"

#include <vector>

namespace Genealogy {

// A part of a tree's model around one person, as the panel and the person's facts show it: the
// rows of the persons it names (the person, the partners, the parents, the children, the persons
// of associations) and a model whose person i is rows[i], holding the person's records, the
// families the person is a partner or a child in, and the sources, notes and media those cite.
// The store reads one when a person is shown; a model made from a file is a slice of every person.
struct ModelSlice
{
    std::vector<PersonRow> rows;
    TreeModel model;
    quint32 person = kNoIndex; // the person the slice is about
};

} // namespace Genealogy
