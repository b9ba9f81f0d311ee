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

} // namespace Store::Side
