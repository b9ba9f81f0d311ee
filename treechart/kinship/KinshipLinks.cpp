#include "KinshipLinks.h"

KinshipLinks::KinshipLinks(const cPeople &people, std::span<const Genealogy::FamilyKeys> families)
{
    const int count = people.Count();
    m_persons.reserve(size_t(count));
    for (int i = 1; i <= count; ++i)
        m_persons.push_back(people.Item(i));
    m_index = Genealogy::KinshipIndex::build(
        count,
        [this](qsizetype i) {
            return m_persons[size_t(i)] ? m_persons[size_t(i)]->Key() : QString();
        },
        [this](qsizetype i) {
            return m_persons[size_t(i)] ? m_persons[size_t(i)]->PrntKey() : QString();
        },
        families);
}

KinshipLinks::Snapshot KinshipLinks::Take(const cPeople &people,
                                          std::vector<Genealogy::FamilyKeys> families)
{
    Snapshot snapshot;
    const int count = people.Count();
    snapshot.persons.reserve(size_t(count));
    snapshot.keys.reserve(size_t(count));
    snapshot.parentKeys.reserve(size_t(count));
    for (int i = 1; i <= count; ++i) {
        cPersonPtr person = people.Item(i);
        snapshot.keys.push_back(person ? person->Key() : QString());
        snapshot.parentKeys.push_back(person ? person->PrntKey() : QString());
        snapshot.persons.push_back(std::move(person));
    }
    snapshot.families = std::move(families);
    return snapshot;
}

KinshipLinks::KinshipLinks(Snapshot snapshot) : m_persons(std::move(snapshot.persons))
{
    const std::vector<QString> &keys = snapshot.keys;
    const std::vector<QString> &parents = snapshot.parentKeys;
    m_index = Genealogy::KinshipIndex::build(
        qsizetype(keys.size()), [&keys](qsizetype i) { return keys[size_t(i)]; },
        [&parents](qsizetype i) { return parents[size_t(i)]; }, snapshot.families);
}

void KinshipLinks::SetSexes(const QHash<QString, Genealogy::Sex> &sexes)
{
    for (auto it = sexes.cbegin(); it != sexes.cend(); ++it)
        m_index.setSex(m_index.indexOf(it.key()), it.value());
}

const cPerson *KinshipLinks::Person(int number) const
{
    return number >= 0 && size_t(number) < m_persons.size() ? m_persons[size_t(number)].get()
                                                            : nullptr;
}

Genealogy::Sex KinshipLinks::SexOf(const cPerson &person) const
{
    const int n = m_index.indexOf(person.Key());
    return n < 0 ? Genealogy::Sex::None : m_index.sex(n);
}

DescendantTree::LinksOf KinshipLinks::Children() const
{
    return [this](const cPerson &person, std::vector<DescendantTree::Linked> &out) {
        const int n = m_index.indexOf(person.Key());
        if (n < 0)
            return;
        const auto children = m_index.children(n);
        const auto partners = m_index.coParents(n);
        for (size_t i = 0; i < children.size(); ++i)
            out.push_back({Person(children[i]), Person(partners[i])});
    };
}

DescendantTree::LinksOf KinshipLinks::Parents() const
{
    return [this](const cPerson &person, std::vector<DescendantTree::Linked> &out) {
        const int n = m_index.indexOf(person.Key());
        if (n < 0)
            return;
        for (int parent : m_index.parents(n))
            out.push_back({Person(parent), nullptr});
    };
}
