#pragma once

#include "cPeople.h"

#include <QString>
#include <QStringList>

// The line of ancestors of one person, topmost first and the person last, as far as clicks in the
// chart can reach it: a person's parent is the person whose Key equals its PrntKey exactly (letter
// case counts), as a click on a box opens exactly those children.
struct AncestorChain
{
    enum class End {
        Root,          // the topmost person is a root (PrntKey kRootKey): the chain starts in row 1
        MissingParent, // the topmost person's PrntKey names nobody (not exactly)
        Cycle,         // the topmost person's parent is already in the chain
        NotFound,      // there is no person with the key; `keys` is empty
    };

    QStringList keys; // topmost ancestor first, the person last
    End end = End::NotFound;
    // Where a broken chain stops: the PrntKey of the topmost person that names nobody, or the
    // key in the chain that it leads back to.
    QString brokenParentKey;

    bool reachesRoot() const { return end == End::Root; }
    const QString &topmost() const { return keys.first(); }

    // For `key`: follows PrntKey upwards until a root, a key that names nobody, or the first
    // repeat. Linear in the length of the chain.
    static AncestorChain Of(const cPeople &people, const QString &key);

    // A sentence for the user on where and why the chain breaks, naming the persons by their
    // name and key; empty for a chain that reaches a root.
    QString BreakText(const cPeople &people) const;
};
