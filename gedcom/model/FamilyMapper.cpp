#include "ModelMapper.h"

namespace Gedcom::Model {

using namespace Genealogy;

// The lines of a FAM: its partners and children as linkFamilies made them (a further partner,
// a child named twice, @VOID@ stay kept as read), its relation, privacy, events, notes,
// citations and media.
void ModelMapper::mapFamily(quint32 f)
{
    TreeModel &model = m_result.model;
    const int node = m_familyNode[f];
    const Ref self(Kind::Family, f);
    const Family family = model.families[f];
    bool partnerSeen[2] = {false, false};
    bool seenPrivacy = false, seenRelation = false;
    std::vector<quint32> childrenSeen;
    Walk walk(m_c, node, self);
    walk.each([&](int c) {
        const quint16 tag = m_doc.node(c).tag;
        if (tag == tagId(Tag::HUSB) || tag == tagId(Tag::WIFE)) {
            const Ref target = m_c.target(c);
            if (!target.is(Kind::Person))
                return false;
            for (int s = 0; s < 2; ++s) {
                if (!partnerSeen[s] && family.partner[s] == target.index()) {
                    const bool wife = tag == tagId(Tag::WIFE);
                    if (wife != bool(family.wifeSlots & (1 << s)))
                        return false;
                    partnerSeen[s] = true;
                    walk.leaf(c);
                    return true;
                }
            }
            return false;
        }
        if (tag == tagId(Tag::CHIL)) {
            const Ref target = m_c.target(c);
            if (!target.is(Kind::Person))
                return false;
            const quint32 link = childLink(target.index(), f);
            if (link == kNoIndex ||
                std::find(childrenSeen.begin(), childrenSeen.end(), link) != childrenSeen.end())
                return false;
            childrenSeen.push_back(link);
            walk.counted(c);
            // What stands under the family's CHIL line belongs to the child link, on that side.
            Walk linkWalk(m_c, c, Ref(Kind::ChildLink, link), QByteArrayLiteral("CHIL"));
            linkWalk.each([](int) { return false; });
            return true;
        }
        if (tag == m_c.tags.RESN && !seenPrivacy) {
            quint8 privacy = 0;
            if (!Vocabulary::readPrivacy(m_doc.rawValue(c), privacy))
                return false;
            seenPrivacy = true;
            model.families.edit(f).privacy = privacy;
            walk.leaf(c);
            return true;
        }
        if (!seenRelation && m_doc.tagName(c) == QByteArrayView("_RELTYPE")) {
            FamilyRelation relation = FamilyRelation::Unknown;
            if (!Vocabulary::readFamilyRelation(m_doc.rawValue(c), relation))
                return false;
            seenRelation = true;
            model.families.edit(f).relation = relation;
            walk.leaf(c);
            return true;
        }
        if (const EventTypes::Id type = eventType(c, true); type != EventTypes::kNone) {
            m_s.event(walk, c, type, self);
            return true;
        }
        if (tag == tagId(Tag::NOTE) || tag == tagId(Tag::SNOTE))
            return m_s.noteLink(walk, c, self);
        if (tag == tagId(Tag::SOUR))
            return m_s.citation(walk, c, self);
        if (tag == tagId(Tag::OBJE))
            return m_s.mediaLink(walk, c, self);
        return false;
    });
}

} // namespace Gedcom::Model
