#pragma once

#include "cPeople.h"

#include <QRandomGenerator>
#include <QString>

#include <functional>

// Generated trees of persons: person i is "p<i>", its parent chosen by `parentOf(i)` among the
// persons before it (-1 for a root).
inline cPeople GeneratedPeople(int count, const std::function<int(int)> &parentOf)
{
    cPeople people;
    for (int i = 0; i < count; ++i) {
        cPerson p;
        p.setKey(QStringLiteral("p%1").arg(i));
        const int parent = parentOf(i);
        p.setPrntKey(parent < 0 ? QStringLiteral("ROOT") : QStringLiteral("p%1").arg(parent));
        p.setFname(QStringLiteral("First%1").arg(i));
        p.setSname(QStringLiteral("Last%1").arg(i));
        people.Add(p);
    }
    return people;
}

// The shapes the tests and the benchmark lay out.
namespace TreeShapes {
// Each person's parent one of the persons before it, at random.
inline std::function<int(int)> Random(quint32 seed)
{
    auto rng = std::make_shared<QRandomGenerator>(seed);
    return [rng](int i) { return i == 0 ? -1 : int(rng->bounded(quint32(i))); };
}
// Families of up to `spread` children, each generation from the last few of the one before:
// deep, bushy and ragged at once.
inline std::function<int(int)> Bushy(quint32 seed, int spread = 6)
{
    auto rng = std::make_shared<QRandomGenerator>(seed);
    return [rng, spread](int i) {
        return i == 0 ? -1 : std::max(0, i - 1 - int(rng->bounded(quint32(spread * 3))));
    };
}
inline int Chain(int i)
{
    return i - 1;
}
inline int Star(int i)
{
    return i == 0 ? -1 : 0;
}
inline int Binary(int i)
{
    return i == 0 ? -1 : (i - 1) / 2;
}
// A comb: a line down the left with one leaf beside each step, so that every new subtree meets
// a long contour on its left.
inline int Comb(int i)
{
    return i == 0 ? -1 : (i % 2 == 1 ? i - 1 : i - 2);
}
} // namespace TreeShapes
