#pragma once

// The listed files still to be decoded, in listing order: the record to render next and how
// many listed records are still to come. The host runs between two files and may take items
// out or ask for a new sort meanwhile; the queue keeps the place right, so that every file is
// rendered once and none is skipped, and a new sort waits until the last file is done.
//
// Results are applied in this order, one after the other, whoever decodes them: requests that
// are handed out ahead (to decode on other threads) stay pending here until their result has
// been applied.
class DecodeQueue
{
public:
    // Rendering starts over `count` listed records.
    void start(int count)
    {
        *this = DecodeQueue();
        m_active = true;
        m_end = count;
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
    void advance() { ++m_next; }

    // The record at `index` was taken out of the records (deleted, or dropped because it could
    // not be decoded).
    void removed(int index)
    {
        if (!m_active)
            return;
        // The records after it move up one place.
        if (index < m_next)
            --m_next;
        if (index < m_end)
            --m_end;
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
};
