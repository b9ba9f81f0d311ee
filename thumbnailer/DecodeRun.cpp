#include "DecodeRun.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>

namespace Pixtile {

void DecodeRun::submit(int ticket, DecodeRequest request)
{
    {
        const QMutexLocker lock(&m_mutex);
        m_slots[ticket] = Slot();
        ++m_running;
    }
    std::shared_ptr<DecodeRun> self = shared_from_this();
    // The global pool: the application waits for it before it ends, so a decode still running
    // then can wake the GUI thread safely.
    QThreadPool::globalInstance()->start([self, ticket, request = std::move(request)] {
        DecodedCell result;
        if (!self->cancelled())
            result = DecodeCell(request);
        self->finished(ticket, std::move(result));
    });
}

void DecodeRun::finished(int ticket, DecodedCell result)
{
    {
        const QMutexLocker lock(&m_mutex);
        --m_running;
        const auto slot = m_slots.find(ticket);
        if (slot != m_slots.end()) {
            slot->second.done = true;
            slot->second.result = std::move(result);
        }
    }
    if (m_finished)
        m_finished();
}

bool DecodeRun::submitted(int ticket) const
{
    const QMutexLocker lock(&m_mutex);
    return m_slots.count(ticket) > 0;
}

bool DecodeRun::ready(int ticket) const
{
    const QMutexLocker lock(&m_mutex);
    const auto slot = m_slots.find(ticket);
    return slot != m_slots.end() && slot->second.done;
}

DecodedCell DecodeRun::take(int ticket)
{
    const QMutexLocker lock(&m_mutex);
    const auto slot = m_slots.find(ticket);
    if (slot == m_slots.end())
        return {};
    DecodedCell result = std::move(slot->second.result);
    m_slots.erase(slot);
    return result;
}

void DecodeRun::forget(int ticket)
{
    const QMutexLocker lock(&m_mutex);
    m_slots.erase(ticket);
}

int DecodeRun::running() const
{
    const QMutexLocker lock(&m_mutex);
    return m_running;
}

int DecodeRun::outstanding() const
{
    const QMutexLocker lock(&m_mutex);
    return int(m_slots.size());
}

int DecodeRun::defaultWorkers()
{
    return std::max(1, QThreadPool::globalInstance()->maxThreadCount());
}

} // namespace Pixtile
