#pragma once

#include "ModelSlice.h"

#include <QDate>

#include <span>
#include <vector>

// What an export shows of the living and of what is marked private. Every export (GEDCOM,
// charts, reports) turns a tree's rows and model into this view before writing anything.
//
// A person is living unless a death, a burial or a cremation is known (a death date or place in
// the row, or any such event, "DEAT Y" included), or the person's birth, the birth of one of the
// person's children or the person's marriage lies more than 110 years before today (a date counts
// when even its latest possible day lies that far back; a text that is no date counts by the last
// year written in it).
//
// With `hideLiving` a living person keeps the key, the place in the tree, the sex and the name
// record's existence, and becomes "Living": no other name, no dates, places, address, notes,
// photos, sources, associations or events of the person's own, and the events, sources, notes
// and media of every family the person is a partner in are left out. Without `includePrivate`,
// persons, families and events marked private (the Private bit, RESN privacy) are left out
// entirely, with every record that hangs on them; a child whose parent row was left out becomes
// a root of the line.
namespace Genealogy {

struct PrivacyOptions
{
    static constexpr int kLivingYears = 110;

    bool hideLiving = false;
    bool includePrivate = true;
    QDate today; // invalid: the current date

    bool changesNothing() const { return !hideLiving && includePrivate; }
    // The command line's words: "living" (hide the living and leave out the private), "private"
    // (leave out the private only), "none" (everything as stored). False for another word.
    static bool fromWord(const QString &word, PrivacyOptions &options);
};

// What became of a person of the tree in the view.
enum class PersonShown : quint8 { AsStored, Living, LeftOut };

struct PrivacyView
{
    ModelSlice slice;                 // the rows and the model as the export sees them
    std::vector<PersonShown> persons; // for each row of the tree as given
    int living = 0;                   // persons shown as "Living"
    int leftOut = 0;                  // persons left out
};

// For each row: whether the person counts as living (see above). `model` may have no persons
// (a tree made by hand): then the rows alone decide, children by PrntKey.
std::vector<bool> livingPersons(std::span<const PersonRow> rows, const TreeModel &model,
                                QDate today);

// The view of a tree whose person i is rows[i] (a model without persons: the rows alone).
PrivacyView applyPrivacy(std::span<const PersonRow> rows, const TreeModel &model,
                         const PrivacyOptions &options);

// The name a hidden living person is shown by.
inline QString livingName()
{
    return QStringLiteral("Living");
}

} // namespace Genealogy
