#include "StoreWatcher.h"

#include "mDatabase.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <utility>

StoreWatcher::StoreWatcher(mDatabase &store, QObject *parent) : QObject(parent), m_store(store)
{
    m_poll.setInterval(250);
    connect(&m_poll, &QTimer::timeout, this, &StoreWatcher::Check);
}

StoreWatcher::~StoreWatcher() = default;

void StoreWatcher::Start()
{
    if (m_poll.isActive())
        return;
    attach();
    m_poll.start();
    if (std::exchange(m_missed, false))
        heard(ChangeNotice());
    Check(); // a file changed meanwhile
}

void StoreWatcher::Stop()
{
    m_poll.stop();
    // Changes read but not yet handed over are told (as Any) when watching again.
    if (!m_pending.isEmpty())
        m_missed = true;
    m_pending.clear();
}

void StoreWatcher::Check()
{
    if (!m_poll.isActive())
        return;
    attach();
    if (m_store.IsShared())
        return; // the server tells
    const qint64 version = m_store.DataVersion();
    if (version == m_version)
        return;
    if (m_version == -1 || version == -1) { // a store opened again: nothing to tell
        m_version = version;
        return;
    }
    readList();
}

void StoreWatcher::readList()
{
    QSqlDatabase db = QSqlDatabase::database(m_store.ConnectionName(), false);
    const Store::ChangeNoticeList::News news = Store::ChangeNoticeList::since(db, m_position);
    if (!news.read)
        return; // the store is inside a transaction of its own: at the next look
    m_position = news.at;
    m_version = news.at.version;
    if (!news.complete) {
        heard(ChangeNotice());
        return;
    }
    for (const ChangeNotice &notice : news.notices)
        heard(notice);
}

void StoreWatcher::attach()
{
    QSqlDatabase db = QSqlDatabase::database(m_store.ConnectionName(), false);
    QSqlDriver *driver = db.isOpen() ? db.driver() : nullptr;
    if (driver != m_driver.data()) {
        if (m_driver)
            disconnect(m_driver, nullptr, this, nullptr);
        m_driver = driver;
        m_version = m_store.DataVersion();
        if (driver && !m_store.IsShared()) {
            m_position = Store::ChangeNoticeList::current(db);
            m_version = m_position.version;
        }
        if (driver && m_store.IsShared())
            connect(driver, &QSqlDriver::notification, this,
                    [this](const QString &name, QSqlDriver::NotificationSource source,
                           const QVariant &payload) {
                        if (name != QLatin1String(kChangeChannel) ||
                            source == QSqlDriver::SelfSource)
                            return;
                        if (m_poll.isActive())
                            heard(ChangeNotice::decode(payload.toString()));
                        else
                            m_missed = true;
                    });
    }
    // A connection made again listens anew.
    if (driver && m_store.IsShared() &&
        !driver->subscribedToNotifications().contains(QLatin1String(kChangeChannel)))
        driver->subscribeToNotification(QLatin1String(kChangeChannel));
}

void StoreWatcher::heard(const ChangeNotice &notice)
{
    m_pending.append(notice);
    if (m_flushQueued)
        return;
    m_flushQueued = true;
    QMetaObject::invokeMethod(this, &StoreWatcher::flush, Qt::QueuedConnection);
}

void StoreWatcher::flush()
{
    m_flushQueued = false;
    if (m_pending.isEmpty())
        return;
    emit Changed(std::exchange(m_pending, {}));
}
