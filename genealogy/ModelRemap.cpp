#include "ModelRemap.h"

#include <algorithm>

namespace Genealogy::ModelRemap {

namespace {

// Calls f on every Ref of the model that can name a record (owners and kept pointers).
template <typename F> void eachRef(TreeModel &m, F f)
{
    for (quint32 i = 0; i < m.events.size(); ++i) {
        if (Ref r = m.events[i].owner; f(r))
            m.events.edit(i).owner = r;
    }
    for (quint32 i = 0; i < m.citations.size(); ++i) {
        if (Ref r = m.citations[i].owner; f(r))
            m.citations.edit(i).owner = r;
    }
    for (quint32 i = 0; i < m.noteLinks.size(); ++i) {
        if (Ref r = m.noteLinks[i].owner; f(r))
            m.noteLinks.edit(i).owner = r;
    }
    for (quint32 i = 0; i < m.mediaLinks.size(); ++i) {
        if (Ref r = m.mediaLinks[i].owner; f(r))
            m.mediaLinks.edit(i).owner = r;
    }
    for (quint32 i = 0; i < m.kept.size(); ++i) {
        if (Ref r = m.kept[i].owner; f(r))
            m.kept.edit(i).owner = r;
    }
    for (quint32 i = 0; i < m.keptLines.size(); ++i) {
        if (m.keptLines[i].kind != KeptLine::Value::Pointer)
            continue;
        if (Ref r = m.keptLines[i].target; f(r))
            m.keptLines.edit(i).target = r;
    }
}

// Calls f on every plain index field that names a record of `kind`; f changes it in place and
// says whether it did.
template <typename F> void eachIndex(TreeModel &m, Kind kind, F f)
{
    auto each = [&](auto &table, auto... fields) {
        for (quint32 i = 0; i < table.size(); ++i) {
            auto row = table[i];
            bool changed = false;
            ((changed = f(row.*fields) || changed), ...);
            if (changed)
                table.edit(i) = row;
        }
    };
    switch (kind) {
    case Kind::Person:
        each(m.names, &Name::person);
        each(m.partnerships, &Partnership::person);
        for (quint32 i = 0; i < m.families.size(); ++i) {
            Family f2 = m.families[i];
            const bool a = f(f2.partner[0]);
            const bool b = f(f2.partner[1]);
            if (a || b)
                m.families.edit(i) = f2;
        }
        each(m.childLinks, &ChildLink::child);
        each(m.associations, &Association::person, &Association::target);
        each(m.noteBreaks, &NoteBreak::person);
        break;
    case Kind::Family:
        each(m.partnerships, &Partnership::family);
        each(m.childLinks, &ChildLink::family);
        break;
    case Kind::Source:
        each(m.citations, &Citation::source);
        each(m.repositoryLinks, &RepositoryLink::source);
        break;
    default:
        break;
    }
}

template <typename T> void reorder(Table<T> &table, const std::vector<quint32> &newIndex)
{
    const quint32 kept = quint32(
        std::count_if(newIndex.begin(), newIndex.end(), [](quint32 n) { return n != kNoIndex; }));
    std::vector<T> rows(kept);
    for (quint32 i = 0; i < table.size() && i < newIndex.size(); ++i) {
        if (newIndex[i] != kNoIndex)
            rows[newIndex[i]] = table[i];
    }
    table.clear();
    table.reserve(rows.size());
    for (const T &row : rows)
        table.add(row);
}

} // namespace

void redirect(TreeModel &model, Kind kind, quint32 from, quint32 to)
{
    eachRef(model, [&](Ref &r) {
        if (r.kind() != kind || r.index() != from)
            return false;
        r = Ref(kind, to);
        return true;
    });
    eachIndex(model, kind, [&](quint32 &index) {
        if (index != from)
            return false;
        index = to;
        return true;
    });
}

void reown(TreeModel &model, Ref from, Ref to)
{
    eachRef(model, [&](Ref &r) {
        if (r != from)
            return false;
        r = to;
        return true;
    });
}

void renumber(TreeModel &model, Kind kind, const std::vector<quint32> &newIndex)
{
    auto mapped = [&](quint32 index) { return index < newIndex.size() ? newIndex[index] : index; };
    eachRef(model, [&](Ref &r) {
        if (r.kind() != kind)
            return false;
        r = Ref(kind, mapped(r.index()));
        return true;
    });
    eachIndex(model, kind, [&](quint32 &index) {
        if (index == kNoIndex)
            return false;
        index = mapped(index);
        return true;
    });
    switch (kind) {
    case Kind::Person:
        reorder(model.persons, newIndex);
        break;
    case Kind::Family:
        reorder(model.families, newIndex);
        break;
    case Kind::Event:
        reorder(model.events, newIndex);
        break;
    case Kind::Name:
        reorder(model.names, newIndex);
        break;
    case Kind::ChildLink:
        reorder(model.childLinks, newIndex);
        break;
    case Kind::Association:
        reorder(model.associations, newIndex);
        break;
    case Kind::Source:
        reorder(model.sources, newIndex);
        break;
    default:
        break;
    }
}

std::vector<quint32> without(quint32 count, const std::vector<quint32> &gone)
{
    std::vector<quint32> map(count, 0);
    for (quint32 g : gone) {
        if (g < count)
            map[g] = kNoIndex;
    }
    quint32 next = 0;
    for (quint32 &n : map) {
        if (n != kNoIndex)
            n = next++;
    }
    return map;
}

} // namespace Genealogy::ModelRemap
