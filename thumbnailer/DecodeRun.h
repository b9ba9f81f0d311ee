#pragma once

#include "CellDecoder.h"

#include <QMutex>

#include <atomic>
#include <functional>
#include <memory>
#include <unordered_map>

namespace Pixtile {

// The decodes of one rendering, done on the shared thread pool (as many workers as cores) and
// collected here until the GUI thread applies them, in listing order. Each listed file has a
// ticket; its result waits here until taken. Cancelling lets decodes still queued end without
// decoding; decodes already running finish on their own and their results are dropped with the
// run. Nothing of a run is ever applied to another: a new rendering makes a new run.
//
// A finished decode calls `finished` on the worker thread that decoded it, once its result can be
// taken: the pipeline queues its next step to the GUI thread from there.
class DecodeRun : public std::enable_shared_from_this<DecodeRun>
{
public:
    using Finished = std::function<void()>;
    static std::shared_ptr<DecodeRun> create(Finished finished = {})
    {
        return std::shared_ptr<DecodeRun>(new DecodeRun(std::move(finished)));
    }

    // Queues the decode of a ticket on the thread pool (GUI thread).
    void submit(int ticket, DecodeRequest request);
    bool submitted(int ticket) const;
    bool ready(int ticket) const;
    // The result of a finished decode; the ticket is forgotten.
    DecodedCell take(int ticket);
    // The ticket's file left the listing: its result (now or later) is dropped.
    void forget(int ticket);

    // Decodes queued or running, and results not yet taken.
    int running() const;
    int outstanding() const;

    // Queued decodes end without decoding.
    void cancel() { m_cancelled.store(true); }
    bool cancelled() const { return m_cancelled.load(); }

    // The number of decodes a run keeps going at once by default: one per core.
    static int defaultWorkers();

private:
    explicit DecodeRun(Finished finished) : m_finished(std::move(finished)) {}
    void finished(int ticket, DecodedCell result);

    struct Slot
    {
        bool done = false;
        DecodedCell result;
    };
    mutable QMutex m_mutex;
    std::unordered_map<int, Slot> m_slots;
    int m_running = 0;
    std::atomic<bool> m_cancelled{false};
    const Finished m_finished;
};

} // namespace Pixtile
