#pragma once

#include <QString>

namespace Gedcom::Model {

// The NAME value of a primary name that has no value of its own: "Given /Surname/", or
// "/Surname/" without a given name. The import keeps a name's value only when it differs.
inline QString composedName(const QString &given, const QString &surname)
{
    if (given.isEmpty())
        return QLatin1Char('/') + surname + QLatin1Char('/');
    return given + QStringLiteral(" /") + surname + QLatin1Char('/');
}

// Whether `value` is composedName(given, surname), without making that text.
inline bool isComposedName(QStringView value, QStringView given, QStringView surname)
{
    const qsizetype head = given.isEmpty() ? 1 : given.size() + 2; // "/" or "Given /"
    if (value.size() != head + surname.size() + 1 || !value.endsWith(QLatin1Char('/')))
        return false;
    if (given.isEmpty() ? value.front() != QLatin1Char('/')
                        : !(value.first(given.size()) == given &&
                            value.sliced(given.size(), 2) == QLatin1String(" /")))
        return false;
    return value.sliced(head, surname.size()) == surname;
}

} // namespace Gedcom::Model
