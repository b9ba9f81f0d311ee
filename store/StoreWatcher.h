#pragma once

#include "ChangeNotice.h"
#include "ChangeNoticeList.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class mDatabase;

// Hears of the changes other programs commit to the store's database and says so (Changed),
// never of this store's own changes. On a shared database the server sends each change's notice
// to every program listening on the store's connection (a notice of this connection's own
// changes is told apart by the connection's process on the server); on a database file the
// file's data version is looked at on a timer while watching (no read of anything else unless it
// changed), and then the notices the file keeps of its changes since the last look
// (ChangeNoticeList); when they may not hold every change (a program that keeps no list, the
// list pruned past the last look) the change is Any. Notices that arrive together are handed
// over together, once the event loop is free. The store may be opened again (another database, a
// lost connection): the watcher follows by itself at its next look.
class StoreWatcher : public QObject
{
    Q_OBJECT

public:
    // `store` must outlive the watcher.
    explicit StoreWatcher(mDatabase &store, QObject *parent = nullptr);
    ~StoreWatcher() override;

    // Watching while the window is shown. Nothing is told while stopped; what changed meanwhile
    // is told once watching again (on a server as Any).
    void Start();
    void Stop();
    bool IsWatching() const { return m_poll.isActive(); }
    // How often the file's data version is read, in milliseconds (default 250).
    void SetInterval(int milliseconds) { m_poll.setInterval(milliseconds); }
    int Interval() const { return m_poll.interval(); }
    // While watching: looks at once rather than at the next tick.
    void Check();

signals:
    // Changes by other programs, in the order they were committed.
    void Changed(const QList<ChangeNotice> &notices);

private:
    // Listens on the store's current connection, when it is not yet.
    void attach();
    // A file's data version moved: the notices of its list since the last look.
    void readList();
    void heard(const ChangeNotice &notice);
    void flush();

    mDatabase &m_store;
    QTimer m_poll;
    QPointer<QObject> m_driver; // the connection's driver listened to
    qint64 m_version = -1;
    Store::ChangeNoticeList::Position m_position; // a file's list as last looked at
    QList<ChangeNotice> m_pending;
    bool m_flushQueued = false;
    bool m_missed = false; // a notice came while stopped, or was not handed over before
};
