#include "PeopleLoader.h"

#include "PeopleStore.h"
#include "TextHash.h"

#include <cstring>

namespace Chart {

namespace {

// Smaller tables are built on the caller's thread: a worker would not pay for itself.
constexpr qsizetype kWorkerFrom = 20000;
constexpr qsizetype kBatchRows = 2048;
constexpr size_t kBatchesInFlight = 4;
// How many rows ahead the worker fetches the places in the indexes, and the texts they point to.
constexpr qsizetype kFarAhead = 16;
constexpr qsizetype kNearAhead = 8;

} // namespace

PeopleLoader::PeopleLoader(qsizetype expectedRows) : m_builder(expectedRows)
{
    if (expectedRows >= kWorkerFrom) {
        m_filling = std::make_unique<Batch>();
        m_worker = std::thread([this] { work(); });
    }
}

PeopleLoader::~PeopleLoader()
{
    stopWorker();
}

void PeopleLoader::AddRow(const PersonRowText &row)
{
    if (!m_filling) {
        m_builder.AddRow(row);
        return;
    }
    Batch &batch = *m_filling;
    const size_t at = batch.sizes.size();
    batch.sizes.resize(at + PersonRowText::kColumns);
    size_t bytes = 0;
    for (int c = 0; c < PersonRowText::kColumns; ++c)
        bytes += size_t(row.size[c]);
    size_t end = batch.bytes.size();
    batch.bytes.resize(end + bytes);
    char *out = batch.bytes.data();
    for (int c = 0; c < PersonRowText::kColumns; ++c) {
        batch.sizes[at + size_t(c)] = row.size[c];
        if (row.size[c] > 0)
            std::memcpy(out + end, row.data[c], size_t(row.size[c]));
        end += size_t(row.size[c]);
    }
    if (batch.rows() >= kBatchRows)
        handOver();
}

void PeopleLoader::handOver()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_full.size() < kBatchesInFlight; });
    m_full.push_back(std::move(m_filling));
    if (m_spare.empty()) {
        m_filling = std::make_unique<Batch>();
    } else {
        m_filling = std::move(m_spare.back());
        m_spare.pop_back();
    }
    m_wake.notify_all();
}

void PeopleLoader::work()
{
    for (;;) {
        std::unique_ptr<Batch> batch;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_full.empty() || m_closed; });
            if (m_full.empty())
                return;
            batch = std::move(m_full.front());
            m_full.pop_front();
            m_wake.notify_all();
        }
        // The rows, and what adding them will look at fetched some rows ahead, in two steps:
        // most of the time goes to waiting for memory otherwise.
        const qsizetype rows = batch->rows();
        std::vector<PersonRowText> &texts = m_rows;
        texts.resize(size_t(rows));
        const char *bytes = batch->bytes.data();
        const int *size = batch->sizes.data();
        for (qsizetype r = 0; r < rows; ++r) {
            for (int c = 0; c < PersonRowText::kColumns; ++c) {
                texts[size_t(r)].data[c] = bytes;
                texts[size_t(r)].size[c] = *size;
                bytes += *size++;
            }
        }
        // The hashes first: they are what the look-ups ahead need.
        batch->hashes.resize(size_t(rows) * PersonRowText::kColumns);
        for (qsizetype r = 0; r < rows; ++r)
            TextHash::RowHashes(texts[size_t(r)].data, texts[size_t(r)].size,
                                PersonRowText::kColumns,
                                &batch->hashes[size_t(r) * PersonRowText::kColumns]);
        const quint32 *hashes = batch->hashes.data();
        const auto hashesOf = [hashes](qsizetype r) {
            return hashes + r * PersonRowText::kColumns;
        };
        for (qsizetype r = 0; r < rows; ++r) {
            if (r + kFarAhead < rows)
                m_builder.Prefetch(texts[size_t(r + kFarAhead)], hashesOf(r + kFarAhead), 0);
            if (r + kNearAhead < rows)
                m_builder.Prefetch(texts[size_t(r + kNearAhead)], hashesOf(r + kNearAhead), 1);
            m_builder.AddRow(texts[size_t(r)], hashesOf(r));
        }
        batch->bytes.clear();
        batch->sizes.clear();
        batch->hashes.clear();
        std::lock_guard lock(m_mutex);
        m_spare.push_back(std::move(batch));
    }
}

void PeopleLoader::stopWorker()
{
    if (!m_worker.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        if (m_filling && m_filling->rows() > 0)
            m_full.push_back(std::move(m_filling));
        m_filling.reset();
        m_closed = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

cPeople PeopleLoader::Finish()
{
    stopWorker();
    m_skipped = m_builder.Duplicates();
    return m_builder.Finish();
}

} // namespace Chart
