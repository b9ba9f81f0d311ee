// The versions of a tree's persons and records: one pass over its rows and one over its side
// records.
#include "EditVersions.h"

#include "SideDb.h"
#include "TreeSql.h"
#include "mDatabase.h"

#include <QCryptographicHash>
#include <QSet>

#include <algorithm>

namespace Store::Side {
namespace {

void addField(QCryptographicHash &hash, QByteArrayView bytes)
{
    const qint64 size = bytes.size();
    hash.addData(QByteArrayView(reinterpret_cast<const char *>(&size), sizeof size));
    hash.addData(bytes);
}

// One stored record and the persons and family it goes with.
struct Stored
{
    quint64 id = 0;
    QString person;
    QString ref1;
    QString ref2;
    std::optional<qint64> family;
    QByteArray hash;
};

QString keyOf(const Statement &query, int column)
{
    return query.isNull(column) ? QString() : versionKey(QString::fromUtf8(query.text(column)));
}

} // namespace

Result<StoredVersions> readVersions(const mDatabase &store, const QString &table,
                                    std::optional<qint64> treeId)
{
    StoredVersions versions;
    Result<QList<PersonRecord>> rows = store.ReadTree(table);
    if (!rows)
        return rows.error();
    QHash<QString, QByteArray> rowHash;
    for (const PersonRecord &row : std::as_const(*rows)) {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (const QVariant &value : Store::TreeSql::RecordValues(row))
            addField(hash, value.toString().toUtf8());
        rowHash.insert(versionKey(row.ID), hash.result());
    }
    std::vector<Stored> records;
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
            QCryptographicHash hash(QCryptographicHash::Sha1);
            for (int column = 2; column < 9; ++column)
                addField(hash,
                         query->isNull(column) ? QByteArrayView("\x01null") : query->blob(column));
            Stored record;
            record.id = recordId(Tab(tab), idx);
            record.person = keyOf(*query, 2);
            if (!query->isNull(3))
                record.family = query->integer(3);
            record.ref1 = keyOf(*query, 6);
            record.ref2 = keyOf(*query, 7);
            record.hash = hash.result();
            versions.records.insert(record.id, record.hash);
            versions.highest[tab] = std::max(versions.highest[tab], idx);
            if (Tab(tab) == Tab::Person)
                versions.personNumbers.insert(query->text(2).toByteArray(), idx);
            else
                versions.numbers[tab].push_back(idx);
            records.push_back(std::move(record));
        });
        if (!read)
            return read.error();
        if (!known)
            return Error(
                ErrorCode::Damaged,
                QStringLiteral("The tree '%1' has side records of an unknown kind.").arg(table));
        versions.hasRecords = !records.empty();
    }

    // The families of each person, and the records of each family.
    QHash<QString, QSet<qint64>> familiesOf;
    QHash<qint64, std::vector<size_t>> ofFamily;
    QHash<QString, std::vector<size_t>> ofPerson;
    for (size_t i = 0; i < records.size(); ++i) {
        const Stored &r = records[i];
        const Tab tab = Tab(r.id >> 48);
        if (r.family) {
            ofFamily[*r.family].push_back(i);
            if (!r.person.isEmpty() && (tab == Tab::Partnership || tab == Tab::ChildLink))
                familiesOf[r.person].insert(*r.family);
            if (tab == Tab::Family)
                for (const QString *partner : {&r.ref1, &r.ref2})
                    if (!partner->isEmpty())
                        familiesOf[*partner].insert(*r.family);
        }
        for (const QString *named : {&r.person, &r.ref1, &r.ref2})
            if (!named->isEmpty())
                ofPerson[*named].push_back(i);
    }
    for (auto row = rowHash.cbegin(); row != rowHash.cend(); ++row) {
        std::vector<size_t> scope = ofPerson.value(row.key());
        for (const qint64 family : familiesOf.value(row.key())) {
            const std::vector<size_t> &more = ofFamily[family];
            scope.insert(scope.end(), more.begin(), more.end());
        }
        std::sort(scope.begin(), scope.end());
        scope.erase(std::unique(scope.begin(), scope.end()), scope.end());
        QCryptographicHash hash(QCryptographicHash::Sha1);
        addField(hash, row.value());
        for (const size_t i : scope) {
            const quint64 id = records[i].id;
            addField(hash, QByteArrayView(reinterpret_cast<const char *>(&id), sizeof id));
            addField(hash, records[i].hash);
        }
        versions.persons.insert(row.key(), hash.result());
    }
    return versions;
}

} // namespace Store::Side
