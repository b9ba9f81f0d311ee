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
    // Per person (by key, upper-cased), a fingerprint of its row.
    QHash<QString, QByteArray> rows;
    // Per stored record (recordId): a fingerprint of its columns.
    QHash<quint64, QByteArray> records;
    // The stored numbers of each table in stored order (the persons' records apart, by key), as
    // the model read with them numbers its records.
    std::vector<qint64> numbers[kTabCount];
    QHash<QByteArray, qint64> personNumbers;
    // The highest stored number of each table (-1 when none): records added go after it.
    qint64 highest[kTabCount];
    bool hasRecords = false;

    // Each stored record (in stored order) with the persons it goes with or names (by the key
    // as written) and its family.
    struct Record
    {
        quint64 id = 0;
        QByteArray person;
        QByteArray ref1;
        QByteArray ref2;
        std::optional<qint64> family;
    };
    std::vector<Record> stored;
    // The key of each person's row as written (by key, upper-cased).
    QHash<QString, QByteArray> rowKeys;

    StoredVersions() { std::fill(std::begin(highest), std::end(highest), -1); }

    bool hasPerson(const QString &key) const { return rows.contains(key); }
    // The version of a person (by key, upper-cased): a fingerprint of its row, of the side
    // records that go with it or name it and of every record of the families it is a partner
    // or a child in. Empty when there is no such person.
    QByteArray person(const QString &key) const;
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
