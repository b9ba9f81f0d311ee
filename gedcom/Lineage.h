#pragma once

#include "Document.h"

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
        std::vector<ChildLink> parents; // families this person is a child of
        std::vector<int> partnerships;  // families this person is a partner in
    };
    struct Family
    {
        int node = -1;
        std::vector<int> partners; // persons, HUSB and WIFE in file order (whatever the sexes)
        std::vector<int> children;
        int lineParent = -1; // the person whose row the children point to; -1 without partners
    };

    explicit Lineage(const Document &doc);

    const std::vector<Person> &persons() const { return m_persons; }
    const std::vector<Family> &families() const { return m_families; }
    const Person &person(int p) const { return m_persons[size_t(p)]; }
    const Family &family(int f) const { return m_families[size_t(f)]; }
    bool isChild(int p) const { return !m_persons[size_t(p)].parents.empty(); }

    // The person or family a record holds, or -1.
    int personOfRecord(int record) const;
    int familyOfRecord(int record) const;

    // Pointers anywhere in the file to records that do not exist, and links of the family graph
    // to a record of the wrong kind.
    qsizetype brokenPointers() const { return m_broken; }

private:
    void collectRecords();
    void readFamilyLinks();
    void readPersonLinks();
    void joinLinks();
    void chooseLineParents();
    void countBrokenPointers();
    int resolve(int node, Tag recordTag);

    const Document &m_doc;
    std::vector<Person> m_persons;
    std::vector<Family> m_families;
    std::vector<int> m_entityOfRecord; // person or family index of each record, or -1
    // Links as each end wrote them, before they are joined.
    std::vector<std::vector<int>> m_listedChildren, m_listedPartners;
    qsizetype m_broken = 0;
};

} // namespace Gedcom
