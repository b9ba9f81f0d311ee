#include "ChildrenOf.h"

#include <QHash>

#include <memory>

ChildrenOf IndexChildren(const cPeople &people)
{
    using Index = QHash<QString, std::vector<cPersonPtr>>;
    auto index = std::make_shared<Index>();
    index->reserve(people.Count() / 2 + 1);
    for (int i = 1; i <= people.Count(); ++i) {
        const cPersonPtr person = people.Item(i);
        if (person)
            (*index)[person->PrntKey()].push_back(person);
    }
    return [index](const QString &parentKey) -> const std::vector<cPersonPtr> & {
        static const std::vector<cPersonPtr> none;
        const auto it = index->constFind(parentKey);
        return it == index->cend() ? none : it.value();
    };
}
