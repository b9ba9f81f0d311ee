#include "KinshipCharts.h"

#include "ChildrenOf.h"

#include <algorithm>

DescendantTree BuildKinshipTree(const cPeople &people, const KinshipLinks &links,
                                const KinshipTreeRequest &request)
{
    std::vector<const cPerson *> tops;
    if (request.rootKey.isEmpty()) {
        if (request.kind == KinshipChartKind::Descendants) {
            for (int i = 1; i <= people.Count(); ++i) {
                const cPersonPtr person = people.Item(i);
                if (person && person->PrntKey() == RootParentKey())
                    tops.push_back(person.get());
            }
        }
    } else if (const cPersonPtr top = people.Item(request.rootKey)) {
        // The chart's own person, as the collection holds it (a key in another case finds it).
        tops.push_back(links.Person(links.NumberOf(top->Key())));
        if (!tops.back())
            tops.back() = top.get();
    }
    const DescendantTree::LinksOf all =
        request.kind == KinshipChartKind::Descendants ? links.Children() : links.Parents();
    DescendantTree::LinksOf next = all;
    if (!request.only.isEmpty()) {
        next = [&request, &all](const cPerson &person, std::vector<DescendantTree::Linked> &out) {
            const size_t before = out.size();
            all(person, out);
            out.erase(std::remove_if(out.begin() + std::ptrdiff_t(before), out.end(),
                                     [&request](const DescendantTree::Linked &l) {
                                         return !l.person ||
                                                !request.only.contains(l.person->Key());
                                     }),
                      out.end());
        };
    }
    DescendantTree::OpenTest open;
    DescendantTree::BranchTest branch;
    if (request.openGenerations != INT_MAX) {
        open = [&request](const cPerson &, int generation) {
            return generation < request.openGenerations;
        };
        if (!request.opened.isEmpty())
            branch = [&request](const cPerson &person) {
                return request.opened.contains(person.Key());
            };
    }
    DescendantTree tree = DescendantTree::Build(tops, next, open, branch);
    for (int i = 0; i < tree.Count(); ++i)
        tree.SetSex(i, links.SexOf(*tree.At(i).person));
    return tree;
}

QString KinshipCountWord(KinshipChartKind kind)
{
    return kind == KinshipChartKind::Descendants ? QStringLiteral("descendants")
                                                 : QStringLiteral("ancestors");
}
