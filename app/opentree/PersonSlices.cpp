#include "PersonSlices.h"

#include "mDatabase.h"

PersonSliceSource RowSlices(const mDatabase &store)
{
    return [&store](const QString &tree, const QString &key) -> Result<Genealogy::ModelSlice> {
        Result<PersonRecord> person = store.FindPerson(tree, key);
        if (!person)
            return person.error();
        Genealogy::ModelSlice slice;
        slice.person = 0;
        const QString parentKey = person->PrntKey;
        slice.rows.push_back(std::move(person).value());
        if (!parentKey.isEmpty() && !IsRootKey(parentKey) && parentKey != key) {
            // A parent key naming nobody is said as it stands; a failure to read it is one.
            Result<PersonRecord> parent = store.FindPerson(tree, parentKey);
            if (parent)
                slice.rows.push_back(std::move(parent).value());
            else if (!parent.error().is(ErrorCode::Missing))
                return parent.error();
        }
        return slice;
    };
}
