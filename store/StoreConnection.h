#pragma once

#include "PersonRecord.h"

#include <QString>

class QSqlDatabase;

// How every connection of the store to the database file is set up.
//
// Journal: a rollback journal, deleted at the end of each transaction (journal_mode=DELETE), and
// synchronous=EXTRA. A change is first copied out to the journal, the journal is flushed to the
// disk, then the database is changed and flushed, then the journal is deleted and the deletion
// (the folder) flushed. A crash or a power loss at any point leaves either the whole change or
// none of it: a journal left behind is rolled back by the next open. EXTRA adds the flush of the
// folder after the deletion, so that a change the user was told is saved stays saved after a
// power loss (with FULL the journal could come back and undo it). The extra flush per change
// costs little: changes are made one at a time by a person, and an import is one transaction.
//
// Not write-ahead logging: a database in a read-only folder could then not be opened even for
// reading (the engine needs a shared-memory file beside it), copying people.db alone while the
// program runs could miss the latest changes (they sit in a second file until checkpointed),
// it does not work on network folders, and the one connection of a desktop program gains
// nothing from its concurrency. With a rollback journal the database is always one file.
namespace Store::StoreConnection {

// How long a change waits for another program that holds the database before it gives up and
// says so.
constexpr int kBusyTimeoutMs = 2000;

// The driver's connect options: read-only or not, and the busy timeout.
QString Options(bool readOnly, int busyTimeoutMs);

// Sets the journal and the synchronous mode on an open connection that may write. A connection
// that only reads is left as it is.
void Configure(QSqlDatabase &db, bool readOnly);

// Makes a finished file durable: flushes the file, then, after it was renamed into place, the
// folder that holds it. False when a flush failed.
bool SyncFile(const QString &path);
bool SyncFolderOf(const QString &path);

} // namespace Store::StoreConnection
