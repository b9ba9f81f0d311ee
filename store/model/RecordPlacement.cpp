#include "RecordPlacement.h"

using namespace Genealogy;

namespace Store::Side {

RecordPlacement::RecordPlacement(const TreeModel &model)
    : m_model(model), m_eventOfDetail(model.eventDetails.size(), kNoIndex),
      m_ownerOfAddress(model.addresses.size(), {Tab::Count, kNoIndex}),
      m_linkOfNote(model.notes.size(), kNoIndex), m_linkOfMedia(model.media.size(), kNoIndex),
      m_keptOfLine(model.keptLines.size(), kNoIndex)
{
    for (quint32 e = 0; e < model.events.size(); ++e) {
        const quint32 d = model.events[e].detail;
        if (d < m_eventOfDetail.size() && m_eventOfDetail[d] == kNoIndex)
            m_eventOfDetail[d] = e;
    }
    for (quint32 d = 0; d < model.eventDetails.size(); ++d) {
        const quint32 a = model.eventDetails[d].address;
        if (a < m_ownerOfAddress.size() && m_ownerOfAddress[a].first == Tab::Count)
            m_ownerOfAddress[a] = {Tab::EventDetail, d};
    }
    for (quint32 r = 0; r < model.repositories.size(); ++r) {
        const quint32 a = model.repositories[r].address;
        if (a < m_ownerOfAddress.size() && m_ownerOfAddress[a].first == Tab::Count)
            m_ownerOfAddress[a] = {Tab::Repository, r};
    }
    for (quint32 l = 0; l < model.noteLinks.size(); ++l) {
        const quint32 n = model.noteLinks[l].note;
        if (n < m_linkOfNote.size() && m_linkOfNote[n] == kNoIndex)
            m_linkOfNote[n] = l;
    }
    for (quint32 l = 0; l < model.mediaLinks.size(); ++l) {
        const quint32 n = model.mediaLinks[l].media;
        if (n < m_linkOfMedia.size() && m_linkOfMedia[n] == kNoIndex)
            m_linkOfMedia[n] = l;
    }
    for (quint32 k = 0; k < model.kept.size(); ++k) {
        const Kept &kept = model.kept[k];
        for (quint32 i = 0; i < kept.lineCount; ++i) {
            const quint32 line = kept.firstLine + i;
            if (line < m_keptOfLine.size())
                m_keptOfLine[line] = k;
        }
    }
}

RecordPlacement::Root RecordPlacement::rootOf(Ref ref, int depth) const
{
    const TreeModel &m = m_model;
    const quint32 i = ref.index();
    if (depth > 8)
        return {};
    switch (ref.kind()) {
    case Kind::Person:
        return {i, kNoIndex};
    case Kind::Family:
        return {kNoIndex, i};
    case Kind::Event:
        return i < m.events.size() ? rootOf(m.events[i].owner, depth + 1) : Root();
    case Kind::Name:
        return i < m.names.size() ? Root{m.names[i].person, kNoIndex} : Root();
    case Kind::Citation:
        return i < m.citations.size() ? rootOf(m.citations[i].owner, depth + 1) : Root();
    case Kind::Association:
        return i < m.associations.size() ? Root{m.associations[i].person, kNoIndex} : Root();
    case Kind::ChildLink:
        return i < m.childLinks.size() ? Root{m.childLinks[i].child, m.childLinks[i].family}
                                       : Root();
    case Kind::Kept:
        return i < m.kept.size() ? rootOf(m.kept[i].owner, depth + 1) : Root();
    case Kind::Note:
        if (i < m.notes.size() && !(m.notes[i].flags & Note::Shared) && m_linkOfNote[i] != kNoIndex)
            return rootOf(m.noteLinks[m_linkOfNote[i]].owner, depth + 1);
        return {};
    case Kind::Media:
        if (i < m.media.size() && (m.media[i].flags & Media::Inline) &&
            m_linkOfMedia[i] != kNoIndex)
            return rootOf(m.mediaLinks[m_linkOfMedia[i]].owner, depth + 1);
        return {};
    default:
        return {};
    }
}

Placement RecordPlacement::owned(Ref owner) const
{
    const Root root = rootOf(owner);
    Placement p;
    p.person = root.person;
    p.family = root.family;
    const Tab tab = tabOfKind(owner.kind());
    if (tab != Tab::Count) {
        p.ownerTab = tab;
        p.ownerIndex = owner.index();
    }
    return p;
}

Placement RecordPlacement::of(Tab tab, quint32 i) const
{
    const TreeModel &m = m_model;
    Placement p;
    switch (tab) {
    case Tab::Person:
        p.person = i;
        break;
    case Tab::Name:
        p.person = m.names[i].person;
        break;
    case Tab::Event:
        p = owned(m.events[i].owner);
        break;
    case Tab::EventDetail:
        if (m_eventOfDetail[i] != kNoIndex) {
            p = owned(Ref(Kind::Event, m_eventOfDetail[i]));
        }
        break;
    case Tab::Address: {
        const auto [ownerTab, owner] = m_ownerOfAddress[i];
        if (ownerTab == Tab::EventDetail) {
            p = of(Tab::EventDetail, owner);
            p.ownerTab = Tab::EventDetail;
            p.ownerIndex = owner;
        } else if (ownerTab == Tab::Repository) {
            p.ownerTab = Tab::Repository;
            p.ownerIndex = owner;
        }
        break;
    }
    case Tab::Family:
        p.family = i;
        p.ref1 = m.families[i].partner[0];
        p.ref2 = m.families[i].partner[1];
        break;
    case Tab::Partnership:
        p.person = m.partnerships[i].person;
        p.family = m.partnerships[i].family;
        break;
    case Tab::ChildLink:
        p.person = m.childLinks[i].child;
        p.family = m.childLinks[i].family;
        break;
    case Tab::Association:
        p.person = m.associations[i].person;
        p.ref1 = m.associations[i].target;
        break;
    case Tab::RepositoryLink:
        p.ownerTab = Tab::Source;
        p.ownerIndex = m.repositoryLinks[i].source;
        break;
    case Tab::Citation:
        p = owned(m.citations[i].owner);
        break;
    case Tab::Note:
        if (!(m.notes[i].flags & Note::Shared) && m_linkOfNote[i] != kNoIndex) {
            p = owned(m.noteLinks[m_linkOfNote[i]].owner);
            p.ownerTab = Tab::NoteLink;
            p.ownerIndex = m_linkOfNote[i];
        }
        break;
    case Tab::NoteLink:
        p = owned(m.noteLinks[i].owner);
        break;
    case Tab::Media:
        if ((m.media[i].flags & Media::Inline) && m_linkOfMedia[i] != kNoIndex) {
            p = owned(m.mediaLinks[m_linkOfMedia[i]].owner);
            p.ownerTab = Tab::MediaLink;
            p.ownerIndex = m_linkOfMedia[i];
        }
        break;
    case Tab::MediaLink:
        p = owned(m.mediaLinks[i].owner);
        break;
    case Tab::Kept:
        p = owned(m.kept[i].owner);
        break;
    case Tab::KeptLine:
        if (m_keptOfLine[i] != kNoIndex) {
            p = owned(Ref(Kind::Kept, m_keptOfLine[i]));
            const Ref target = m.keptLines[i].target;
            if (target.is(Kind::Person))
                p.ref1 = target.index();
        }
        break;
    case Tab::NoteBreak:
        p.person = m.noteBreaks[i].person;
        break;
    default:
        break;
    }
    return p;
}

} // namespace Store::Side
