#pragma once

#include <deque>

namespace Pixtile {

// The listed files still to be decoded, in listing order: the record to render next and how
// many listed records are still to come. The host runs between two files and may take items
// out or ask for a new sort meanwhile; the queue keeps the place right, so that every file is
// rendered once and none is skipped, and a new sort waits until the last file is done.
//
// Results are applied in this order, one after the other, whoever decodes them: requests that
// are handed out ahead (to decode on other threads) stay pending here until their result has
// been applied. Each pending record has a ticket that names its decode, whatever place the
// record moves to.
class DecodeQueue
{
public:
    // Rendering starts over `count` listed records.
    void start(int count)
    {
        *this = DecodeQueue();
        m_active = true;
        m_end = count;
        for (int i = 0; i < count; ++i)
            m_tickets.push_back(i);
    }
    // Rendering ended (done, stopped or gone); a sort asked for meanwhile is left to take.
    void finish() { m_active = false; }
    bool active() const { return m_active; }

    // 0-based index of the record to render next; the listed records still to render are
    // next() .. end() - 1 (records after them were added by AddItem and are rendered already).
    int next() const { return m_next; }
    int end() const { return m_end; }
    bool done() const { return m_next >= m_end; }
    // The record at next() was rendered.
    void advance()
    {
        ++m_next;
        if (!m_tickets.empty())
            m_tickets.pop_front();
    }
    // The ticket of a pending record (pending(index) must hold).
    int ticket(int index) const { return m_tickets[std::size_t(index - m_next)]; }

    // The record at `index` was taken out of the records (deleted, or dropped because it could
    // not be decoded). The ticket it had when it was pending, else -1.
    int removed(int index)
    {
        if (!m_active)
            return -1;
        int ticket = -1;
        if (pending(index)) {
            const auto at = m_tickets.begin() + (index - m_next);
            ticket = *at;
            m_tickets.erase(at);
        }
        // The records after it move up one place.
        if (index < m_next)
            --m_next;
        if (index < m_end)
            --m_end;
        return ticket;
    }
    // True when `index` is a listed record that is still to be rendered.
    bool pending(int index) const { return m_active && index >= m_next && index < m_end; }

    // A new sort order while rendering runs: true when it has to wait for the end.
    bool deferSort()
    {
        if (!m_active)
            return false;
        m_sortPending = true;
        return true;
    }
    // Whether a sort waited; the request is taken.
    bool takeSort()
    {
        const bool pending = m_sortPending;
        m_sortPending = false;
        return pending;
    }

private:
    bool m_active = false;
    int m_next = 0;
    int m_end = 0;
    bool m_sortPending = false;
    std::deque<int> m_tickets; // of the pending records, in order
};

} // namespace Pixtile
