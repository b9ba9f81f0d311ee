#include "Lineage.h"

#include <algorithm>

namespace Gedcom {

namespace {

// Links are resolved this many at a time (see Document::findRecords).
constexpr size_t kBatch = 4096;
constexpr size_t kAhead = 16;

// The owners of lists regrouped by the items they list: per item, the owners listing it, in
// owner order.
struct ByItem
{
    std::vector<quint32> start; // per item, into owners; one more at the end
    std::vector<int> owners;

    template <typename T, typename ItemOf>
    ByItem(const std::vector<quint32> &ownerStart, const std::vector<T> &items, size_t itemCount,
           ItemOf itemOf)
    {
        start.assign(itemCount + 1, 0);
        for (const T &item : items)
            ++start[size_t(itemOf(item)) + 1];
        for (size_t i = 0; i < itemCount; ++i)
            start[i + 1] += start[i];
        owners.resize(items.size());
        std::vector<quint32> next(start.begin(), start.end() - 1);
        for (size_t owner = 0; owner + 1 < ownerStart.size(); ++owner) {
            for (quint32 k = ownerStart[owner]; k < ownerStart[owner + 1]; ++k)
                owners[next[size_t(itemOf(items[k]))]++] = int(owner);
        }
    }
    template <typename F> void forEachOwner(size_t item, F f) const
    {
        for (quint32 i = start[item]; i < start[item + 1]; ++i)
            f(owners[i]);
    }
};

int familyOf(const Lineage::ChildLink &link)
{
    return link.family;
}

int itself(int item)
{
    return item;
}

} // namespace

Lineage::Lineage(const Document &doc) : m_doc(doc)
{
    collectRecords();
    countBrokenPointers();
    Written written;
    readFamilyLinks(written);
    const auto familyLinks = std::ptrdiff_t(m_linkRecords.size());
    readPersonLinks(written);
    // Each pass found its links in node order; the passes' nodes interleave.
    std::inplace_merge(m_linkRecords.begin(), m_linkRecords.begin() + familyLinks,
                       m_linkRecords.end());
    joinLinks(written);
    chooseLineParents();
}

void Lineage::collectRecords()
{
    const auto &records = m_doc.records();
    m_entityOfRecord.assign(records.size(), -1);
    m_persons.reserve(records.size());
    m_families.reserve(records.size());
    for (size_t r = 0; r < records.size(); ++r) {
        const Document::Record &record = records[r];
        // A record whose id an earlier record has is left out: the first wins.
        if (record.duplicate)
            continue;
        const int node = int(record.node);
        if (m_doc.is(node, Tag::INDI)) {
            m_entityOfRecord[r] = int(m_persons.size());
            m_persons.push_back(Person{node, int(r)});
        } else if (m_doc.is(node, Tag::FAM)) {
            m_entityOfRecord[r] = -2 - int(m_families.size());
            m_families.push_back(Family{node, -1});
        }
    }
}

int Lineage::personOfRecord(int record) const
{
    const int entity = record < 0 ? -1 : m_entityOfRecord[size_t(record)];
    return entity >= 0 ? entity : -1;
}

int Lineage::familyOfRecord(int record) const
{
    const int entity = record < 0 ? -1 : m_entityOfRecord[size_t(record)];
    return entity <= -2 ? -2 - entity : -1;
}

// Pointers other than the links of the family graph (those are counted as they are resolved).
void Lineage::countBrokenPointers()
{
    std::vector<QByteArrayView> ids;
    std::vector<int> records;
    auto count = [&] {
        records.resize(ids.size());
        m_doc.findRecords(ids.data(), records.data(), ids.size());
        m_broken += std::count(records.begin(), records.end(), -1);
        ids.clear();
    };
    for (int i = 0; i < m_doc.nodeCount(); ++i) {
        const quint16 tag = m_doc.node(i).tag;
        if (tag == tagId(Tag::HUSB) || tag == tagId(Tag::WIFE) || tag == tagId(Tag::CHIL) ||
            tag == tagId(Tag::FAMC) || tag == tagId(Tag::FAMS))
            continue;
        const QByteArrayView id = m_doc.pointer(i);
        if (id.isEmpty())
            continue;
        ids.push_back(id);
        if (ids.size() == kBatch)
            count();
    }
    count();
}

void Lineage::resolve(const std::vector<QByteArrayView> &ids, const std::vector<int> &nodes,
                      std::vector<int> &entities, Tag recordTag)
{
    const size_t n = ids.size();
    entities.resize(n);
    m_doc.findRecords(ids.data(), entities.data(), n);
    for (size_t i = 0; i < n; ++i)
        m_linkRecords.emplace_back(nodes[i], ids[i].isEmpty() ? -2 : entities[i]);
    for (size_t i = 0; i < n; ++i) {
        if (i + kAhead < n && entities[i + kAhead] >= 0)
            __builtin_prefetch(&m_entityOfRecord[size_t(entities[i + kAhead])]);
        const int record = entities[i];
        const int entity = recordTag == Tag::INDI ? personOfRecord(record) : familyOfRecord(record);
        if (entity < 0 && !ids[i].isEmpty())
            ++m_broken;
        entities[i] = entity;
    }
}

void Lineage::readFamilyLinks(Written &written)
{
    std::vector<int> seenIn(m_persons.size(), -1); // the family that last named each person
    std::vector<int> seenAsChildIn(m_persons.size(), -1);
    struct Link
    {
        int family;
        bool partner;
    };
    std::vector<Link> links;
    std::vector<QByteArrayView> ids;
    std::vector<int> nodes;
    std::vector<int> persons;
    auto add = [&] {
        resolve(ids, nodes, persons, Tag::INDI);
        for (size_t k = 0; k < links.size(); ++k) {
            const int p = persons[k];
            const int f = links[k].family;
            if (p < 0)
                continue;
            const bool partner = links[k].partner;
            std::vector<int> &seen = partner ? seenIn : seenAsChildIn;
            if (seen[size_t(p)] == f)
                continue;
            seen[size_t(p)] = f;
            Lists<int> &lists = partner ? written.partners : written.children;
            lists.openOwner(size_t(f));
            lists.items.push_back(p);
        }
        links.clear();
        ids.clear();
        nodes.clear();
    };
    for (size_t f = 0; f < m_families.size(); ++f) {
        const int node = m_families[f].node;
        for (int c = m_doc.firstChild(node); c >= 0; c = m_doc.nextSibling(node, c)) {
            const bool partner = m_doc.is(c, Tag::HUSB) || m_doc.is(c, Tag::WIFE);
            if (!partner && !m_doc.is(c, Tag::CHIL))
                continue;
            links.push_back({int(f), partner});
            ids.push_back(m_doc.pointer(c));
            nodes.push_back(c);
        }
        if (ids.size() >= kBatch)
            add();
    }
    add();
    written.children.finish(m_families.size());
    written.partners.finish(m_families.size());
}

void Lineage::readPersonLinks(Written &written)
{
    std::vector<int> seenIn(m_families.size(), -1);
    std::vector<int> seenAsParentsIn(m_families.size(), -1);
    struct Link
    {
        int person;
        int pedigree; // of a FAMC link, or -2 for FAMS
    };
    std::vector<Link> links;
    std::vector<QByteArrayView> ids;
    std::vector<int> nodes;
    std::vector<int> families;
    auto add = [&] {
        resolve(ids, nodes, families, Tag::FAM);
        for (size_t k = 0; k < links.size(); ++k) {
            const int f = families[k];
            const int p = links[k].person;
            if (f < 0)
                continue;
            const bool asChild = links[k].pedigree != -2;
            std::vector<int> &seen = asChild ? seenAsParentsIn : seenIn;
            if (seen[size_t(f)] == p)
                continue;
            seen[size_t(f)] = p;
            if (asChild) {
                written.parents.openOwner(size_t(p));
                written.parents.items.push_back({f, links[k].pedigree});
            } else {
                written.partnerships.openOwner(size_t(p));
                written.partnerships.items.push_back(f);
            }
        }
        links.clear();
        ids.clear();
        nodes.clear();
    };
    for (size_t p = 0; p < m_persons.size(); ++p) {
        const int node = m_persons[p].node;
        for (int c = m_doc.firstChild(node); c >= 0; c = m_doc.nextSibling(node, c)) {
            const bool asChild = m_doc.is(c, Tag::FAMC);
            if (!asChild && !m_doc.is(c, Tag::FAMS))
                continue;
            links.push_back({int(p), asChild ? m_doc.child(c, Tag::PEDI) : -2});
            ids.push_back(m_doc.pointer(c));
            nodes.push_back(c);
        }
        if (ids.size() >= kBatch)
            add();
    }
    add();
    written.parents.finish(m_persons.size());
    written.partnerships.finish(m_persons.size());
}

// A link either end wrote counts. Each list holds what its own end wrote, then the links only
// the other end wrote, in the other end's order. Those are found with the links regrouped by
// the other end and a mark per person (or family): linear in the number of links.
void Lineage::joinLinks(Written &written)
{
    const size_t persons = m_persons.size();
    const size_t families = m_families.size();
    {
        // Links only the person wrote join the family's lists, in person order.
        const ByItem childOf(written.parents.start, written.parents.items, families, familyOf);
        const ByItem partnerIn(written.partnerships.start, written.partnerships.items, families,
                               itself);
        std::vector<int> childMark(persons, -1), partnerMark(persons, -1);
        for (size_t f = 0; f < families; ++f) {
            auto join = [f](std::span<const int> listed, const ByItem &others,
                            std::vector<int> &mark, Lists<int> &lists) {
                lists.openOwner(f);
                for (int p : listed) {
                    mark[size_t(p)] = int(f);
                    lists.items.push_back(p);
                }
                others.forEachOwner(f, [&](int p) {
                    if (mark[size_t(p)] != int(f))
                        lists.items.push_back(p);
                });
            };
            join(written.children[f], childOf, childMark, m_children);
            join(written.partners[f], partnerIn, partnerMark, m_partners);
        }
        m_children.finish(families);
        m_partners.finish(families);
    }
    // Links only the family wrote join the person's lists, in family order.
    const ByItem parentsOf(written.children.start, written.children.items, persons, itself);
    const ByItem partnersOf(written.partners.start, written.partners.items, persons, itself);
    written.children = {};
    written.partners = {};
    std::vector<int> parentsMark(families, -1), partnershipMark(families, -1);
    for (size_t p = 0; p < persons; ++p) {
        m_parents.openOwner(p);
        for (const ChildLink &link : written.parents[p]) {
            parentsMark[size_t(link.family)] = int(p);
            m_parents.items.push_back(link);
        }
        parentsOf.forEachOwner(p, [&](int f) {
            if (parentsMark[size_t(f)] != int(p))
                m_parents.items.push_back({f, -1});
        });
        m_partnerships.openOwner(p);
        for (int f : written.partnerships[p]) {
            partnershipMark[size_t(f)] = int(p);
            m_partnerships.items.push_back(f);
        }
        partnersOf.forEachOwner(p, [&](int f) {
            if (partnershipMark[size_t(f)] != int(p))
                m_partnerships.items.push_back(f);
        });
    }
    m_parents.finish(persons);
    m_partnerships.finish(persons);
}

// The line parent: the first partner who is a child in a family of this file; when none or
// more than one is, the first partner.
void Lineage::chooseLineParents()
{
    for (size_t f = 0; f < m_families.size(); ++f) {
        const std::span<const int> partners = m_partners[f];
        if (partners.empty())
            continue;
        int chosen = -1;
        int childPartners = 0;
        for (int p : partners) {
            if (isChild(p)) {
                if (++childPartners == 1)
                    chosen = p;
            }
        }
        m_families[f].lineParent = childPartners == 1 ? chosen : partners.front();
    }
}

} // namespace Gedcom
