#include "DescendantTree.h"

#include <unordered_map>

DescendantTree DescendantTree::Build(const cPeople &people, const ChildrenOf &childrenOf,
                                     const QString &rootKey)
{
    std::vector<const cPerson *> tops;
    if (rootKey.isEmpty()) {
        for (const cPersonPtr &root : childrenOf(RootParentKey()))
            tops.push_back(root.get());
    } else if (const cPersonPtr root = people.Item(rootKey)) {
        tops.push_back(root.get());
    }
    const LinksOf links = [&childrenOf](const cPerson &person, std::vector<Linked> &out) {
        for (const cPersonPtr &child : childrenOf(person.Key()))
            out.push_back(Linked{child.get(), nullptr});
    };
    DescendantTree tree = Build(tops, links);
    return tree;
}

DescendantTree DescendantTree::Build(const std::vector<const cPerson *> &tops, const LinksOf &links,
                                     const OpenTest &open, const BranchTest &openBranch)
{
    DescendantTree tree;
    // Where each person reached is drawn.
    std::unordered_map<const cPerson *, int> reached;
    for (const cPerson *top : tops) {
        if (top && reached.emplace(top, tree.Count()).second)
            tree.m_persons.push_back(Person{top->Key(), -1, 0, 0, 0, top});
    }
    tree.m_topCount = tree.Count();

    int generation = 0;
    int generationEnd = tree.Count();
    tree.m_generationStart.push_back(generationEnd);
    std::vector<Linked> next;
    std::vector<bool> branchOpen; // by number; short while no branch was opened
    for (int i = 0; i < tree.Count(); ++i) {
        if (i == generationEnd) {
            ++generation;
            generationEnd = tree.Count();
            tree.m_generationStart.push_back(generationEnd);
        }
        // The vector may grow below: work on the person by number.
        const cPerson *person = tree.m_persons[size_t(i)].person;
        const int first = tree.Count();
        next.clear();
        links(*person, next);
        // A branch opened is open for everyone below its person.
        bool branch = branchOpen.size() > size_t(i) && branchOpen[size_t(i)];
        if (openBranch && !branch && openBranch(*person)) {
            branch = true;
            branchOpen.resize(size_t(tree.Count()), false);
            branchOpen[size_t(i)] = true;
        }
        if (open && !branch && !open(*person, generation)) {
            tree.m_persons[size_t(i)].closed = !next.empty();
            next.clear();
        }
        for (const Linked &link : next) {
            if (!link.person)
                continue;
            const auto [at, added] = reached.emplace(link.person, tree.Count());
            if (!added) {
                tree.m_cuts.push_back(
                    Cut{link.person->Key(), person->Key(), at->second, i, link.partner});
                tree.m_persons[size_t(at->second)].repeated = true;
                continue;
            }
            tree.m_persons.push_back(
                Person{link.person->Key(), i, 0, 0, generation + 1, link.person, link.partner});
            if (branch) {
                branchOpen.resize(size_t(tree.Count()), false);
                branchOpen.back() = true;
            }
        }
        Person &p = tree.m_persons[size_t(i)];
        p.firstChild = first;
        p.childCount = tree.Count() - first;
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
