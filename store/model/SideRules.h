#pragma once

#include "PersonRecord.h"
#include "SideDb.h"

class mDatabase;

// What the store's operations on trees and rows do to the side records, each inside the
// operation's own write transaction. A tree without side records stays without them (beyond
// the schema, which every change makes when the file has none).
namespace Store::Side {

// Every change first: the tables exist, and records of tables that went are set aside.
Result<void> beforeChange(const Db &db);
// The tree table `from` is now `to`: one name changes in mainTrees.
Result<void> renameTree(const Db &db, const QString &from, const QString &to);
// The tree table went: its side records go.
Result<void> deleteTree(const Db &db, const QString &table);
// The row `key` went: its events, names, citations, notes and links go; its families keep the
// other partner; it leaves the families it was a child of; a family with no partner and no child
// left goes; associations and aliases pointing to it go; partner columns that named it follow.
Result<void> deletePerson(mDatabase &store, const Db &db, const QString &table, const QString &key);
// The row `after` was saved (`before`: as it was; null for a new row). A new name reaches the
// partner columns of the rows whose first family has the person as the other partner; new
// partner columns rename that partner, or make one (a row outside the line and a family), or
// (cleared) take the partner out of the first family; a new parent key P puts the row, as a
// child, into a family of P's when it is a child of none with P as partner.
Result<void> personSaved(mDatabase &store, const Db &db, const QString &table,
                         const PersonRecord *before, const PersonRecord &after);

} // namespace Store::Side
