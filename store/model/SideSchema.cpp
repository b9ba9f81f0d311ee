#include "SideSchema.h"

namespace Store::Side {

namespace {

const char *const kCreateTables =
    "CREATE TABLE IF NOT EXISTS mainTrees (id INTEGER PRIMARY KEY, name TEXT, asideName TEXT, "
    "version INTEGER NOT NULL);"
    "CREATE UNIQUE INDEX IF NOT EXISTS mainTreesName ON mainTrees (name) WHERE name IS NOT NULL;"
    "CREATE TABLE IF NOT EXISTS mainRecords (tree INTEGER NOT NULL, tab INTEGER NOT NULL, "
    "idx INTEGER NOT NULL, person TEXT, family INTEGER, ownerTab INTEGER, ownerIdx INTEGER, "
    "ref1 TEXT, ref2 TEXT, data BLOB NOT NULL, PRIMARY KEY (tree, tab, idx)) WITHOUT ROWID;";

// The indexes of mainRecords beside its key. The readers name them (INDEXED BY), so a rebuild
// must make them exactly as they were.
const char *const kCreateIndexes =
    "CREATE INDEX IF NOT EXISTS mainRecordsPerson ON mainRecords (tree, person) "
    "WHERE person IS NOT NULL;"
    "CREATE INDEX IF NOT EXISTS mainRecordsFamily ON mainRecords (tree, family) "
    "WHERE family IS NOT NULL;"
    "CREATE INDEX IF NOT EXISTS mainRecordsOwner ON mainRecords (tree, ownerTab, ownerIdx) "
    "WHERE ownerIdx IS NOT NULL;"
    "CREATE INDEX IF NOT EXISTS mainRecordsRef1 ON mainRecords (tree, ref1) "
    "WHERE ref1 IS NOT NULL;"
    "CREATE INDEX IF NOT EXISTS mainRecordsRef2 ON mainRecords (tree, ref2) "
    "WHERE ref2 IS NOT NULL;";

const char *const kDropIndexes = "DROP INDEX IF EXISTS mainRecordsPerson;"
                                 "DROP INDEX IF EXISTS mainRecordsFamily;"
                                 "DROP INDEX IF EXISTS mainRecordsOwner;"
                                 "DROP INDEX IF EXISTS mainRecordsRef1;"
                                 "DROP INDEX IF EXISTS mainRecordsRef2;";

} // namespace

Result<bool> hasSchema(const Db &db)
{
    Result<Statement> query =
        db.prepare("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                   "name IN ('mainTrees', 'mainRecords')");
    if (!query)
        return query.error();
    Result<bool> row = query->step();
    if (!row)
        return row.error();
    return *row && query->integer(0) == 2;
}

Result<void> ensureSchema(const Db &db)
{
    Result<bool> has = hasSchema(db);
    if (!has)
        return has.error();
    if (!*has) {
        if (Result<void> made = db.exec(kCreateTables); !made)
            return made;
        if (Result<void> made = db.exec(kCreateIndexes); !made)
            return made;
        const QByteArray version =
            QByteArray("PRAGMA user_version = ") + QByteArray::number(kSchemaVersion);
        if (Result<void> set = db.exec(version.constData()); !set)
            return set;
        return {};
    }
    // Trees whose table went while a program that knows nothing of these records ran: their
    // records are kept aside, never attached to a table made later under the same name.
    return db.exec("UPDATE mainTrees SET asideName = name, name = NULL WHERE name IS NOT NULL "
                   "AND name NOT IN (SELECT name FROM sqlite_master WHERE type = 'table')");
}

Result<void> dropIndexes(const Db &db)
{
    return db.exec(kDropIndexes);
}

Result<void> createIndexes(const Db &db)
{
    return db.exec(kCreateIndexes);
}

Result<std::optional<qint64>> treeId(const Db &db, const QString &table)
{
    Result<bool> has = hasSchema(db);
    if (!has)
        return has.error();
    if (!*has)
        return std::optional<qint64>();
    Result<Statement> query = db.prepare("SELECT id FROM mainTrees WHERE name = ?");
    if (!query)
        return query.error();
    query->bindText(1, table);
    Result<bool> row = query->step();
    if (!row)
        return row.error();
    if (!*row)
        return std::optional<qint64>();
    return std::optional<qint64>(query->integer(0));
}

Result<qint64> makeTreeId(const Db &db, const QString &table)
{
    Result<std::optional<qint64>> id = treeId(db, table);
    if (!id)
        return id.error();
    if (*id)
        return **id;
    Result<Statement> insert =
        db.prepare("INSERT INTO mainTrees (name, version) VALUES (?, ?) RETURNING id");
    if (!insert)
        return insert.error();
    insert->bindText(1, table);
    insert->bind(2, kSchemaVersion);
    Result<bool> row = insert->step();
    if (!row)
        return row.error();
    if (!*row)
        return db.error();
    return insert->integer(0);
}

Result<std::vector<AsideTree>> asideTrees(const Db &db)
{
    std::vector<AsideTree> trees;
    Result<bool> has = hasSchema(db);
    if (!has)
        return has.error();
    if (!*has)
        return trees;
    Result<Statement> query =
        db.prepare("SELECT t.id, t.asideName, (SELECT count(*) FROM mainRecords r WHERE "
                   "r.tree = t.id) FROM mainTrees t WHERE t.name IS NULL ORDER BY t.id");
    if (!query)
        return query.error();
    for (;;) {
        Result<bool> row = query->step();
        if (!row)
            return row.error();
        if (!*row)
            break;
        trees.push_back({query->integer(0), query->string(1), query->integer(2)});
    }
    return trees;
}

} // namespace Store::Side
