// Writing a whole model: prepared inserts of 32 records each (the last few one by one; on the
// server by COPY), in one transaction; a large model into a file that holds few records has the
// indexes made after its records.
#include "ModelStore.h"

#include "RecordPlacement.h"
#include "RecordStorage.h"
#include "SideSchema.h"
#include "StoreSql.h"
#include "engine/ServerCopy.h"
#include "mDatabase.h"

#include <QSqlDatabase>

#include <optional>
#include <tuple>

using namespace Genealogy;
using namespace Store;
using namespace Store::Side;

namespace {

// The number of records a model is stored as (at most: persons with default values are not).
qint64 recordCount(const TreeModel &model)
{
    qint64 count = 0;
    for (int t = 0; t < kTabCount; ++t)
        count += tableSize(model, Tab(t));
    return count;
}

// An integer the engine gives for a pragma.
Result<qint64> pragmaValue(const Db &db, const char *sql)
{
    Result<Statement> query = db.prepare(sql);
    if (!query)
        return query.error();
    Result<bool> row = query->step();
    if (!row)
        return row.error();
    return *row ? query->integer(0) : 0;
}

// About how many records the other trees have: the highest stored number of each of their
// tables (a search in the key each, where counting would read every record).
Result<qint64> storedRecords(const Db &db)
{
    Result<Statement> trees = db.prepare("SELECT id FROM mainTrees");
    if (!trees)
        return trees.error();
    Result<Statement> highest =
        db.prepare("SELECT max(idx) FROM mainRecords WHERE tree = ? AND tab = ?");
    if (!highest)
        return highest.error();
    qint64 count = 0;
    for (;;) {
        Result<bool> tree = trees->step();
        if (!tree)
            return tree.error();
        if (!*tree)
            return count;
        for (int t = 0; t < kTabCount; ++t) {
            highest->reset();
            highest->bind(1, trees->integer(0));
            highest->bind(2, t);
            Result<bool> row = highest->step();
            if (!row)
                return row.error();
            if (*row && !highest->isNull(0))
                count += highest->integer(0) + 1;
        }
    }
}

// Whether writing `records` new records is faster with the indexes made again afterwards: when
// the other trees have fewer records (making the indexes reads every record of every tree,
// while adding to them costs a search in each of them per record).
Result<bool> rebuildIndexes(const Db &db, qint64 records)
{
    constexpr qint64 kFewRecords = 20000;
    if (records < kFewRecords)
        return false;
    Result<qint64> stored = storedRecords(db);
    if (!stored)
        return stored.error();
    return *stored < records;
}

// A larger page cache while many records are written (the indexes are searched for every
// one), back to what it was afterwards.
class LargeCache
{
public:
    explicit LargeCache(const Db &db, qint64 records) : m_db(db)
    {
        constexpr qint64 kBytesPerRecord = 160;
        constexpr qint64 kMostKiB = 64 * 1024;
        const qint64 kib = qMin(kMostKiB, records * kBytesPerRecord / 1024);
        Result<qint64> was = pragmaValue(db, "PRAGMA cache_size");
        if (!was || kib <= 2048)
            return;
        m_was = *was;
        m_set = bool(
            m_db.exec(QByteArray("PRAGMA cache_size = -" + QByteArray::number(kib)).constData()));
    }
    ~LargeCache()
    {
        // Nothing is lost when it fails: the cache stays larger until the store closes.
        if (m_set)
            std::ignore = m_db.exec(
                QByteArray("PRAGMA cache_size = " + QByteArray::number(m_was)).constData());
    }
    LargeCache(const LargeCache &) = delete;
    LargeCache &operator=(const LargeCache &) = delete;

private:
    const Db &m_db;
    qint64 m_was = 0;
    bool m_set = false;
};

// On the server: the records in one COPY, streamed while they are made (the server stores
// one piece while the next is made), their fields written straight in COPY's form. Nothing
// when the connection cannot take a COPY (the statements of Db::prepareInsert then).
std::optional<Result<void>> copyRecords(const Db &db, qint64 tree, const TreeModel &model,
                                        const std::vector<QByteArray> &keys,
                                        const RecordEncoder &encoder,
                                        const RecordPlacement &placement,
                                        const std::vector<quint32> &partnerships)
{
    ServerCopy copy(db.serverConnection(), QStringLiteral("mainRecords"),
                    {QStringLiteral("tree"), QStringLiteral("tab"), QStringLiteral("idx"),
                     QStringLiteral("person"), QStringLiteral("family"), QStringLiteral("ownerTab"),
                     QStringLiteral("ownerIdx"), QStringLiteral("ref1"), QStringLiteral("ref2"),
                     QStringLiteral("data")},
                    ServerCopy::Mode::Stream);
    if (!copy.usable())
        return std::nullopt;
    const auto person = [&](quint32 index) {
        if (index == kNoIndex || index >= keys.size())
            copy.null();
        else
            copy.text(keys[index]);
    };
    const auto numberOrNull = [&](quint32 index) {
        if (index == kNoIndex)
            copy.null();
        else
            copy.integer(index);
    };
    QByteArray fields;
    fields.reserve(256);
    for (int t = 0; t < kTabCount; ++t) {
        const Tab tab = Tab(t);
        const quint32 count = tableSize(model, tab);
        for (quint32 i = 0; i < count; ++i) {
            const quint32 number = tab == Tab::Partnership ? partnerships[i] : i;
            if (number == kNoIndex || !isStored(model, tab, i))
                continue;
            const Placement p = tab == Tab::Tree ? Placement() : placement.of(tab, i);
            copy.integer(tree);
            copy.integer(t);
            copy.integer(number);
            person(p.person);
            numberOrNull(p.family);
            if (needsOwner(p)) {
                copy.integer(int(p.ownerTab));
                numberOrNull(p.ownerIndex);
            } else {
                copy.null();
                copy.null();
            }
            person(p.ref1);
            person(p.ref2);
            encoder.encodeInto(tab, i, fields);
            copy.bytes(fields);
            if (Result<void> sent = copy.endRow(); !sent)
                return sent;
        }
    }
    return copy.flush();
}

Result<void> writeRecords(const Db &db, qint64 tree, const std::vector<QByteArray> &keys,
                          const TreeModel &model)
{
    if (model.personCount() != keys.size())
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("The model has %1 persons for %2 rows.")
                         .arg(model.personCount())
                         .arg(keys.size()));
    if (Result<Statement> clear = db.prepare("DELETE FROM mainRecords WHERE tree = ?"); !clear)
        return clear.error();
    else {
        clear->bind(1, tree);
        if (Result<bool> done = clear->step(); !done)
            return done.error();
    }
    if (model.personCount() == 0)
        return {};

