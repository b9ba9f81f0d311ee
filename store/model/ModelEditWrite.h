#pragma once

#include "EditVersions.h"
#include "PersonRow.h"
#include "Result.h"
#include "TreeModel.h"

#include <QStringList>

#include <optional>
#include <span>
#include <vector>

namespace Store::Side {

class Db;

// One record as a row of mainRecords.
struct Image
{
    std::optional<QByteArray> person;
    std::optional<qint64> family;
    std::optional<qint64> ownerTab;
    std::optional<qint64> ownerIdx;
    std::optional<QByteArray> ref1;
    std::optional<QByteArray> ref2;
    QByteArray data;

    bool operator==(const Image &) const = default;
};

// One record an edit writes: added, changed or removed, under its stored number.
struct RecordWrite
{
    enum class Kind { Add, Update, Remove };
    Kind kind = Kind::Update;
    Tab tab = Tab::Tree;
    qint64 number = 0;
    Image image; // added or changed
    // The persons (versionKey) the record went with or named before and after the change.
    QStringList persons;
    // The stored records (recordId) the fields of the record written link to (a citation's
    // source, a shared note, a medium...).
    std::vector<quint64> links;
};

// The records in which `after` differs from `before`, the model the tree's records were read as
// (ModelStore::readTree) with the stored numbers `read`: changed and removed ones under their
// stored numbers (a record whose index moved takes the number of its new place, so every link
// stays right), added ones after the highest number of their table in `read` and in `now` (the
// versions stored now). InvalidInput when `before` is not the model `read` numbers.
Result<std::vector<RecordWrite>> planChangedRecords(
    const StoredVersions &read, const StoredVersions &now,
    std::span<const Genealogy::PersonRow> beforeRows, const Genealogy::TreeModel &before,
    std::span<const Genealogy::PersonRow> afterRows, const Genealogy::TreeModel &after);

// Whether a record written links to a stored record that was there when the edit read the tree
// (`read`) and is gone now (`now`): another program deleted the source it cites, say.
bool namesDeletedRecord(const std::vector<RecordWrite> &writes, const StoredVersions &read,
                        const StoredVersions &now);

// Writes the planned records to mainRecords in the caller's transaction.
Result<void> writeRecords(const Db &db, qint64 tree, const std::vector<RecordWrite> &writes);

} // namespace Store::Side
