#include "SideDb.h"

#include "FileErrors.h"
#include "StoreSql.h"
#include "mDatabase.h"

#include <QSqlDatabase>
#include <QSqlDriver>

#include <sqlite3.h>

namespace Store::Side {

void Statement::Deleter::operator()(sqlite3_stmt *statement) const
{
    sqlite3_finalize(statement);
}

void Statement::bindNull(int column)
{
    sqlite3_bind_null(m_statement.get(), column);
}

void Statement::bind(int column, qint64 value)
{
    sqlite3_bind_int64(m_statement.get(), column, value);
}

void Statement::bindText(int column, QByteArrayView utf8)
{
    // An empty text is stored as '' and never as NULL.
    sqlite3_bind_text(m_statement.get(), column, utf8.data() ? utf8.data() : "", int(utf8.size()),
                      SQLITE_TRANSIENT);
}

void Statement::bindTextInPlace(int column, QByteArrayView utf8)
{
    sqlite3_bind_text(m_statement.get(), column, utf8.data() ? utf8.data() : "", int(utf8.size()),
                      SQLITE_STATIC);
}

void Statement::bindBlobInPlace(int column, QByteArrayView bytes)
{
    sqlite3_bind_blob(m_statement.get(), column, bytes.data() ? bytes.data() : "",
                      int(bytes.size()), SQLITE_STATIC);
}

void Statement::bindText(int column, const QString &text)
{
    bindText(column, QByteArrayView(text.toUtf8()));
}

void Statement::bindBlob(int column, QByteArrayView bytes)
{
    sqlite3_bind_blob(m_statement.get(), column, bytes.data() ? bytes.data() : "",
                      int(bytes.size()), SQLITE_TRANSIENT);
}

Result<bool> Statement::step()
{
    const int code = sqlite3_step(m_statement.get());
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    if (Error failure = FileErrors::ForEngineCode(sqlite3_extended_errcode(m_db)))
        return failure;
    return Error(StoreSql::StatementCode(code), QString::fromUtf8(sqlite3_errmsg(m_db)));
}

void Statement::reset()
{
    sqlite3_reset(m_statement.get());
    sqlite3_clear_bindings(m_statement.get());
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_statement.get(), column) == SQLITE_NULL;
}

qint64 Statement::integer(int column) const
{
    return sqlite3_column_int64(m_statement.get(), column);
}

QByteArrayView Statement::text(int column) const
{
    const auto *bytes =
        reinterpret_cast<const char *>(sqlite3_column_text(m_statement.get(), column));
    return QByteArrayView(bytes, bytes ? sqlite3_column_bytes(m_statement.get(), column) : 0);
}

QByteArrayView Statement::blob(int column) const
{
    const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_statement.get(), column));
    return QByteArrayView(bytes, bytes ? sqlite3_column_bytes(m_statement.get(), column) : 0);
}

Db::Db(const mDatabase &store) : Db(QSqlDatabase::database(store.ConnectionName(), false)) {}

Db::Db(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        return;
    const QVariant handle = db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        m_db = *static_cast<sqlite3 *const *>(handle.constData());
}

Error Db::error() const
{
    if (!m_db)
        return StoreSql::notOpen();
    const int code = sqlite3_extended_errcode(m_db);
    if (Error failure = FileErrors::ForEngineCode(code))
        return failure;
    return Error(StoreSql::StatementCode(code), QString::fromUtf8(sqlite3_errmsg(m_db)));
}

Result<Statement> Db::prepare(const char *sql) const
{
    if (!m_db)
        return StoreSql::notOpen();
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return error();
    }
    return Statement(m_db, statement);
}

Result<Statement> Db::prepare(const QString &sql) const
{
    return prepare(sql.toUtf8().constData());
}

Result<void> Db::exec(const char *sql) const
{
    if (!m_db)
        return StoreSql::notOpen();
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        return error();
    return {};
}

} // namespace Store::Side
