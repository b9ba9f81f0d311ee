#include "DraftRecords.h"

#include <numeric>
#include <optional>

using namespace Genealogy;

namespace DraftRecords {

namespace {

template <class R> void rebuild(Genealogy::Table<R> &table, const std::vector<quint32> &order)
{
    const std::vector<R> old = table.all();
    table.clear();
    for (quint32 i : order)
        table.add(old[i]);
}

quint32 mapped(const std::vector<quint32> &newIndex, quint32 index)
{
    return index < newIndex.size() ? newIndex[index] : index;
}

void remapRef(Ref &ref, Kind kind, const std::vector<quint32> &newIndex)
{
    if (ref.is(kind))
        ref = Ref(kind, mapped(newIndex, ref.index()));
}

// Every Ref of the model that names a record of `kind` follows the new numbers.
void remapRefs(TreeModel &m, Kind kind, const std::vector<quint32> &newIndex)
{
    const auto each = [&](auto &table, auto field) {
        for (quint32 i = 0; i < table.size(); ++i)
            if ((table[i].*field).is(kind))
                remapRef(table.edit(i).*field, kind, newIndex);
    };
    each(m.events, &Event::owner);
    each(m.citations, &Citation::owner);
    each(m.noteLinks, &NoteLink::owner);
    each(m.mediaLinks, &MediaLink::owner);
    each(m.kept, &Kept::owner);
    each(m.keptLines, &KeptLine::target);
}

std::optional<Kind> kindOf(Table table)
{
    switch (table) {
    case Table::Name:
        return Kind::Name;
    case Table::Event:
        return Kind::Event;
    case Table::Citation:
        return Kind::Citation;
    case Table::ChildLink:
        return Kind::ChildLink;
    case Table::Kept:
        return Kind::Kept;
    default:
        return std::nullopt;
    }
}

quint32 sizeOf(const TreeModel &m, Table table)
{
    switch (table) {
    case Table::Name:
        return m.names.size();
    case Table::Event:
        return m.events.size();
    case Table::EventDetail:
        return m.eventDetails.size();
    case Table::Citation:
        return m.citations.size();
    case Table::NoteLink:
        return m.noteLinks.size();
    case Table::MediaLink:
        return m.mediaLinks.size();
    case Table::ChildLink:
        return m.childLinks.size();
    case Table::Kept:
        return m.kept.size();
    }
    return 0;
}

// The first record of `table` owned by `owner`, or kNoIndex.
template <class R> quint32 firstOwned(const Genealogy::Table<R> &table, Ref owner)
{
    for (quint32 i = 0; i < table.size(); ++i)
        if (table[i].owner == owner)
            return i;
    return kNoIndex;
}

// The lines of a kept structure go with it; the later structures' lines move up.
void removeKeptLines(TreeModel &m, quint32 first, quint32 count)
{
    if (count == 0 || first >= m.keptLines.size())
        return;
    std::vector<quint32> order;
    for (quint32 i = 0; i < m.keptLines.size(); ++i)
        if (i < first || i >= first + count)
            order.push_back(i);
    rebuild(m.keptLines, order);
    for (quint32 k = 0; k < m.kept.size(); ++k)
        if (m.kept[k].firstLine > first)
            m.kept.edit(k).firstLine -= count;
}

// An address no record names any more goes; the later ones move up.
void removeAddress(TreeModel &m, quint32 address)
{
    if (address >= m.addresses.size())
        return;
    for (const EventDetail &d : m.eventDetails.all())
        if (d.address == address)
            return;
    for (const Repository &r : m.repositories.all())
        if (r.address == address)
            return;
    std::vector<quint32> order;
    for (quint32 i = 0; i < m.addresses.size(); ++i)
        if (i != address)
            order.push_back(i);
    rebuild(m.addresses, order);
    for (quint32 i = 0; i < m.eventDetails.size(); ++i)
        if (m.eventDetails[i].address != kNoIndex && m.eventDetails[i].address > address)
            --m.eventDetails.edit(i).address;
    for (quint32 i = 0; i < m.repositories.size(); ++i)
        if (m.repositories[i].address != kNoIndex && m.repositories[i].address > address)
            --m.repositories.edit(i).address;
}

// An owner's own note (not shared) that no link names any more goes with its last link.
void removeUnusedNote(TreeModel &m, quint32 note)
{
    if (note >= m.notes.size() || (m.notes[note].flags & Note::Shared))
        return;
    for (const NoteLink &link : m.noteLinks.all())
        if (link.note == note)
            return;
    for (const Kept &kept : m.kept.all())
        if (kept.owner == Ref(Kind::Note, note))
            return;
    for (const KeptLine &line : m.keptLines.all())
        if (line.target == Ref(Kind::Note, note))
            return;
    std::vector<quint32> order;
    std::vector<quint32> newIndex(m.notes.size());
    for (quint32 i = 0; i < m.notes.size(); ++i)
        if (i != note) {
            newIndex[i] = quint32(order.size());
            order.push_back(i);
        }
    rebuild(m.notes, order);
    for (quint32 i = 0; i < m.noteLinks.size(); ++i)
        m.noteLinks.edit(i).note = mapped(newIndex, m.noteLinks[i].note);
}

} // namespace

void reorder(TreeModel &m, Table table, const std::vector<quint32> &order)
{
    std::vector<quint32> newIndex(order.size());
    for (quint32 k = 0; k < order.size(); ++k)
        newIndex[order[k]] = k;
    switch (table) {
    case Table::Name:
        rebuild(m.names, order);
        break;
    case Table::Event:
        rebuild(m.events, order);
        break;
    case Table::EventDetail:
        rebuild(m.eventDetails, order);
        for (quint32 i = 0; i < m.events.size(); ++i)
            if (m.events[i].detail != kNoIndex)
                m.events.edit(i).detail = mapped(newIndex, m.events[i].detail);
        break;
    case Table::Citation:
        rebuild(m.citations, order);
        break;
    case Table::NoteLink:
        rebuild(m.noteLinks, order);
        break;
    case Table::MediaLink:
        rebuild(m.mediaLinks, order);
        break;
    case Table::ChildLink:
        rebuild(m.childLinks, order);
        break;
    case Table::Kept:
        rebuild(m.kept, order);
        break;
    }
    if (const std::optional<Kind> kind = kindOf(table))
        remapRefs(m, *kind, newIndex);
}

void swap(TreeModel &m, Table table, quint32 a, quint32 b)
{
    std::vector<quint32> order(sizeOf(m, table));
    std::iota(order.begin(), order.end(), 0u);
    std::swap(order[a], order[b]);
    reorder(m, table, order);
}

void remove(TreeModel &m, Table table, quint32 index)
{
    if (index >= sizeOf(m, table))
        return;
    // What the record owns goes first (each removal renumbers, so the owned are looked for
    // again after each).
    if (const std::optional<Kind> kind = kindOf(table)) {
        const Ref owner(*kind, index);
        for (quint32 i; (i = firstOwned(m.citations, owner)) != kNoIndex;)
            remove(m, Table::Citation, i);
        for (quint32 i; (i = firstOwned(m.noteLinks, owner)) != kNoIndex;)
            remove(m, Table::NoteLink, i);
        for (quint32 i; (i = firstOwned(m.mediaLinks, owner)) != kNoIndex;)
            remove(m, Table::MediaLink, i);
        for (quint32 i; (i = firstOwned(m.kept, owner)) != kNoIndex;)
            remove(m, Table::Kept, i);
    }
    if (table == Table::Event && m.events[index].detail != kNoIndex) {
        const quint32 detail = m.events[index].detail;
        bool shared = false;
        for (quint32 i = 0; i < m.events.size(); ++i)
            shared = shared || (i != index && m.events[i].detail == detail);
        if (!shared) {
            m.events.edit(index).detail = kNoIndex;
            remove(m, Table::EventDetail, detail);
        }
    }
    quint32 keptFirst = 0, keptCount = 0, address = kNoIndex, note = kNoIndex;
    if (table == Table::Kept) {
        keptFirst = m.kept[index].firstLine;
        keptCount = m.kept[index].lineCount;
    } else if (table == Table::EventDetail) {
        address = m.eventDetails[index].address;
    } else if (table == Table::NoteLink) {
        note = m.noteLinks[index].note;
    }
    // The record moves to the end, every other keeps its order, and the last goes.
    const quint32 size = sizeOf(m, table);
    std::vector<quint32> order;
    order.reserve(size);
    for (quint32 i = 0; i < size; ++i)
        if (i != index)
            order.push_back(i);
    order.push_back(index);
    reorder(m, table, order);
    switch (table) {
    case Table::Name:
        m.names.removeLast();
        break;
    case Table::Event:
        m.events.removeLast();
        break;
    case Table::EventDetail:
        m.eventDetails.removeLast();
        break;
    case Table::Citation:
        m.citations.removeLast();
        break;
    case Table::NoteLink:
        m.noteLinks.removeLast();
        break;
    case Table::MediaLink:
        m.mediaLinks.removeLast();
        break;
    case Table::ChildLink:
        m.childLinks.removeLast();
        break;
    case Table::Kept:
        m.kept.removeLast();
        break;
    }
    removeKeptLines(m, keptFirst, keptCount);
    if (address != kNoIndex)
        removeAddress(m, address);
    if (note != kNoIndex)
        removeUnusedNote(m, note);
}

} // namespace DraftRecords
