#pragma once

#include "RecordCodec.h"

// Where each record of a model stands in mainRecords: the person and the family it goes with
// (deleting either deletes it), its direct owner (deleting that deletes it as well) and the other
// persons it names (ref1, ref2).
namespace Store::Side {

struct Placement
{
    quint32 person = Genealogy::kNoIndex;
    quint32 family = Genealogy::kNoIndex;
    Tab ownerTab = Tab::Count;
    quint32 ownerIndex = Genealogy::kNoIndex;
    quint32 ref1 = Genealogy::kNoIndex; // persons
    quint32 ref2 = Genealogy::kNoIndex;
};

class RecordPlacement
{
public:
    explicit RecordPlacement(const Genealogy::TreeModel &model);
    Placement of(Tab tab, quint32 index) const;

private:
    struct Root
    {
        quint32 person = Genealogy::kNoIndex;
        quint32 family = Genealogy::kNoIndex;
    };
    Root rootOf(Genealogy::Ref ref, int depth = 0) const;
    Placement owned(Genealogy::Ref owner) const;

    const Genealogy::TreeModel &m_model;
    // Reverse links: the event of a detail, the owner of an address, the link of an inline note
    // or medium, the kept structure of a line.
    std::vector<quint32> m_eventOfDetail;
    std::vector<std::pair<Tab, quint32>> m_ownerOfAddress;
    std::vector<quint32> m_linkOfNote;
    std::vector<quint32> m_linkOfMedia;
    std::vector<quint32> m_keptOfLine;
};

} // namespace Store::Side
