#include "NewTreeWriter.h"

#include "StoreSql.h"
#include "TreeSql.h"
#include "engine/Engine.h"
#include "engine/ServerCopy.h"
#include "mDatabase.h"
#include "model/SideDb.h"
#include "model/SideRules.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <cstring>
#include <optional>

using namespace Store;

using namespace StoreSql;

namespace {

// The insert binds its values by name: Qt binds a value by position through a name it makes for
// each call, which costs about a fifth of a bulk insert; the names here are made once.
const QString &placeholder(int column)
{
    static const QList<QString> names = [] {
        QList<QString> list;
        for (int i = 0; i < kPersonColumnCount; ++i)
            list << QStringLiteral(":c%1").arg(i);
        return list;
    }();
    return names[column];
}

// Writes `text` as UTF-8 at `out` (room for three bytes a character), exactly as toUtf8() makes
// it; the end of what was written.
char *appendUtf8(char *out, const QString &text)
{
    const QStringView view(text);
    const char16_t *const begin = view.utf16();
    const char16_t *const end = begin + view.size();
    const char16_t *c = begin;
    while (c != end && *c < 0x80)
        *out++ = char(*c++);
    if (c == end)
        return out;
    const QByteArray rest = QStringView(c, end).toUtf8();
    std::memcpy(out, rest.constData(), size_t(rest.size()));
    return out + rest.size();
}

} // namespace

struct NewTreeWriter::State
{
    // The transaction refers to the state's own handle of the connection.
    explicit State(const QSqlDatabase &connection) : db(connection), transaction(db), insert(db) {}
    QSqlDatabase db;
    Transaction transaction;
    QSqlQuery insert;
    // In the file the rows go through the engine's own statement (their texts bound as UTF-8,
    // without the driver's values around them); on the server by COPY. The insert above only
    // where neither can be used.
    std::optional<Side::Statement> rows;
    std::optional<ServerCopy> copy;
    // The texts of the row being added, one after another (kept: its room serves every row).
    QByteArray texts;
};

NewTreeWriter::NewTreeWriter(mDatabase &store) : m_store(store) {}

NewTreeWriter::~NewTreeWriter()
{
    Rollback();
}

Result<void> NewTreeWriter::Check(const mDatabase &store, const QString &name)
{
    const QString problem = store.nameProblem(name);
    if (!problem.isEmpty())
        return Error(ErrorCode::InvalidInput, problem);
    if (Error refused = store.refuseChange())
        return refused;
    if (store.TreeExists(name))
        return Error(ErrorCode::Taken, QStringLiteral("The tree '%1' already exists.").arg(name));
    return {};
}

Result<void> NewTreeWriter::Begin(const QString &name)
{
    Rollback();
    if (Result<void> checked = Check(m_store, name); !checked)
        return checked;

    QSqlDatabase db = QSqlDatabase::database(m_store.m_connectionName, false);
    auto state = std::make_unique<State>(db);
    if (!state->transaction.active())
        return m_store.named(state->transaction.error());
    state->transaction.announce(ChangeNotice::made(name));
    if (Result<void> ready = Side::beforeChange(Side::Db(db)); !ready)
        return m_store.named(ready.error());
    if (Result<void> made = TreeSql::CreateTable(db, name); !made)
        return m_store.named(made.error());
    QStringList names, marks;
    for (const QString &column : PersonColumns()) {
        names << quoted(column);
        marks << placeholder(int(marks.size()));
    }
    if (IsServer(db)) {
        state->copy.emplace(db, quoted(name), names);
        if (state->copy->usable()) {
            m_state = std::move(state);
            return {};
        }
        state->copy.reset();
    }
    const Side::Db engine(db);
    if (!IsServer(db) && engine.isOpen()) {
        QStringList numbered;
        for (int i = 1; i <= kPersonColumnCount; ++i)
            numbered << QStringLiteral("?%1").arg(i);
        Result<Side::Statement> rows =
            engine.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(quoted(name), names.join(u", "), numbered.join(u", ")));
        if (!rows)
            return m_store.named(rows.error());
        state->rows.emplace(std::move(*rows));
        m_state = std::move(state);
        return {};
    }
    if (!state->insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(quoted(name), names.join(u", "), marks.join(u", "))))
        return m_store.named(fromSql(state->insert.lastError()));
    m_state = std::move(state);
    return {};
}

Result<void> NewTreeWriter::Add(const PersonRecord &r)
{
    if (!m_state)
        return notOpen();
    if (m_state->copy) {
        for (int i = 0; i < kPersonColumnCount; ++i)
            m_state->copy->text(ColumnText(r, i).toUtf8());
        if (Result<void> sent = m_state->copy->endRow(); !sent)
            return m_store.named(sent.error());
        return {};
    }
    if (m_state->rows) {
        Side::Statement &rows = *m_state->rows;
        // The columns as UTF-8 in one buffer, bound where they lie once all are there. An empty
        // text is bound as '' (never NULL), as the driver's insert binds it.
        QByteArray &texts = m_state->texts;
        qsizetype room = 0;
        for (int i = 0; i < kPersonColumnCount; ++i)
            room += 3 * ColumnText(r, i).size();
        if (texts.size() < room)
            texts.resize(room);
        qsizetype ends[kPersonColumnCount];
        char *const begin = texts.data();
        char *out = begin;
        for (int i = 0; i < kPersonColumnCount; ++i) {
            out = appendUtf8(out, ColumnText(r, i));
            ends[i] = out - begin;
        }
        for (int i = 0; i < kPersonColumnCount; ++i) {
            const qsizetype start = i ? ends[i - 1] : 0;
            rows.bindTextInPlace(i + 1, QByteArrayView(begin + start, ends[i] - start));
        }
        const Result<bool> done = rows.step();
        rows.reset();
        if (!done)
            return m_store.named(done.error());
        return {};
    }
    QSqlQuery &insert = m_state->insert;
    for (int i = 0; i < kPersonColumnCount; ++i)
        insert.bindValue(placeholder(i), bindable(ColumnText(r, i)));
    if (!insert.exec())
        return m_store.named(fromSql(insert.lastError()));
    return {};
}

Result<void> NewTreeWriter::Commit()
{
    if (!m_state)
        return notOpen();
    std::unique_ptr<State> state = std::move(m_state);
    if (state->copy) {
        if (Result<void> sent = state->copy->flush(); !sent)
            return m_store.named(sent.error());
    }
    state->rows.reset();
    state->insert.finish();
    state->insert = QSqlQuery();
    if (!state->transaction.commit())
        return m_store.named(state->transaction.error());
    return {};
}

void NewTreeWriter::Rollback()
{
    if (!m_state)
        return;
    m_state->rows.reset();
    m_state->insert.finish();
    m_state->insert = QSqlQuery();
    m_state.reset(); // the transaction rolls back: the new table goes with it
}
