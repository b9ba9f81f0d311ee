#pragma once

// A person's row as the tests write it: key, parent key, names and the partner's names.
#include "PersonRecord.h"

#include <QString>

inline PersonRecord row(const QString &id, const QString &parent, const QString &first,
                        const QString &last, const QString &partnerFirst = {},
                        const QString &partnerLast = {})
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = first;
    r.Sname = last;
    r.PrtFname = partnerFirst;
    r.PrtSname = partnerLast;
    return r;
}
