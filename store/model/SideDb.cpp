#include "SideDb.h"

#include "FileErrors.h"
#include "StoreSql.h"
#include "engine/ServerCopy.h"
#include "mDatabase.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <iterator>
#include <optional>
#include <vector>

#include <sqlite3.h>

namespace Store::Side {

// A statement on the server: the driver's prepared query, the values bound for its next run, and
// the current row's texts (which the views handed out point into until the next step).
struct ServerStatement
{
    explicit ServerStatement(const QSqlDatabase &db) : query(db) {}
    QSqlQuery query;
    QVariantList values;
    bool ran = false;
    QByteArray bytes[16];
    // An insert by COPY (Db::prepareInsert): the columns of the next row in COPY's text form.
    std::optional<ServerCopy> copy;
    std::vector<QByteArray> fields;
};

namespace {

// A bound value as a column of COPY's text form.
QByteArray copyField(const QVariant &value)
{
    QByteArray field;
    if (value.isNull())
        field = QByteArrayLiteral("\\N");
    else if (value.typeId() == QMetaType::QByteArray)
        ServerCopy::appendBytes(field, value.toByteArray());
    else if (value.typeId() == QMetaType::LongLong)
        field = QByteArray::number(value.toLongLong());
    else
        ServerCopy::appendEscaped(field, value.toString().toUtf8());
    return field;
}

void serverBind(ServerStatement &s, int column, QVariant value)
{
    if (s.copy) {
        if (qsizetype(s.fields.size()) < column)
            s.fields.resize(size_t(column));
        s.fields[size_t(column - 1)] = copyField(value);
        return;
    }
    if (s.values.size() < column)
        s.values.resize(column);
    s.values[column - 1] = std::move(value);
}

Result<bool> serverStep(ServerStatement &s)
{
    if (s.copy) {
        for (const QByteArray &field : s.fields)
            s.copy->field(field);
        if (Result<void> sent = s.copy->endRow(); !sent)
            return sent.error();
        return false;
    }
    if (!s.ran) {
        s.ran = true;
        for (int i = 0; i < s.values.size(); ++i)
            s.query.bindValue(i, s.values[i]);
        if (!s.query.exec())
            return StoreSql::fromSql(s.query.lastError());
    }
    return s.query.isSelect() && s.query.next();
}

void serverReset(ServerStatement &s)
{
    if (s.copy) {
        for (QByteArray &field : s.fields)
            field = QByteArrayLiteral("\\N");
        return;
    }
    s.query.finish();
    s.values.clear();
    s.ran = false;
}

QByteArrayView serverBytes(ServerStatement &s, int column, bool blob)
{
    if (column < 0 || column >= int(std::size(s.bytes)))
        return {};
    const QVariant value = s.query.value(column);
    s.bytes[column] = blob ? value.toByteArray() : value.toString().toUtf8();
    return QByteArrayView(s.bytes[column]);
}

// A statement of the file engine as the server takes it: without index hints, which only
// choose among the same rows.
QString serverSql(QString sql)
{
    static const QRegularExpression hint(QStringLiteral("\\s+INDEXED\\s+BY\\s+\\w+"),
                                         QRegularExpression::CaseInsensitiveOption);
    return sql.replace(hint, QString());
}

} // namespace

void Statement::Deleter::operator()(sqlite3_stmt *statement) const
{
    sqlite3_finalize(statement);
}

void Statement::bindNull(int column)
{
    if (m_server)
        return serverBind(*m_server, column, QVariant(QMetaType::fromType<QString>()));
    sqlite3_bind_null(m_statement.get(), column);
}

void Statement::bind(int column, qint64 value)
{
    if (m_server)
        return serverBind(*m_server, column, QVariant(value));
    sqlite3_bind_int64(m_statement.get(), column, value);
}

void Statement::bindText(int column, QByteArrayView utf8)
{
    if (m_server)
        return serverBind(*m_server, column, QString::fromUtf8(utf8));
    // An empty text is stored as '' and never as NULL.
    sqlite3_bind_text(m_statement.get(), column, utf8.data() ? utf8.data() : "", int(utf8.size()),
                      SQLITE_TRANSIENT);
}

void Statement::bindTextInPlace(int column, QByteArrayView utf8)
{
    if (m_server)
        return serverBind(*m_server, column, QString::fromUtf8(utf8));
    sqlite3_bind_text(m_statement.get(), column, utf8.data() ? utf8.data() : "", int(utf8.size()),
                      SQLITE_STATIC);
}

void Statement::bindBlobInPlace(int column, QByteArrayView bytes)
{
    if (m_server)
        return serverBind(*m_server, column, bytes.toByteArray());
    sqlite3_bind_blob(m_statement.get(), column, bytes.data() ? bytes.data() : "",
                      int(bytes.size()), SQLITE_STATIC);
}

void Statement::bindText(int column, const QString &text)
{
    if (m_server)
        return serverBind(*m_server, column, text.isNull() ? QStringLiteral("") : text);
    bindText(column, QByteArrayView(text.toUtf8()));
}

void Statement::bindBlob(int column, QByteArrayView bytes)
{
    if (m_server)
        return serverBind(*m_server, column, bytes.toByteArray());
    sqlite3_bind_blob(m_statement.get(), column, bytes.data() ? bytes.data() : "",
                      int(bytes.size()), SQLITE_TRANSIENT);
}

Result<bool> Statement::step()
{
    if (m_server)
        return serverStep(*m_server);
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
    if (m_server)
        return serverReset(*m_server);
    sqlite3_reset(m_statement.get());
    sqlite3_clear_bindings(m_statement.get());
}

Result<void> Statement::finish()
{
    if (m_server && m_server->copy)
        return m_server->copy->flush();
    return {};
}

bool Statement::isNull(int column) const
{
    if (m_server)
        return m_server->query.isNull(column);
    return sqlite3_column_type(m_statement.get(), column) == SQLITE_NULL;
}

qint64 Statement::integer(int column) const
{
    if (m_server)
        return m_server->query.value(column).toLongLong();
    return sqlite3_column_int64(m_statement.get(), column);
}

QByteArrayView Statement::text(int column) const
{
    if (m_server)
        return serverBytes(*m_server, column, false);
    const auto *bytes =
        reinterpret_cast<const char *>(sqlite3_column_text(m_statement.get(), column));
    return QByteArrayView(bytes, bytes ? sqlite3_column_bytes(m_statement.get(), column) : 0);
}

QByteArrayView Statement::blob(int column) const
{
    if (m_server)
        return serverBytes(*m_server, column, true);
    const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_statement.get(), column));
    return QByteArrayView(bytes, bytes ? sqlite3_column_bytes(m_statement.get(), column) : 0);
}

