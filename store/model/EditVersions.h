#pragma once

#include "RecordCodec.h"
#include "Result.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

class mDatabase;

// The versions of a tree's persons and side records as they are stored: what an edit read, and
// what it compares inside its write transaction, so that it is refused only when something it
// depends on changed since, never because another person of the tree changed.
namespace Store::Side {

// A stored record: its table and its number there.
inline quint64 recordId(Tab tab, qint64 number)
{
    return (quint64(tab) << 48) | (quint64(number) & 0xFFFFFFFFFFFFull);
}

struct StoredVersions
{
    // Per person (by key, A-Z and other letters upper-cased): a fingerprint of its row, of the
    // side records that go with it or name it and of every record of the families it is a
    // partner or a child in.
    QHash<QString, QByteArray> persons;
    // Per stored record (recordId): a fingerprint of its columns.
    QHash<quint64, QByteArray> records;
    // The stored numbers of each table in stored order (the persons' records apart, by key), as
    // the model read with them numbers its records.
    std::vector<qint64> numbers[kTabCount];
    QHash<QByteArray, qint64> personNumbers;
    // The highest stored number of each table (-1 when none): records added go after it.
    qint64 highest[kTabCount];
    bool hasRecords = false;

    StoredVersions() { std::fill(std::begin(highest), std::end(highest), -1); }
};

// The versions of the tree stored in `table` (its side records under `treeId`, none without).
Result<StoredVersions> readVersions(const mDatabase &store, const QString &table,
                                    std::optional<qint64> treeId);

// The key as the versions are kept by.
inline QString versionKey(const QString &key)
{
    return key.toUpper();
}

} // namespace Store::Side