    const qint64 records = recordCount(model);
    const LargeCache cache(db, records);
    Result<bool> rebuild = rebuildIndexes(db, records);
    if (!rebuild)
        return rebuild.error();
    // Indexes that cannot be dropped now (another statement still reads the table) are kept
    // and filled as the records come; making them afterwards finds them there.
    if (*rebuild)
        std::ignore = dropIndexes(db);

    const RecordEncoder encoder(model, keys);
    const RecordPlacement placement(model);
    // The partnerships the families say already are left out (readers derive them).
    const std::vector<quint32> partnerships = partnershipNumbers(storedPartnerships(model));
    if (db.isServer()) {
        if (std::optional<Result<void>> copied =
                copyRecords(db, tree, model, keys, encoder, placement, partnerships)) {
            if (!*copied)
                return *copied;
            return *rebuild ? createIndexes(db) : Result<void>();
        }
    }
    // Many records a statement in the file: the engine's work per statement run (and the
    // binding calls around it) is shared by them. On the server the rows go by COPY (the
    // statement of Db::prepareInsert), one record a row.
    constexpr int kColumns = 10;
    constexpr int kBatch = 32;
    const char *const columns =
        "tree, tab, idx, person, family, ownerTab, ownerIdx, ref1, ref2, data";
    const int batchSize = db.isServer() ? 1 : kBatch;
    const auto insertOf = [columns](int count) {
        QByteArray sql = QByteArray("INSERT INTO mainRecords (") + columns + ") VALUES ";
        for (int i = 0; i < count; ++i)
            sql += i ? ",(?,?,?,?,?,?,?,?,?,?)" : "(?,?,?,?,?,?,?,?,?,?)";
        return sql;
    };
    Result<Statement> batch = db.isServer() ? db.prepareInsert("mainRecords", columns)
                                            : db.prepare(insertOf(kBatch).constData());
    if (!batch)
        return batch.error();
    // The last records, fewer than a batch, go one a statement (never on the server).
    std::optional<Statement> single;
    if (!db.isServer()) {
        Result<Statement> one = db.prepare(insertOf(1).constData());
        if (!one)
            return one.error();
        single.emplace(std::move(*one));
    }
    // The fields of the records bound so far stay here until the statement runs.
    std::vector<QByteArray> data(kBatch);
    for (QByteArray &d : data)
        d.reserve(256);
    int pending = 0;
    Statement *s = &*batch;
    const auto bindPerson = [&](int column, quint32 person) {
        if (person == kNoIndex || person >= keys.size())
            s->bindNull(column);
        else
            s->bindTextInPlace(column, QByteArrayView(keys[person]));
    };
    const auto bindIndex = [&](int column, quint32 index) {
        if (index == kNoIndex)
            s->bindNull(column);
        else
            s->bind(column, index);
    };
    const auto run = [&]() -> Result<void> {
        const Result<bool> done = s->step();
        s->reset();
        pending = 0;
        if (!done)
            return done.error();
        return {};
    };
    // The records of one table after another, `pending` of them bound to `s`.
    const auto add = [&](Tab tab, quint32 i) -> Result<void> {
        const Placement p = tab == Tab::Tree ? Placement() : placement.of(tab, i);
        const int base = pending * kColumns;
        s->bind(base + 1, tree);
        s->bind(base + 2, int(tab));
        s->bind(base + 3, tab == Tab::Partnership ? partnerships[i] : i);
        bindPerson(base + 4, p.person);
        bindIndex(base + 5, p.family);
        if (!needsOwner(p)) {
            s->bindNull(base + 6);
            s->bindNull(base + 7);
        } else {
            s->bind(base + 6, int(p.ownerTab));
            bindIndex(base + 7, p.ownerIndex);
        }
        bindPerson(base + 8, p.ref1);
        bindPerson(base + 9, p.ref2);
        QByteArray &fields = data[size_t(pending)];
        encoder.encodeInto(tab, i, fields);
        s->bindBlobInPlace(base + 10, fields);
        ++pending;
        return s == &*batch && pending == batchSize ? run() : Result<void>();
    };
    std::vector<std::pair<Tab, quint32>> rest; // the last records, fewer than a batch
    for (int t = 0; t < kTabCount; ++t) {
        const Tab tab = Tab(t);
        const quint32 count = tableSize(model, tab);
        for (quint32 i = 0; i < count; ++i) {
            if (!isStored(model, tab, i) ||
                (tab == Tab::Partnership && partnerships[i] == kNoIndex))
                continue;
            if (pending == 0)
                rest.clear();
            rest.emplace_back(tab, i);
            if (Result<void> added = add(tab, i); !added)
                return added;
        }
    }
    // What did not fill a batch goes one record a statement.
    if (pending > 0) {
        s->reset();
        pending = 0;
        s = &*single;
        for (const auto &[tab, i] : rest) {
            if (Result<void> added = add(tab, i); !added)
                return added;
            if (Result<void> done = run(); !done)
                return done;
        }
    }
    if (Result<void> stored = batch->finish(); !stored)
        return stored;
    if (*rebuild)
        return createIndexes(db);
    return {};
}

} // namespace

