#include "ChangeLog.h"

#include "ChangeNotice.h"
#include "ServerRights.h"
#include "StoreSql.h"
#include "engine/Engine.h"
#include "mDatabase.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace ChangeLog {

namespace {

const char kCreate[] = "CREATE TABLE IF NOT EXISTS mainHistory ("
                       "id BIGINT NOT NULL PRIMARY KEY, "
                       "changedAt VARCHAR(32) NOT NULL, "
                       "userName TEXT NOT NULL, "
                       "tree TEXT NOT NULL, "
                       "record TEXT NOT NULL, "
                       "command TEXT NOT NULL, "
                       "beforeValue TEXT, "
                       "afterValue TEXT)";
const char kIndex[] = "CREATE INDEX IF NOT EXISTS mainHistoryRecord ON mainHistory (tree, record)";

Error failure(const QSqlError &error, const QString &what)
{
    return Error(ErrorCode::Failed,
                 QStringLiteral("The history could not be %1: %2").arg(what, error.text()));
}

// Whether the history table is there: the engine's catalogue of the program's tables (the
// server keeps them in a schema of their own, under names in lower case).
bool hasHistory(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(Store::EngineOf(db).catalogue(true)))
        return false;
    while (query.next())
        if (query.value(0).toString().compare(QLatin1String("mainHistory"), Qt::CaseInsensitive) ==
            0)
            return true;
    return false;
}

QJsonObject rowObject(const PersonRecord &row)
{
    QJsonObject object;
    for (const PersonColumn &column : kPersonColumns)
        object.insert(QLatin1String(column.name), row.*column.member);
    return object;
}

} // namespace

Result<void> ensureTable(QSqlDatabase &db)
{
    QSqlQuery query(db);
    // On the server the table is made when the database is set up; a role that may not make
    // tables there still writes to it.
    if (Store::IsServer(db)) {
        if (!query.exec(QStringLiteral("SELECT to_regclass('mainhistory') IS NOT NULL")))
            return failure(query.lastError(), QStringLiteral("written"));
        if (query.next() && query.value(0).toBool())
            return {};
    }
    if (!query.exec(QString::fromLatin1(kCreate)) || !query.exec(QString::fromLatin1(kIndex)))
        return failure(query.lastError(), QStringLiteral("written"));
    return {};
}

QString personRecord(const QString &key)
{
    return QStringLiteral("person ") + key;
}

QString userName()
{
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = qEnvironmentVariable("USERNAME");
    if (name.isEmpty())
        name = qEnvironmentVariable("LOGNAME");
    return name.isEmpty() ? QStringLiteral("unknown") : name;
}

QString userName(const mDatabase &store)
{
    QSqlDatabase db = QSqlDatabase::database(store.ConnectionName(), false);
    if (db.isOpen() && Store::IsServer(db)) {
        QSqlQuery query(db);
        if (query.exec(QStringLiteral("SELECT current_user")) && query.next())
            return query.value(0).toString();
    }
    return userName();
}

