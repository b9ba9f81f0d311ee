#include "Lineage.h"

#include <algorithm>

namespace Gedcom {

namespace {

quint64 pairKey(int a, int b)
{
    return (quint64(quint32(a)) << 32) | quint32(b);
}

bool contains(const std::vector<quint64> &sorted, quint64 key)
{
    return std::binary_search(sorted.begin(), sorted.end(), key);
}

} // namespace

Lineage::Lineage(const Document &doc) : m_doc(doc)
{
    collectRecords();
    countBrokenPointers();
    readFamilyLinks();
    readPersonLinks();
    joinLinks();
    chooseLineParents();
}

void Lineage::collectRecords()
{
    const auto &records = m_doc.records();
    m_entityOfRecord.assign(records.size(), -1);
    for (size_t r = 0; r < records.size(); ++r) {
        const Document::Record &record = records[r];
        // A record whose id an earlier record has is left out: the first wins.
        if (record.duplicate)
            continue;
        const int node = int(record.node);
        if (m_doc.is(node, Tag::INDI)) {
            m_entityOfRecord[r] = int(m_persons.size());
            Person person;
            person.node = node;
            person.record = int(r);
            m_persons.push_back(std::move(person));
        } else if (m_doc.is(node, Tag::FAM)) {
            m_entityOfRecord[r] = int(m_families.size());
            Family family;
            family.node = node;
            m_families.push_back(std::move(family));
        }
    }
}

int Lineage::personOfRecord(int record) const
{
    if (record < 0 || !m_doc.is(int(m_doc.records()[size_t(record)].node), Tag::INDI))
        return -1;
    return m_entityOfRecord[size_t(record)];
}

int Lineage::familyOfRecord(int record) const
{
    if (record < 0 || !m_doc.is(int(m_doc.records()[size_t(record)].node), Tag::FAM))
        return -1;
    return m_entityOfRecord[size_t(record)];
}

// Pointers other than the links of the family graph (those are counted as they are resolved).
void Lineage::countBrokenPointers()
{
    for (int i = 0; i < m_doc.nodeCount(); ++i) {
        const quint16 tag = m_doc.node(i).tag;
        if (tag == tagId(Tag::HUSB) || tag == tagId(Tag::WIFE) || tag == tagId(Tag::CHIL) ||
            tag == tagId(Tag::FAMC) || tag == tagId(Tag::FAMS))
            continue;
        const QByteArrayView id = m_doc.pointer(i);
        if (!id.isEmpty() && m_doc.findRecord(id) < 0)
            ++m_broken;
    }
}

// The person or family a link names. A link to a missing record, or to a record of another
// kind, counts as broken.
int Lineage::resolve(int node, Tag recordTag)
{
    const QByteArrayView id = m_doc.pointer(node);
    if (id.isEmpty())
        return -1;
    const int record = m_doc.findRecord(id);
    const int entity = record < 0               ? -1
                       : recordTag == Tag::INDI ? personOfRecord(record)
                                                : familyOfRecord(record);
    if (entity < 0)
        ++m_broken;
    return entity;
}

void Lineage::readFamilyLinks()
{
    m_listedPartners.resize(m_families.size());
    m_listedChildren.resize(m_families.size());
    std::vector<int> seenIn(m_persons.size(), -1); // the family that last named each person
    std::vector<int> seenAsChildIn(m_persons.size(), -1);
    for (size_t f = 0; f < m_families.size(); ++f) {
        const int node = m_families[f].node;
        for (int c = m_doc.firstChild(node); c >= 0; c = m_doc.nextSibling(node, c)) {
            const bool partner = m_doc.is(c, Tag::HUSB) || m_doc.is(c, Tag::WIFE);
            if (!partner && !m_doc.is(c, Tag::CHIL))
                continue;
            const int p = resolve(c, Tag::INDI);
            if (p < 0)
                continue;
            std::vector<int> &seen = partner ? seenIn : seenAsChildIn;
            if (seen[size_t(p)] == int(f))
                continue;
            seen[size_t(p)] = int(f);
            (partner ? m_listedPartners : m_listedChildren)[f].push_back(p);
        }
    }
}

void Lineage::readPersonLinks()
{
    std::vector<int> seenIn(m_families.size(), -1);
    std::vector<int> seenAsParentsIn(m_families.size(), -1);
    for (size_t p = 0; p < m_persons.size(); ++p) {
        Person &person = m_persons[p];
        const int node = person.node;
        for (int c = m_doc.firstChild(node); c >= 0; c = m_doc.nextSibling(node, c)) {
            const bool asChild = m_doc.is(c, Tag::FAMC);
            if (!asChild && !m_doc.is(c, Tag::FAMS))
                continue;
            const int f = resolve(c, Tag::FAM);
            if (f < 0)
                continue;
            std::vector<int> &seen = asChild ? seenAsParentsIn : seenIn;
            if (seen[size_t(f)] == int(p))
                continue;
            seen[size_t(f)] = int(p);
            if (asChild)
                person.parents.push_back({f, m_doc.child(c, Tag::PEDI)});
            else
                person.partnerships.push_back(f);
        }
    }
}

void Lineage::joinLinks()
{
    // What each end wrote, as sorted keys, to ask "did the other end write this link too?".
    std::vector<quint64> familyListsChild, familyListsPartner, personListsChild, personListsPartner;
    for (size_t f = 0; f < m_families.size(); ++f) {
        for (int p : m_listedChildren[f])
            familyListsChild.push_back(pairKey(int(f), p));
        for (int p : m_listedPartners[f])
            familyListsPartner.push_back(pairKey(int(f), p));
    }
    for (size_t p = 0; p < m_persons.size(); ++p) {
        for (const ChildLink &link : m_persons[p].parents)
            personListsChild.push_back(pairKey(link.family, int(p)));
        for (int f : m_persons[p].partnerships)
            personListsPartner.push_back(pairKey(f, int(p)));
    }
    for (auto *keys :
         {&familyListsChild, &familyListsPartner, &personListsChild, &personListsPartner})
        std::sort(keys->begin(), keys->end());

    for (size_t f = 0; f < m_families.size(); ++f) {
        m_families[f].children = std::move(m_listedChildren[f]);
        m_families[f].partners = std::move(m_listedPartners[f]);
    }
    // Links only the person wrote join the family's lists, in person order...
    for (size_t p = 0; p < m_persons.size(); ++p) {
        for (const ChildLink &link : m_persons[p].parents) {
            if (!contains(familyListsChild, pairKey(link.family, int(p))))
                m_families[size_t(link.family)].children.push_back(int(p));
        }
        for (int f : m_persons[p].partnerships) {
            if (!contains(familyListsPartner, pairKey(f, int(p))))
                m_families[size_t(f)].partners.push_back(int(p));
        }
    }
    // ...and links only the family wrote join the person's lists, in family order.
    for (size_t f = 0; f < m_families.size(); ++f) {
        for (int p : m_families[f].children) {
            if (!contains(personListsChild, pairKey(int(f), p)))
                m_persons[size_t(p)].parents.push_back({int(f), -1});
        }
        for (int p : m_families[f].partners) {
            if (!contains(personListsPartner, pairKey(int(f), p)))
                m_persons[size_t(p)].partnerships.push_back(int(f));
        }
    }
    m_listedChildren.clear();
    m_listedPartners.clear();
}

// The line parent: the first partner who is a child in a family of this file; when none or
// more than one is, the first partner.
void Lineage::chooseLineParents()
{
    for (Family &family : m_families) {
        if (family.partners.empty())
            continue;
        int chosen = -1;
        int childPartners = 0;
        for (int p : family.partners) {
            if (isChild(p)) {
                if (++childPartners == 1)
                    chosen = p;
            }
        }
        family.lineParent = childPartners == 1 ? chosen : family.partners.front();
    }
}

} // namespace Gedcom
