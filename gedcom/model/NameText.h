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

} // namespace Gedcom::Model
