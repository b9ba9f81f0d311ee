#pragma once

#include "PeopleBuilder.h"
#include "PersonRowText.h"
#include "cPeople.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace Chart {

// Fills a person collection from the rows of a tree table as they are read (see PeopleBuilder).
// For a large table the building runs on a worker thread while the caller reads the next rows:
// reading and building take about as long, so the two together take little more than reading.
// The caller's thread only copies each row's bytes.
// The caller hands rows over and takes the collection from its own thread as if all happened
// there. A row whose key is already present (in any letter case) is skipped, as cPeople::Add
// refuses it; SkippedKeys lists those keys, in the order of the rows, for the caller to report.
class PeopleLoader
{
public:
    // `expectedRows` sizes the storage up front (0 when unknown).
    explicit PeopleLoader(qsizetype expectedRows = 0);
    ~PeopleLoader();
    PeopleLoader(const PeopleLoader &) = delete;
    PeopleLoader &operator=(const PeopleLoader &) = delete;

    void AddRow(const PersonRowText &row);
    // The collection, in the order the rows came.
    cPeople Finish();
    // After Finish: the keys of the rows left out because a row before them had the key.
    const QStringList &SkippedKeys() const { return m_skipped; }

private:
    // Rows copied for the worker: their texts one after the other and the sizes; the worker
    // adds the hashes the builder looks them up by.
    struct Batch
    {
        std::vector<char> bytes;
        std::vector<int> sizes;
        std::vector<quint32> hashes;
        qsizetype rows() const { return qsizetype(sizes.size()) / PersonRowText::kColumns; }
    };
    void handOver();
    void work();
    void stopWorker();

    PeopleBuilder m_builder;
    std::unique_ptr<Batch> m_filling; // null when the rows are built here
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::unique_ptr<Batch>> m_full;
    std::vector<std::unique_ptr<Batch>> m_spare;
    bool m_closed = false;
    std::vector<PersonRowText> m_rows; // the worker's view of its batch
    std::thread m_worker;
    QStringList m_skipped;
};

} // namespace Chart
