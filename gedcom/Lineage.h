#pragma once

#include "Document.h"

#include <span>
#include <vector>

namespace Gedcom {

// The persons (INDI) and families (FAM) of a document and the links between them, with the line
// parent of each family chosen.
//
// Links are read from both ends and joined: a child is a child of a family when the family lists
// it (CHIL) or it lists the family (FAMC); the same for partners (HUSB, WIFE / FAMS). Each list
// keeps the order of its own end first (the family's CHIL lines, the person's FAMC lines), then
// the links only the other end made, in file order. A link named twice counts once. Pointers
// to a record that does not exist, or to a record of the wrong kind, are left out and counted.
// Nothing here follows links recursively, so cycles (a person their own ancestor) are harmless.
class Lineage
{
public:
    struct ChildLink
    {
        int family = -1;
        int pedigree = -1; // the PEDI node under the person's FAMC line, or -1
    };
    struct Person
    {
        int node = -1;
        int record = -1;
    };
    struct Family
    {
        int node = -1;
        int lineParent = -1; // the person whose row the children point to; -1 without partners
    };

    explicit Lineage(const Document &doc);

    const std::vector<Person> &persons() const { return m_persons; }
    const std::vector<Family> &families() const { return m_families; }
    const Person &person(int p) const { return m_persons[size_t(p)]; }
    const Family &family(int f) const { return m_families[size_t(f)]; }
    // The families a person is a child of, and those the person is a partner in.
    std::span<const ChildLink> parents(int p) const { return m_parents[size_t(p)]; }
    std::span<const int> partnerships(int p) const { return m_partnerships[size_t(p)]; }
    // The partners of a family (HUSB and WIFE in file order, whatever the sexes), its children.
    std::span<const int> partners(int f) const { return m_partners[size_t(f)]; }
    std::span<const int> children(int f) const { return m_children[size_t(f)]; }
    bool isChild(int p) const { return !parents(p).empty(); }

    // The person or family a record holds, or -1.
    int personOfRecord(int record) const;
    int familyOfRecord(int record) const;

    // Pointers anywhere in the file to records that do not exist, and links of the family graph
    // to a record of the wrong kind.
    qsizetype brokenPointers() const { return m_broken; }

    // The records the link lines read here name (HUSB, WIFE, CHIL of each family, FAMC, FAMS of
    // each person; the first record of an id only), by node in node order: the document's record,
    // -1 for none, -2 for a line without an id. Taken once, by the mapping, so that it need not
    // look them up again.
    std::vector<std::pair<int, int>> takeLinkRecords() { return std::move(m_linkRecords); }

private:
    // Lists of items per owner (person or family), side by side in one array.
    template <typename T> struct Lists
    {
        std::vector<quint32> start{0}; // per owner, into items; one more at the end
        std::vector<T> items;

        std::span<const T> operator[](size_t owner) const
        {
            return {items.data() + start[owner], items.data() + start[owner + 1]};
        }
        // Items added from now on go to this owner; the lists of the owners before it end.
        void openOwner(size_t owner)
        {
            while (start.size() <= owner)
                start.push_back(quint32(items.size()));
        }
        // Ends the lists of all owners.
        void finish(size_t owners) { openOwner(owners); }
    };
    // Links as each end wrote them, before they are joined.
    struct Written
    {
        Lists<int> children, partners; // per family
        Lists<ChildLink> parents;      // per person
        Lists<int> partnerships;       // per person
    };

    void collectRecords();
    void readFamilyLinks(Written &written);
    void readPersonLinks(Written &written);
    void joinLinks(Written &written);
    void chooseLineParents();
    void countBrokenPointers();
    // The persons (or families) the ids name, -1 where none: an id of a missing record, or of a
    // record of the wrong kind, counts as broken.
    // The records found are kept by the link lines' nodes (`nodes`, beside `ids`).
    void resolve(const std::vector<QByteArrayView> &ids, const std::vector<int> &nodes,
                 std::vector<int> &entities, Tag recordTag);

    const Document &m_doc;
    std::vector<Person> m_persons;
    std::vector<Family> m_families;
    // Per record: the person's index, -2 - the family's index, or -1.
    std::vector<int> m_entityOfRecord;
    Lists<ChildLink> m_parents;
    Lists<int> m_partnerships;
    Lists<int> m_partners;
    Lists<int> m_children;
    qsizetype m_broken = 0;
    std::vector<std::pair<int, int>> m_linkRecords;
};

} // namespace Gedcom
