#include "ChildIndex.h"

#include <algorithm>

void ChildIndex::Build(const cPeople &people)
{
    m_children.clear();
    m_children.reserve(people.Count() / 2 + 1);
    for (const cPersonPtr &person : people)
        m_children[person->PrntKey()].push_back(person);
    m_count = people.Count();
    m_valid = true;
}

void ChildIndex::Invalidate()
{
    m_children.clear();
    m_count = 0;
    m_valid = false;
}

const std::vector<cPersonPtr> &ChildIndex::Children(const cPeople &people, const QString &parentKey)
{
    static const std::vector<cPersonPtr> none;
    if (!m_valid || m_count != people.Count())
        Build(people);
    const auto it = m_children.constFind(parentKey);
    return it == m_children.cend() ? none : it.value();
}

void ChildIndex::Remove(const cPerson &person)
{
    if (!m_valid)
        return;
    const auto it = m_children.find(person.PrntKey());
    if (it == m_children.end())
        return;
    std::vector<cPersonPtr> &siblings = it.value();
    const auto found = std::find_if(siblings.begin(), siblings.end(),
                                    [&](const cPersonPtr &p) { return p->Key() == person.Key(); });
    if (found == siblings.end())
        return;
    siblings.erase(found);
    if (siblings.empty())
        m_children.erase(it);
    --m_count;
}

void ChildIndex::Add(const cPersonPtr &person)
{
    if (!m_valid || !person)
        return;
    m_children[person->PrntKey()].push_back(person);
    ++m_count;
}
