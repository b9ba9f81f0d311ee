#include "RelationshipTerms.h"

#include <QStringList>

#include <cstdlib>

namespace Genealogy::RelationshipTerms {

QString bySex(Sex sex, const char *male, const char *female, const char *neutral)
{
    switch (sex) {
    case Sex::Male:
        return QString::fromLatin1(male);
    case Sex::Female:
        return QString::fromLatin1(female);
    default:
        return QString::fromLatin1(neutral);
    }
}

QString ordinal(int n)
{
    static const char *const words[] = {"first", "second",  "third",  "fourth", "fifth",
                                        "sixth", "seventh", "eighth", "ninth",  "tenth"};
    if (n >= 1 && n <= 10)
        return QString::fromLatin1(words[n - 1]);
    const int lastTwo = n % 100;
    const char *suffix = "th";
    if (lastTwo < 11 || lastTwo > 13) {
        switch (n % 10) {
        case 1:
            suffix = "st";
            break;
        case 2:
            suffix = "nd";
            break;
        case 3:
            suffix = "rd";
            break;
        default:
            break;
        }
    }
    return QString::number(n) + QLatin1String(suffix);
}

QString times(int n)
{
    static const char *const words[] = {"once",       "twice",     "three times", "four times",
                                        "five times", "six times", "seven times", "eight times",
                                        "nine times", "ten times"};
    if (n >= 1 && n <= 10)
        return QString::fromLatin1(words[n - 1]);
    return QStringLiteral("%1 times").arg(n);
}

namespace {

// "great-" repeated n times.
QString greats(int n)
{
    return QStringLiteral("great-").repeated(std::max(0, n));
}

// A word for each sex, with the prefix; where the sex is unknown both words joined by "or".
QString pair(Sex sex, const QString &prefix, const char *male, const char *female)
{
    if (sex == Sex::Male)
        return prefix + QLatin1String(male);
    if (sex == Sex::Female)
        return prefix + QLatin1String(female);
    return prefix + QLatin1String(male) + QStringLiteral(" or ") + prefix + QLatin1String(female);
}

} // namespace

QString blood(int up, int down, Sex sex, bool half)
{
    if (up < 0 || down < 0)
        return QString();
    if (up == 0 && down == 0)
        return QStringLiteral("same person");
    if (up == 0) { // an ancestor
        if (down == 1)
            return bySex(sex, "father", "mother", "parent");
        return greats(down - 2) + bySex(sex, "grandfather", "grandmother", "grandparent");
    }
    if (down == 0) { // a descendant
        if (up == 1)
            return bySex(sex, "son", "daughter", "child");
        return greats(up - 2) + bySex(sex, "grandson", "granddaughter", "grandchild");
    }
    const QString halfWord = half ? QStringLiteral("half-") : QString();
    if (up == 1 && down == 1)
        return halfWord + bySex(sex, "brother", "sister", "sibling");
    if (up == 1) { // a sibling of an ancestor: uncle, great-uncle, great-grand-uncle, ...
        const QString prefix = down == 2
                                   ? QString()
                                   : (down == 3 ? QStringLiteral("great-")
                                                : greats(down - 3) + QStringLiteral("grand-"));
        return pair(sex, halfWord + prefix, "uncle", "aunt");
    }
    if (down == 1) { // a descendant of a sibling
        const QString prefix = up == 2 ? QString()
                                       : (up == 3 ? QStringLiteral("great-")
                                                  : greats(up - 3) + QStringLiteral("grand-"));
        return pair(sex, halfWord + prefix, "nephew", "niece");
    }
    const int degree = std::min(up, down) - 1;
    const int removed = std::abs(up - down);
    QString term = halfWord + ordinal(degree) + QStringLiteral(" cousin");
    if (removed > 0)
        term += QLatin1Char(' ') + times(removed) + QStringLiteral(" removed");
    return term;
}

} // namespace Genealogy::RelationshipTerms
