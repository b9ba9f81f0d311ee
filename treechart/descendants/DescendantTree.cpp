#include "DescendantTree.h"

#include <unordered_set>

DescendantTree DescendantTree::Build(const cPeople &people, const ChildrenOf &childrenOf,
                                     const QString &rootKey)
{
    DescendantTree tree;
    // Persons are told apart by identity: keys are unique in the collection.
    std::unordered_set<const cPerson *> reached;
    reached.reserve(size_t(people.Count()));
    if (rootKey.isEmpty()) {
        for (const cPersonPtr &root : childrenOf(RootParentKey())) {
            if (reached.insert(root.get()).second)
                tree.m_persons.push_back(Person{root->Key(), -1, 0, 0, 0, root.get()});
        }
    } else if (const cPersonPtr root = people.Item(rootKey)) {
        reached.insert(root.get());
        tree.m_persons.push_back(Person{root->Key(), -1, 0, 0, 0, root.get()});
    }
    tree.m_topCount = tree.Count();
    tree.m_persons.reserve(size_t(people.Count()));

    int generation = 0;
    int generationEnd = tree.Count();
    tree.m_generationStart.push_back(generationEnd);
    for (int i = 0; i < tree.Count(); ++i) {
        if (i == generationEnd) {
            ++generation;
            generationEnd = tree.Count();
            tree.m_generationStart.push_back(generationEnd);
        }
        // The vector may grow below: work on the person by number.
        const QString key = tree.m_persons[size_t(i)].key;
        const int first = tree.Count();
        for (const cPersonPtr &child : childrenOf(key)) {
            if (!reached.insert(child.get()).second) {
                tree.m_cuts.push_back(Cut{child->Key(), key});
                continue;
            }
            tree.m_persons.push_back(Person{child->Key(), i, 0, 0, generation + 1, child.get()});
        }
        Person &person = tree.m_persons[size_t(i)];
        person.firstChild = first;
        person.childCount = tree.Count() - first;
    }
    if (tree.Count() == 0)
        tree.m_generationStart = {0};
    tree.m_persons.shrink_to_fit();
    return tree;
}

QStringList DescendantTree::Keys() const
{
    QStringList keys;
    keys.reserve(Count());
    for (const Person &p : m_persons)
        keys.append(p.key);
    return keys;
}

int DescendantTree::Find(const QString &key) const
{
    for (int i = 0; i < Count(); ++i) {
        if (m_persons[size_t(i)].key == key)
            return i;
    }
    return -1;
}