Db::Db(const mDatabase &store) : Db(QSqlDatabase::database(store.ConnectionName(), false)) {}

QSqlDatabase Db::serverConnection() const
{
    return m_isServer ? QSqlDatabase::database(m_connectionName, false) : QSqlDatabase();
}

Db::Db(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        return;
    if (db.driver()->dbmsType() == QSqlDriver::PostgreSQL) {
        m_isServer = true;
        m_connectionName = db.connectionName();
        return;
    }
    const QVariant handle = db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        m_db = *static_cast<sqlite3 *const *>(handle.constData());
}

Error Db::error() const
{
    if (m_isServer)
        return StoreSql::fromSql(
            QSqlDatabase::database(m_connectionName, false).driver()->lastError());
    if (!m_db)
        return StoreSql::notOpen();
    const int code = sqlite3_extended_errcode(m_db);
    if (Error failure = FileErrors::ForEngineCode(code))
        return failure;
    return Error(StoreSql::StatementCode(code), QString::fromUtf8(sqlite3_errmsg(m_db)));
}

Result<Statement> Db::prepare(const char *sql) const
{
    if (m_isServer) {
        // The file engine's settings (PRAGMA) mean nothing there: refused without asking the
        // server, whose transaction a failed statement would end.
        if (qstrncmp(sql, "PRAGMA", 6) == 0)
            return Error(ErrorCode::Failed, QStringLiteral("Not a statement of the server."));
        auto server =
            std::make_shared<ServerStatement>(QSqlDatabase::database(m_connectionName, false));
        if (!server->query.prepare(serverSql(QString::fromUtf8(sql))))
            return StoreSql::fromSql(server->query.lastError());
        Statement statement;
        statement.m_server = std::move(server);
        return statement;
    }
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

Result<Statement> Db::prepareInsert(const char *table, const char *columns) const
{
    const QStringList names =
        QString::fromLatin1(columns).split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (m_isServer) {
        const QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        auto server = std::make_shared<ServerStatement>(db);
        QStringList trimmed;
        for (const QString &name : names)
            trimmed << name.trimmed();
        server->copy.emplace(db, QString::fromLatin1(table), trimmed);
        if (server->copy->usable()) {
            server->fields.assign(size_t(trimmed.size()), QByteArrayLiteral("\\N"));
            Statement statement;
            statement.m_server = std::move(server);
            return statement;
        }
    }
    QStringList marks;
    for (qsizetype i = 0; i < names.size(); ++i)
        marks << QStringLiteral("?");
    return prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(QLatin1String(table), QLatin1String(columns), marks.join(u", ")));
}

Result<void> Db::exec(const char *sql) const
{
    if (m_isServer) {
        if (qstrncmp(sql, "PRAGMA", 6) == 0)
            return {};
        QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
        if (!query.exec(serverSql(QString::fromUtf8(sql))))
            return StoreSql::fromSql(query.lastError());
        return {};
    }
    if (!m_db)
        return StoreSql::notOpen();
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        return error();
    return {};
}

} // namespace Store::Side
