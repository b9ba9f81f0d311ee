#include "RecordStorage.h"

using namespace Genealogy;

namespace Store::Side {

quint32 tableSize(const TreeModel &m, Tab tab)
{
    switch (tab) {
    case Tab::Tree:
        return 1;
    case Tab::Person:
        return m.persons.size();
    case Tab::Name:
        return m.names.size();
    case Tab::Event:
        return m.events.size();
    case Tab::EventDetail:
        return m.eventDetails.size();
    case Tab::Address:
        return m.addresses.size();
    case Tab::Place:
        return m.places.size();
    case Tab::Family:
        return m.families.size();
    case Tab::Partnership:
        return m.partnerships.size();
    case Tab::ChildLink:
        return m.childLinks.size();
    case Tab::Association:
        return m.associations.size();
    case Tab::Source:
        return m.sources.size();
    case Tab::RepositoryLink:
        return m.repositoryLinks.size();
    case Tab::Repository:
        return m.repositories.size();
    case Tab::Citation:
        return m.citations.size();
    case Tab::Note:
        return m.notes.size();
    case Tab::NoteLink:
        return m.noteLinks.size();
    case Tab::Media:
        return m.media.size();
    case Tab::MediaLink:
        return m.mediaLinks.size();
    case Tab::Kept:
        return m.kept.size();
    case Tab::KeptLine:
        return m.keptLines.size();
    case Tab::NoteBreak:
        return m.noteBreaks.size();
    case Tab::Count:
        break;
    }
    return 0;
}

bool isStored(const TreeModel &m, Tab tab, quint32 index)
{
    if (tab == Tab::Person) {
        const PersonSide &side = m.persons[index];
        return !(side.sex == Sex::None && side.privacy == 0 && side.flags == 0);
    }
    if (tab == Tab::Tree)
        return !(m.defaultPlaceForm.isEmpty() && m.extensionTags.empty());
    return true;
}

bool needsOwner(const Placement &p)
{
    if (p.ownerTab == Tab::Count)
        return false;
    if (p.person == kNoIndex && p.family == kNoIndex)
        return true;
    switch (p.ownerTab) {
    case Tab::Event:
    case Tab::Name:
    case Tab::Family:
    case Tab::ChildLink:
    case Tab::EventDetail:
    case Tab::Partnership:
        return false;
    default:
        return true;
    }
}

namespace {

// The families of each person as a partner, in the families' order: offsets and families.
struct PartnerLists
{
    std::vector<quint32> start; // persons + 1 offsets into `family`
    std::vector<quint32> family;
};

PartnerLists partnerLists(const TreeModel &m)
{
    const quint32 persons = m.personCount();
    PartnerLists lists;
    lists.start.assign(size_t(persons) + 1, 0);
    for (quint32 f = 0; f < m.families.size(); ++f) {
        for (const quint32 p : m.families[f].partner) {
            if (p < persons)
                ++lists.start[p + 1];
        }
    }
    for (quint32 p = 0; p < persons; ++p)
        lists.start[p + 1] += lists.start[p];
    lists.family.resize(lists.start[persons]);
    std::vector<quint32> next(lists.start.begin(), lists.start.end() - 1);
    for (quint32 f = 0; f < m.families.size(); ++f) {
        for (const quint32 p : m.families[f].partner) {
            if (p < persons)
                lists.family[next[p]++] = f;
        }
    }
    return lists;
}

} // namespace

std::vector<bool> storedPartnerships(const TreeModel &m)
{
    const quint32 persons = m.personCount();
    const PartnerLists derived = partnerLists(m);
    // Each person's partnerships in order are compared with its families: `seen` counts the
    // partnerships met so far, `differs` marks the persons whose list is not the families'.
    std::vector<quint32> seen(persons, 0);
    std::vector<bool> differs(persons, false);
    for (quint32 i = 0; i < m.partnerships.size(); ++i) {
        const Partnership &p = m.partnerships[i];
        if (p.person >= persons)
            continue;
        const quint32 at = derived.start[p.person] + seen[p.person]++;
        if (at >= derived.start[p.person + 1] || derived.family[at] != p.family)
            differs[p.person] = true;
    }
    for (quint32 p = 0; p < persons; ++p) {
        if (seen[p] != derived.start[p + 1] - derived.start[p])
            differs[p] = true;
        // A partner without partnerships cannot be told apart from one whose partnerships are
        // left out: such a person is stored as the families say.
        if (seen[p] == 0)
            differs[p] = false;
    }
    std::vector<bool> stored(m.partnerships.size(), true);
    for (quint32 i = 0; i < m.partnerships.size(); ++i) {
        const quint32 person = m.partnerships[i].person;
        stored[i] = person >= persons || differs[person];
    }
    return stored;
}

std::vector<quint32> partnershipNumbers(const std::vector<bool> &stored)
{
    std::vector<quint32> numbers(stored.size(), kNoIndex);
    quint32 next = 0;
    for (size_t i = 0; i < stored.size(); ++i) {
        if (stored[i])
            numbers[i] = next++;
    }
    return numbers;
}

void derivePartnerships(TreeModel &m)
{
    const quint32 persons = m.personCount();
    std::vector<bool> has(persons, false);
    for (const Partnership &p : m.partnerships.all()) {
        if (p.person < persons)
            has[p.person] = true;
    }
    for (quint32 f = 0; f < m.families.size(); ++f) {
        for (const quint32 p : m.families[f].partner) {
            if (p < persons && !has[p])
                m.partnerships.add({p, f});
        }
    }
}

} // namespace Store::Side
