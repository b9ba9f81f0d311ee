#pragma once

#include "ChangeNotice.h"
#include "Result.h"

#include <QList>
#include <QString>

class QSqlDatabase;

// The notices of a database file's recent changes, kept in the file itself (the side table
// `mainChanges`: a sequence number, the file's change counter as the commit leaves it, the
// connection that wrote it and the notice's text), so that another program on the file reads
// what changed rather than the whole tree. Each write transaction of the store appends its
// notice before it commits, so the list and the data never disagree; the table is made with
// the first change and keeps the last kKept entries.
//
// The engine counts every commit that changes the file in the file's header. A reader takes
// the list as complete only when its entries account for every commit since it last looked:
// their counters follow each other without a gap up to the counter the file has now. A commit
// that wrote no entry (an older program, a write around the store), entries pruned past the
// last one seen, or a missing table break the chain: the reader then knows only that something
// changed (Any), and never misses a change.
namespace Store::ChangeNoticeList {

// How many entries the list keeps.
inline constexpr qint64 kKept = 1000;

// Inside a write transaction on a database file (the write lock held): appends `notice`'s
// text (empty: a change no program shows) as written by the connection `db`.
Result<void> append(QSqlDatabase &db, const QString &noticeText);

// Where a reader stands in the list.
struct Position
{
    qint64 seq = 0;      // the last entry seen (0: none; the list may not exist yet)
    qint64 counter = -1; // the file's change counter then (-1: unknown)
    qint64 version = -1; // the connection's data version then (-1: unknown)
};

struct News
{
    bool read = false;           // false: the file could not be looked at now (try again later)
    bool complete = false;       // every change since the position is among `notices`
    QList<ChangeNotice> notices; // of other connections, in the order committed
    Position at;                 // where the reader stands now
};

// The list's end as it is now, for a reader that starts watching.
Position current(QSqlDatabase &db);
// The entries after `from`, other than those `db` itself wrote, read in one look while no
// other program can commit.
News since(QSqlDatabase &db, const Position &from);

// The name that tells the entries of the connection `db` (of this process) from all others.
QString origin(const QSqlDatabase &db);

} // namespace Store::ChangeNoticeList
