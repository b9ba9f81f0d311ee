#include "TreeReplacer.h"

#include "ModelStore.h"
#include "SideDb.h"
#include "SideSchema.h"
#include "StoreSql.h"
#include "TreeTables.h"
#include "mDatabase.h"

#include <QSqlDatabase>
#include <QStringList>

using namespace Store;

struct TreeReplacer::State
{
    explicit State(const QSqlDatabase &connection) : db(connection), transaction(db), side(db) {}
    QSqlDatabase db;
    StoreSql::Transaction transaction;
    Side::Db side;
    Side::Statement insert;
    QString tree;
};

TreeReplacer::TreeReplacer(mDatabase &store) : m_store(store) {}

TreeReplacer::~TreeReplacer()
{
    Rollback();
}

QString TreeReplacer::Tree() const
{
    return m_state ? m_state->tree : QString();
}

Result<void> TreeReplacer::Begin(const QString &tree)
{
    Rollback();
    if (!m_store.IsOpen())
        return StoreSql::notOpen();
    if (m_store.IsReadOnly())
        return Error(ErrorCode::ReadOnly,
                     QStringLiteral("The database is open read-only: it cannot be changed."),
                     m_store.DatabasePath());
    if (Error refused = m_store.RefuseTreeChange(tree))
        return refused;
    const QString stored = m_store.StoredTreeName(tree);
    if (stored.isEmpty() || !IsListedTreeName(stored))
        return Error(ErrorCode::TreeMissing,
                     QStringLiteral("There is no tree named '%1'.").arg(tree));
    auto state = std::make_unique<State>(QSqlDatabase::database(m_store.ConnectionName(), false));
    if (!state->transaction.active())
        return state->transaction.error();
    state->tree = stored;
    if (Result<void> schema = Side::ensureSchema(state->side); !schema)
        return schema;
    const QString table = StoreSql::quoted(stored);
    Result<Side::Statement> clear =
        state->side.prepare(QStringLiteral("DELETE FROM %1").arg(table));
    if (!clear)
        return clear.error();
    if (Result<bool> done = clear->step(); !done)
        return done.error();
    QStringList names, marks;
    for (const PersonColumn &column : kPersonColumns) {
        names << StoreSql::quoted(QLatin1String(column.name));
        marks << QStringLiteral("?");
    }
    Result<Side::Statement> insert =
        state->side.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(table, names.join(u", "), marks.join(u", ")));
    if (!insert)
        return insert.error();
    state->insert = std::move(*insert);
    m_state = std::move(state);
    return {};
}

Result<void> TreeReplacer::Add(const Genealogy::PersonRow &row)
{
    if (!m_state)
        return StoreSql::notOpen();
    Side::Statement &insert = m_state->insert;
    for (int i = 0; i < kPersonColumnCount; ++i)
        insert.bindText(i + 1, ColumnText(row, i));
    const Result<bool> done = insert.step();
    insert.reset();
    if (!done)
        return done.error();
    return {};
}

Result<void> TreeReplacer::Commit(std::span<const Genealogy::PersonRow> rows,
                                  const Genealogy::TreeModel &model)
{
    if (!m_state)
        return StoreSql::notOpen();
    std::unique_ptr<State> state = std::move(m_state);
    state->insert = Side::Statement();
    if (Result<void> written =
            ModelStore::writeModelInTransaction(m_store, state->tree, rows, model);
        !written)
        return written;
    if (!state->transaction.commit())
        return state->transaction.error();
    return {};
}

void TreeReplacer::Rollback()
{
    if (!m_state)
        return;
    m_state->insert = Side::Statement();
    m_state.reset(); // the transaction rolls back: the tree stays as it was
}
