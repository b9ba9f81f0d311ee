#pragma once

#include "Lineage.h"
#include "ModelImport.h"
#include "PhotoLocator.h"
#include "StructureMapper.h"

#include <QHashFunctions>
#include <QSet>

#include <unordered_map>
#include <unordered_set>

namespace Gedcom::Model {

// The steps of mapDocument (see ModelImport.h): records classified, family links, the records'
// bodies, families, persons, then the rows' keys, parents and partner columns.
class ModelMapper
{
public:
    ModelMapper(const Document &doc, const ImportContext &context);

    MappedTree run(const Progress &progress);

private:
    // ModelMapper.cpp
    void classifyRecords();
    void linkFamilies();
    void count();
    void countUnreachableRows(const std::vector<int> &parentRow);
    // RecordMapper.cpp
    void mapHeader(int node);
    void mapKeptRecord(int record);
    void mapSource(quint32 index, int node);
    void mapRepository(quint32 index, int node);
    void mapSharedNote(quint32 index, int node);
    void mapMedia(quint32 index, int node);
    // FamilyMapper.cpp
    void mapFamily(quint32 family);
    // PersonMapper.cpp
    void mapPerson(quint32 person);
    void mapName(Walk &walk, int node, quint32 person, bool primary);
    bool mapChildLink(Walk &walk, int node, quint32 person, std::vector<quint32> &seen);
    bool mapAssociation(Walk &walk, int node, quint32 person, bool alias);
    bool mapKey(Walk &walk, int node, quint32 person);
    // RowMapper.cpp
    void assignKeys();
    void setParentsAndPartners();
    void findPhotos(int indi, QList<PhotoCopy> &photos);
    void addPhoto(const QString &reference, QList<PhotoCopy> &list,
                  std::unordered_set<QString> &sources, std::unordered_set<QString> &names,
                  std::unordered_map<QString, int> &nextNumber);

    // One string for equal values of the rows (names and places repeat): each is held once.
    QString intern(const QString &value);

    // The child link of a person to a family, or kNoIndex.
    quint32 childLink(quint32 person, quint32 family) const;
    Genealogy::EventTypes::Id eventType(int node, bool family) const;

    const Document &m_doc;
    const ImportContext &m_context;
    MappedTree m_result;
    MapContext m_c;
    StructureMapper m_s;
    Lineage m_lineage;
    PhotoLocator m_photos;
    bool m_ownFile = false; // written by this program: REFN and _PRNTKEY are ours

    std::vector<int> m_personNode;      // per person
    std::vector<int> m_personRecord;    // per person: its record of the document
    std::vector<int> m_lineagePerson;   // per person: its index in m_lineage, or -1
    std::vector<int> m_personOfLineage; // per lineage person: the person
    std::vector<int> m_familyNode;      // per family
    std::vector<int> m_lineageFamily;   // per family: its index in m_lineage, or -1
    quint32 m_lineageFamilies = 0;
    std::unordered_map<quint64, quint32> m_extraLinks; // (family, child) -> link, of the
                                                       // families Lineage leaves out
    std::vector<std::pair<int, quint32>> m_sourceNodes, m_repositoryNodes, m_noteNodes,
        m_mediaNodes;               // (node, index)
    std::vector<int> m_keptRecords; // records kept as read, in file order
    int m_head = -1;
    // Per person, aligned with m_lineage.parents(): the child link of each family.
    std::vector<quint32> m_parentLinkStart;
    std::vector<quint32> m_parentLink;
    // Per event type of GEDCOM's tag ids: person and family types.
    std::vector<Genealogy::EventTypes::Id> m_personEventOfTag, m_familyEventOfTag;

    QStringList m_wantedKeys;        // per person
    QStringList m_writtenParentKeys; // per person: a _PRNTKEY of our own file (null: none)
    std::unordered_map<QString, int> m_personOfWrittenKey; // REFN as written -> person
    QSet<QString> m_strings;
};

} // namespace Gedcom::Model
