#include "ChangeNoticeList.h"

#include "StoreSql.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

namespace Store::ChangeNoticeList {

using namespace StoreSql;

namespace {

const char kCreate[] = "CREATE TABLE IF NOT EXISTS mainChanges (seq INTEGER PRIMARY KEY, "
                       "counter INTEGER NOT NULL, origin TEXT NOT NULL, notice TEXT NOT NULL)";

sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// True when the connection may not write (a read-only open or file): it appends nothing.
bool readOnly(const QSqlDatabase &db)
{
    sqlite3 *connection = handleOf(db);
    return connection && sqlite3_db_readonly(connection, "main") == 1;
}

// The file's change counter: four bytes at offset 24 of the header, which the engine raises
// with every commit that changes the file. Read from the disk through the engine's own handle
// of the file: opening the file a second time in this process and closing it would drop the
// engine's locks on it. -1 when it cannot be read; 0 for a file with no header yet.
qint64 fileCounter(const QSqlDatabase &db)
{
    sqlite3 *connection = handleOf(db);
    sqlite3_file *file = nullptr;
    if (!connection ||
        sqlite3_file_control(connection, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        !file || !file->pMethods)
        return -1;
    unsigned char counter[4] = {};
    const int read = file->pMethods->xRead(file, counter, 4, 24);
    if (read == SQLITE_IOERR_SHORT_READ)
        return 0; // filled with zeros
    if (read != SQLITE_OK)
        return -1;
    return qint64(quint32(counter[0]) << 24 | quint32(counter[1]) << 16 | quint32(counter[2]) << 8 |
                  quint32(counter[3]));
}

qint64 dataVersion(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA data_version")) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

// Ends the read transaction of a look at the list, whatever became of it.
struct ReadTransaction
{
    QSqlDatabase &db;
    bool begun = false;
    explicit ReadTransaction(QSqlDatabase &d) : db(d)
    {
        begun = QSqlQuery(db).exec(QStringLiteral("BEGIN DEFERRED"));
        // The first read takes the file's read lock, which keeps every other program from
        // committing until the transaction ends (also when the list is not there yet).
        if (begun)
            QSqlQuery(db).exec(QStringLiteral("SELECT 1 FROM sqlite_master LIMIT 1"));
    }
    ~ReadTransaction()
    {
        if (begun)
            QSqlQuery(db).exec(QStringLiteral("COMMIT"));
    }
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;
};

} // namespace

QString origin(const QSqlDatabase &db)
{
    // Connection names repeat between processes; a number drawn once tells this process apart.
    static const QString process = QString::number(QRandomGenerator::system()->generate64(), 36);
    return process + QLatin1Char('/') + db.connectionName();
}

Result<void> append(QSqlDatabase &db, const QString &noticeText)
{
    if (readOnly(db))
        return {};
    QSqlQuery query(db);
    if (Result<void> made = run(query, QLatin1String(kCreate)); !made)
        return made;
    // The write lock is held: the file on disk is as the last commit (or this transaction's
    // own pages written early) left it, and this commit raises the counter once more.
    const qint64 before = fileCounter(db);
    if (Result<void> added = run(
            query,
            QStringLiteral("INSERT INTO mainChanges (counter, origin, notice) VALUES (?, ?, ?)"),
            {before < 0 ? qint64(-1) : (before + 1) & 0xFFFFFFFF, origin(db),
             bindable(noticeText)});
        !added)
        return added;
    const qint64 seq = query.lastInsertId().toLongLong();
    // Pruned now and then, by the writer: a reader never writes.
    if (seq % 64 == 0 && seq > kKept)
        return run(query, QStringLiteral("DELETE FROM mainChanges WHERE seq <= ?"), {seq - kKept});
    return {};
}

Position current(QSqlDatabase &db)
{
    ReadTransaction transaction(db);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    Position at;
    if (query.exec(QStringLiteral("SELECT max(seq) FROM mainChanges")) && query.next())
        at.seq = query.value(0).toLongLong();
    at.version = dataVersion(db);
    at.counter = transaction.begun ? fileCounter(db) : -1;
    return at;
}

News since(QSqlDatabase &db, const Position &from)
{
    News news;
    ReadTransaction transaction(db);
    if (!transaction.begun)
        return news; // inside a transaction of the store's own: looked at later
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const bool listed = run(query,
                            QStringLiteral("SELECT seq, counter, origin, notice FROM mainChanges "
                                           "WHERE seq > ? ORDER BY seq"),
                            {from.seq})
                            .ok();
    news.read = true;
    news.at.version = dataVersion(db);
    news.at.counter = fileCounter(db);
    news.at.seq = from.seq;
    qint64 counter = from.counter;
    bool chained = listed && from.counter >= 0 && news.at.counter >= 0;
    const QString mine = origin(db);
    while (listed && query.next()) {
        const qint64 seq = query.value(0).toLongLong();
        const qint64 entryCounter = query.value(1).toLongLong();
        // Each entry the one after the last, its commit the one after the last.
        chained = chained && seq == news.at.seq + 1 && entryCounter == ((counter + 1) & 0xFFFFFFFF);
        news.at.seq = seq;
        counter = entryCounter;
        const QString text = query.value(3).toString();
        if (chained && !text.isEmpty() && query.value(2).toString() != mine)
            news.notices << ChangeNotice::decode(text);
    }
    if (news.at.seq == from.seq) {
        // Nothing new: the list as it is now (gone, or made anew, the reader starts over).
        QSqlQuery end(db);
        end.setForwardOnly(true);
        news.at.seq = end.exec(QStringLiteral("SELECT max(seq) FROM mainChanges")) && end.next()
                          ? end.value(0).toLongLong()
                          : 0;
        chained = chained && news.at.seq == from.seq;
    }
    news.complete = chained && counter == news.at.counter;
    if (!news.complete)
        news.notices.clear();
    return news;
}

} // namespace Store::ChangeNoticeList
