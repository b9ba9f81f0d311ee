#pragma once

// Large generated trees for the store's tests: couple i is Anna A<i> (a root), Bert B<i> (her
// partner, outside the line) and their child Carl C<i> (in Anna's line), with sexes, their
// family, its partnerships and child link, and a marriage in 1925.
#include "ModelStore.h"
#include "NewTreeWriter.h"

#include <vector>

struct CoupleTree
{
    std::vector<Genealogy::PersonRow> rows;
    Genealogy::TreeModel model;
};

struct Couple
{
    quint32 first = 0, second = 0, child = 0, family = 0;
};

// Adds couple i as persons 3i, 3i+1 and 3i+2 (the model's persons must have room for them).
inline Couple addCouple(CoupleTree &s, int i, Genealogy::Sex childSex)
{
    using namespace Genealogy;
    TreeModel &m = s.model;
    const Couple c{quint32(i) * 3, quint32(i) * 3 + 1, quint32(i) * 3 + 2, 0};
    Genealogy::PersonRow first, second, child;
    first.ID = QStringLiteral("A%1").arg(i);
    first.PrntKey = QStringLiteral("ROOT");
    first.Fname = QStringLiteral("Anna");
    first.PrtFname = QStringLiteral("Bert");
    second.ID = QStringLiteral("B%1").arg(i);
    second.Fname = QStringLiteral("Bert");
    second.PrtFname = QStringLiteral("Anna");
    child.ID = QStringLiteral("C%1").arg(i);
    child.PrntKey = first.ID;
    child.Fname = QStringLiteral("Carl");
    s.rows.insert(s.rows.end(), {first, second, child});
    m.persons.edit(c.first).sex = Sex::Female;
    m.persons.edit(c.second).sex = Sex::Male;
    m.persons.edit(c.child).sex = childSex;
    Family family;
    family.partner[0] = c.first;
    family.partner[1] = c.second;
    const quint32 f = m.families.add(family);
    m.partnerships.add({c.first, f});
    m.partnerships.add({c.second, f});
    ChildLink link;
    link.family = f;
    link.child = c.child;
    m.childLinks.add(link);
    Event marriage;
    marriage.owner = Ref(Kind::Family, f);
    marriage.type = EventTypes::find("MARR", true);
    marriage.date = m.text(QStringView(u"1925"));
    m.events.add(marriage);
    return {c.first, c.second, c.child, f};
}
