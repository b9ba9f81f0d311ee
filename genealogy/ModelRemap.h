#pragma once

#include "TreeModel.h"

#include <vector>

// Moving records of a model about: every reference to a record (owners, pointers kept as read,
// the plain index fields) follows it. What merging two records needs: point everything at one
// of them, then let the other go.
namespace Genealogy::ModelRemap {

// Every reference to record `from` of `kind` names record `to` instead (owners of events,
// citations, notes, media and kept structures, kept pointers, and the plain fields: a name's or
// a partnership's person, a family's partners, a child link's family and child, an
// association's persons, a note break's person, a citation's or repository link's source).
// Kinds: Person, Family, Event, Name, ChildLink, Association, Source.
void redirect(TreeModel &model, Kind kind, quint32 from, quint32 to);

// Every owner or kept pointer that is `from` becomes `to` (a record of another kind: the
// citations of a child link that goes move to its child).
void reown(TreeModel &model, Ref from, Ref to);

// Renumbers the records of `kind`: record i becomes record newIndex[i], or goes when that is
// kNoIndex (nothing may name it any more: redirect first). The new indexes of the records that
// stay are 0..n-1, each once. For Person the side records are renumbered (the caller renumbers
// the rows the same way).
void renumber(TreeModel &model, Kind kind, const std::vector<quint32> &newIndex);

// A renumbering that lets the records in `gone` go and keeps the others in their order.
std::vector<quint32> without(quint32 count, const std::vector<quint32> &gone);

// Keeps the records of a plain table (one nothing refers to by index) for which keep(i) holds.
template <typename T, typename Keep> void filter(Table<T> &table, Keep keep)
{
    std::vector<T> rows;
    rows.reserve(table.size());
    for (quint32 i = 0; i < table.size(); ++i) {
        if (keep(i))
            rows.push_back(table[i]);
    }
    table.clear();
    for (const T &row : rows)
        table.add(row);
}

} // namespace Genealogy::ModelRemap
