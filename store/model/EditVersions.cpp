// The versions of a tree's persons and records: one pass over its rows and one over its side
// records.
#include "EditVersions.h"

#include "SideDb.h"
#include "mDatabase.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstring>

namespace Store::Side {
namespace {

// A fingerprint of a sequence of fields: two 64-bit hashes of different seeds over each field
// and its length (a change goes unseen with a chance of about 2^-128).
class Fingerprint
{
public:
    void add(QByteArrayView bytes)
    {
        const qint64 size = bytes.size();
        m_a = qHashBits(&size, sizeof size, m_a);
        m_b = qHashBits(&size, sizeof size, m_b);
        m_a = qHashBits(bytes.data(), size_t(bytes.size()), m_a);
        m_b = qHashBits(bytes.data(), size_t(bytes.size()), m_b);
    }
    QByteArray result() const
    {
        QByteArray out(16, Qt::Uninitialized);
        std::memcpy(out.data(), &m_a, 8);
        std::memcpy(out.data() + 8, &m_b, 8);
        return out;
    }

private:
    size_t m_a = 0x5eed0001u;
    size_t m_b = 0x5eed0002u;
};

QByteArray keyOf(const Statement &query, int column)
{
    return query.isNull(column) ? QByteArray() : query.text(column).toByteArray();
}

} // namespace

Result<StoredVersions> readVersions(const mDatabase &store, const QString &table,
                                    std::optional<qint64> treeId)
{
    StoredVersions versions;
    Result<QList<PersonRecord>> rows = store.ReadTree(table);
    if (!rows)
        return rows.error();
    for (const PersonRecord &row : std::as_const(*rows)) {
        Fingerprint hash;
        for (const PersonColumn &column : kPersonColumns)
            hash.add((row.*column.member).toUtf8());
        versions.rows.insert(versionKey(row.ID), hash.result());
        versions.rowKeys.insert(versionKey(row.ID), row.ID.toUtf8());
    }
    if (treeId) {
        const Db db(store);
        Result<Statement> query =
            db.prepare("SELECT tab, idx, person, family, ownerTab, ownerIdx, ref1, ref2, data FROM "
                       "mainRecords WHERE tree = ? ORDER BY tab, idx");
        if (!query)
            return query.error();
        query->bind(1, *treeId);
        bool known = true;
        Result<void> read = query->eachRow([&] {
            const qint64 tab = query->integer(0);
            const qint64 idx = query->integer(1);
            if (tab < 0 || tab >= kTabCount) {
                known = false;
                return;
            }
            Fingerprint hash;
            for (int column = 2; column < 9; ++column)
                hash.add(query->isNull(column) ? QByteArrayView("\x01null") : query->blob(column));
            StoredVersions::Record record;
            record.id = recordId(Tab(tab), idx);
            record.person = keyOf(*query, 2);
            if (!query->isNull(3))
                record.family = query->integer(3);
            record.ref1 = keyOf(*query, 6);
            record.ref2 = keyOf(*query, 7);
            versions.records.insert(record.id, hash.result());
            versions.highest[tab] = std::max(versions.highest[tab], idx);
            if (Tab(tab) == Tab::Person)
                versions.personNumbers.insert(query->text(2).toByteArray(), idx);
            else
                versions.numbers[tab].push_back(idx);
            versions.stored.push_back(std::move(record));
        });
        if (!read)
            return read.error();
        if (!known)
            return Error(
                ErrorCode::Damaged,
                QStringLiteral("The tree '%1' has side records of an unknown kind.").arg(table));
    }

    versions.hasRecords = !versions.stored.empty();
    return versions;
}

QByteArray StoredVersions::person(const QString &key) const
{
    const auto row = rows.constFind(key);
    if (row == rows.cend())
        return {};
    // Records name persons by the key of their row, as it is written.
    const QByteArray exact = rowKeys.value(key);
    QSet<qint64> families;
    for (const Record &r : stored) {
        const Tab tab = Tab(r.id >> 48);
        if (!r.family)
            continue;
        if ((tab == Tab::Partnership || tab == Tab::ChildLink) && r.person == exact)
            families.insert(*r.family);
        if (tab == Tab::Family && (r.ref1 == exact || r.ref2 == exact))
            families.insert(*r.family);
    }
    Fingerprint hash;
    hash.add(*row);
    // In stored order (by table and number): the same scope gives the same sequence.
    for (const Record &r : stored) {
        if (r.person != exact && r.ref1 != exact && r.ref2 != exact &&
            !(r.family && families.contains(*r.family)))
            continue;
        hash.add(QByteArrayView(reinterpret_cast<const char *>(&r.id), sizeof r.id));
        hash.add(records.value(r.id));
    }
    return hash.result();
}

} // namespace Store::Side
