#pragma once

#include "PersonRow.h"
#include "TreeModel.h"

#include <QStringList>

#include <span>

namespace Genealogy {

// Every rule between a tree's rows and its model, checked: one line per disagreement, none when
// the two agree. The rows are the tree's rows in the model's person order. The rules:
//  - the model has one person per row, and every record's owner and every link exists;
//  - a family's partners and the persons' Partnership records name each other;
//  - the first birth and death record of a person carries no date or place;
//  - a person has at most one primary name, first, without given name or surname of its own;
//  - at most one residence is the row's, it holds no address line, city or country of its own
//    and no later residence has an address;
//  - the partner columns of a row that is a partner in a family name the first family's other
//    partner (empty when there is none);
//  - a row in the line that is a child in some family has its PrntKey among the partners of one
//    of its families ("ROOT" when one of them has no partner).
QStringList checkTree(std::span<const PersonRow> rows, const TreeModel &model);

} // namespace Genealogy