QString rowsJson(const std::vector<std::pair<QString, const PersonRecord *>> &rows)
{
    QJsonObject object;
    for (const auto &[key, row] : rows)
        object.insert(key, row ? QJsonValue(rowObject(*row)) : QJsonValue());
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

std::optional<PersonRecord> rowIn(const QString &json, const QString &key)
{
    const QJsonObject object = QJsonDocument::fromJson(json.toUtf8()).object();
    if (!object.contains(key))
        return std::nullopt;
    PersonRecord row;
    const QJsonValue value = object.value(key);
    if (!value.isObject())
        return row;
    const QJsonObject fields = value.toObject();
    for (const PersonColumn &column : kPersonColumns)
        row.*column.member = fields.value(QLatin1String(column.name)).toString();
    return row;
}

Result<qint64> add(mDatabase &store, Entry entry)
{
    if (!store.IsOpen())
        return Error(ErrorCode::Failed, QStringLiteral("The database is not open."));
    if (store.IsReadOnly())
        return Error(ErrorCode::ReadOnly, QStringLiteral("The database is open for reading only."),
                     store.DatabasePath());
    if (!entry.at.isValid())
        entry.at = QDateTime::currentDateTimeUtc();
    if (entry.user.isEmpty())
        entry.user = userName(store);
    QSqlDatabase db = QSqlDatabase::database(store.ConnectionName(), false);
    // Made before the transaction, so gone after its rollback: on the server a statement
    // refused inside a transaction can only be freed once the transaction has ended.
    QSqlQuery query(db);
    // The store's write transaction: it takes the database's write lock first, so that two
    // programs writing history at once wait for each other instead of taking one number.
    Store::StoreSql::Transaction transaction(db);
    if (!transaction.active())
        return Error(
            transaction.error().code(),
            QStringLiteral("The history could not be written: %1").arg(transaction.error().text()));
    // Made with the first entry (asked first: the server would note each time that it is
    // there already; there the database's set-up makes it, and a role that may not make tables
    // still writes to it).
    if (!hasHistory(db) &&
        (!query.exec(QString::fromLatin1(kCreate)) || !query.exec(QString::fromLatin1(kIndex))))
        return failure(query.lastError(), QStringLiteral("written"));
    if (Store::IsServer(db)) {
        // A role may read the history of some trees only: the last id is the whole table's.
        const Result<qint64> last = Store::ServerRights::LastHistoryId(db);
        if (!last)
            return last.error();
        entry.id = *last + 1;
    } else {
        if (!query.exec(QStringLiteral("SELECT MAX(id) FROM mainHistory")))
            return failure(query.lastError(), QStringLiteral("written"));
        entry.id = (query.next() ? query.value(0).toLongLong() : 0) + 1;
    }
    query.prepare(QStringLiteral("INSERT INTO mainHistory (id, changedAt, userName, tree, "
                                 "record, command, beforeValue, afterValue) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    query.addBindValue(entry.id);
    query.addBindValue(entry.at.toUTC().toString(Qt::ISODateWithMs));
    query.addBindValue(entry.user);
    query.addBindValue(entry.tree);
    query.addBindValue(entry.record);
    query.addBindValue(entry.command);
    query.addBindValue(entry.before);
    query.addBindValue(entry.after);
    if (!query.exec())
        return failure(query.lastError(), QStringLiteral("written"));
    query = QSqlQuery();
    // Other programs on a shared database show the record's history again.
    const QString person = personRecord(QString());
    transaction.announce(ChangeNotice::persons(
        entry.tree, entry.record.startsWith(person) ? QStringList{entry.record.mid(person.size())}
                                                    : QStringList()));
    if (!transaction.commit())
        return Error(
            transaction.error().code(),
            QStringLiteral("The history could not be written: %1").arg(transaction.error().text()));
    return entry.id;
}

void addTreeChange(mDatabase &store, const QString &tree, const QString &command)
{
    Entry entry;
    entry.tree = tree;
    entry.record = QStringLiteral("tree");
    entry.command = command;
    entry.after = tree;
    const Result<qint64> written = add(store, std::move(entry));
    Q_UNUSED(written);
}

Result<void> renameTree(mDatabase &store, const QString &from, const QString &to)
{
    if (!store.IsOpen() || store.IsReadOnly())
        return {};
    QSqlDatabase db = QSqlDatabase::database(store.ConnectionName(), false);
    if (!hasHistory(db))
        return {};
    QSqlQuery query(db);
    query.prepare(QStringLiteral("UPDATE mainHistory SET tree = ? WHERE tree = ?"));
    query.addBindValue(to);
    query.addBindValue(from);
    if (!query.exec())
        return failure(query.lastError(), QStringLiteral("written"));
    return {};
}

Result<std::vector<Entry>> of(const mDatabase &store, const QString &tree, const QString &record)
{
    std::vector<Entry> entries;
    if (!store.IsOpen())
        return entries;
    QSqlDatabase db = QSqlDatabase::database(store.ConnectionName(), false);
    if (!hasHistory(db))
        return entries;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT id, changedAt, userName, tree, record, command, "
                                 "beforeValue, afterValue FROM mainHistory "
                                 "WHERE tree = ? AND record = ? ORDER BY id DESC"));
    query.addBindValue(tree);
    query.addBindValue(record);
    if (!query.exec())
        return failure(query.lastError(), QStringLiteral("read"));
    while (query.next()) {
        Entry entry;
        entry.id = query.value(0).toLongLong();
        entry.at = QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs);
        entry.user = query.value(2).toString();
        entry.tree = query.value(3).toString();
        entry.record = query.value(4).toString();
        entry.command = query.value(5).toString();
        entry.before = query.value(6).toString();
        entry.after = query.value(7).toString();
        entries.push_back(std::move(entry));
    }
    return entries;
}

QString lastChangeText(const mDatabase &store, const QString &tree, const QString &record)
{
    const Result<std::vector<Entry>> entries = of(store, tree, record);
    if (!entries || entries->empty())
        return {};
    const Entry &last = entries->front();
    return QStringLiteral(" It was last changed by %1 on %2 (%3).")
        .arg(last.user, QLocale().toString(last.at.toLocalTime(), QLocale::ShortFormat),
             last.command);
}

} // namespace ChangeLog
