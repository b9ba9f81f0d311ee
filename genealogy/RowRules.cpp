#include "RowRules.h"

#include <QStringList>

namespace Genealogy::RowRules {

quint32 firstFamily(const TreeModel &model, quint32 person)
{
    const std::span<const quint32> links = model.partnershipsOf(person);
    return links.empty() ? kNoIndex : model.partnerships[links.front()].family;
}

std::optional<quint32> partnerOfRow(const TreeModel &model, quint32 person)
{
    const quint32 family = firstFamily(model, person);
    if (family == kNoIndex)
        return std::nullopt;
    return model.otherPartner(family, person);
}

std::optional<std::pair<QString, QString>>
partnerColumns(const TreeModel &model, std::span<const PersonRow> rows, quint32 person)
{
    const std::optional<quint32> partner = partnerOfRow(model, person);
    if (!partner)
        return std::nullopt;
    if (*partner == kNoIndex || *partner >= rows.size())
        return std::pair<QString, QString>();
    return std::pair<QString, QString>(rows[*partner].Fname, rows[*partner].Sname);
}

quint32 firstEvent(const TreeModel &model, Ref owner, EventTypes::Id type)
{
    for (quint32 e : model.eventsOf(owner)) {
        if (model.events[e].type == type)
            return e;
    }
    return kNoIndex;
}

quint32 rowResidence(const TreeModel &model, quint32 person)
{
    for (quint32 e : model.eventsOf(Ref(Kind::Person, person))) {
        if (model.events[e].flags & Event::RowResidence)
            return e;
    }
    return kNoIndex;
}

quint32 primaryName(const TreeModel &model, quint32 person)
{
    const std::span<const quint32> names = model.namesOf(person);
    if (!names.empty() && (model.names[names.front()].flags & Name::Primary))
        return names.front();
    return kNoIndex;
}

namespace {

bool isChild(const TreeModel &model, quint32 person)
{
    return person != kNoIndex && !model.parentLinksOf(person).empty();
}

// The partner slot of a family that holds the person, or -1.
int slotOf(const Family &family, quint32 person)
{
    if (person == kNoIndex)
        return -1;
    return family.partner[0] == person ? 0 : (family.partner[1] == person ? 1 : -1);
}

} // namespace

quint32 lineParent(const TreeModel &model, quint32 family)
{
    if (family >= model.families.size())
        return kNoIndex;
    const Family &f = model.families[family];
    quint32 first = kNoIndex;
    quint32 chosen = kNoIndex;
    int childPartners = 0;
    for (quint32 p : f.partner) {
        if (p == kNoIndex)
            continue;
        if (first == kNoIndex)
            first = p;
        if (isChild(model, p) && ++childPartners == 1)
            chosen = p;
    }
    return childPartners == 1 ? chosen : first;
}

LineChoice lineOf(const TreeModel &model, quint32 person)
{
    LineChoice choice;
    const std::span<const quint32> parents = model.parentLinksOf(person);
    if (!parents.empty()) {
        quint32 chosenLink = parents.front();
        for (quint32 l : parents) {
            const ChildLink &link = model.childLinks[l];
            const quint32 parent = lineParent(model, link.family);
            const int slot = slotOf(model.families[link.family], parent);
            const ChildRelation r = link.relation[slot < 0 ? 0 : slot];
            if (r == ChildRelation::None || r == ChildRelation::Birth) {
                chosenLink = l;
                break;
            }
        }
        choice.family = model.childLinks[chosenLink].family;
        choice.parent = lineParent(model, choice.family);
        choice.kind = choice.parent == kNoIndex ? LineChoice::Kind::Root : LineChoice::Kind::Parent;
        return choice;
    }
    const std::span<const quint32> partnerships = model.partnershipsOf(person);
    if (partnerships.empty())
        return choice;
    for (quint32 p : partnerships) {
        if (lineParent(model, model.partnerships[p].family) == person)
            return choice;
    }
    choice.kind = LineChoice::Kind::Outside;
    return choice;
}

QStringList splitNotes(const TreeModel &model, quint32 person, const QString &notes)
{
    if (notes.isEmpty())
        return {};
    QStringList parts;
    qsizetype start = 0;
    qsizetype last = -1;
    for (quint32 b : model.noteBreaksOf(person)) {
        const qsizetype at = qsizetype(model.noteBreaks[b].offset);
        if (at <= last || at < start || at + kNoteSeparator.size() > notes.size() ||
            QStringView(notes).mid(at, kNoteSeparator.size()) != kNoteSeparator)
            return {notes};
        parts.append(notes.mid(start, at - start));
        start = at + kNoteSeparator.size();
        last = at;
    }
    parts.append(notes.mid(start));
    return parts;
}

} // namespace Genealogy::RowRules
