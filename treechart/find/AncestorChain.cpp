#include "AncestorChain.h"

#include "ChildrenOf.h"

#include <QSet>

#include <algorithm>

namespace {

QString describe(const cPeople &people, const QString &key)
{
    const cPersonPtr person = people.Item(key);
    if (!person)
        return QLatin1Char('\'') + key + QLatin1Char('\'');
    const QString name = (person->Fname() + QLatin1Char(' ') + person->Sname()).trimmed();
    if (name.isEmpty())
        return QLatin1Char('\'') + person->Key() + QLatin1Char('\'');
    return name + QStringLiteral(" (") + person->Key() + QLatin1Char(')');
}

} // namespace

AncestorChain AncestorChain::Of(const cPeople &people, const QString &key)
{
    AncestorChain chain;
    cPersonPtr person = people.Item(key);
    if (!person)
        return chain;
    QSet<QString> seen;
    for (;;) {
        chain.keys.append(person->Key());
        seen.insert(person->Key());
        const QString parentKey = person->PrntKey();
        if (parentKey == RootParentKey()) {
            chain.end = End::Root;
            break;
        }
        const cPersonPtr parent = people.Item(parentKey);
        // The collection finds keys in any letter case; a click opens exact matches only.
        if (!parent || parent->Key() != parentKey) {
            chain.end = End::MissingParent;
            chain.brokenParentKey = parentKey;
            break;
        }
        if (seen.contains(parent->Key())) {
            chain.end = End::Cycle;
            chain.brokenParentKey = parent->Key();
            break;
        }
        person = parent;
    }
    std::reverse(chain.keys.begin(), chain.keys.end());
    return chain;
}

QString AncestorChain::BreakText(const cPeople &people) const
{
    switch (end) {
    case End::Root:
        return QString();
    case End::NotFound:
        return QStringLiteral("There is no such person in this tree.");
    case End::MissingParent:
        if (brokenParentKey.isEmpty())
            return QStringLiteral("The line of ancestors ends at %1, whose parent key is empty. "
                                  "The chart shows the line from there.")
                .arg(describe(people, topmost()));
        return QStringLiteral("The line of ancestors ends at %1: the parent key '%2' names "
                              "nobody in this tree. The chart shows the line from there.")
            .arg(describe(people, topmost()), brokenParentKey);
    case End::Cycle:
        return QStringLiteral("The line of ancestors runs in a circle: the parent of %1 is %2, "
                              "who is already one of the descendants. The chart shows the line "
                              "from %1.")
            .arg(describe(people, topmost()), describe(people, brokenParentKey));
    }
    return QString();
}