namespace ModelStore {

Result<void> writeModelInTransaction(mDatabase &store, const QString &tree,
                                     std::span<const PersonRow> rows, const TreeModel &model)
{
    std::vector<QByteArray> keys;
    keys.reserve(rows.size());
    for (const PersonRow &row : rows)
        keys.push_back(row.ID.toUtf8());
    return writeModelInTransaction(store, tree, std::move(keys), model);
}

Result<void> writeModelInTransaction(mDatabase &store, const QString &tree,
                                     std::vector<QByteArray> keys, const TreeModel &model)
{
    const Db db(store);
    if (!db.isOpen())
        return StoreSql::notOpen();
    if (store.IsReadOnly())
        return Error(ErrorCode::ReadOnly,
                     QStringLiteral("The database is open read-only: it cannot be changed."),
                     store.DatabasePath());
    if (Result<void> schema = ensureSchema(db); !schema)
        return schema;
    Result<qint64> id = makeTreeId(db, tree);
    if (!id)
        return id.error();
    return writeRecords(db, *id, keys, model);
}

Result<void> saveModel(mDatabase &store, const QString &tree, std::span<const PersonRow> rows,
                       const TreeModel &model)
{
    const QString stored = store.StoredTreeName(tree);
    if (stored.isEmpty())
        return Error(ErrorCode::TreeMissing,
                     QStringLiteral("There is no tree named '%1'.").arg(tree));
    QSqlDatabase connection = QSqlDatabase::database(store.ConnectionName(), false);
    StoreSql::Transaction transaction(connection);
    if (!transaction.active())
        return transaction.error();
    if (Result<void> written = writeModelInTransaction(store, stored, rows, model); !written)
        return written;
    if (!transaction.commit())
        return transaction.error();
    return {};
}

} // namespace ModelStore
