#pragma once

#include "Document.h"

#include <QHash>

#include <array>

namespace Gedcom {

struct Line;

// Fills a Document from its decoded text in one pass over the lines: nodes, joined
// continuation values, records and their index, tag ids, the counts of ReadStats.
class DocumentBuilder
{
public:
    explicit DocumentBuilder(Document &document) : m_doc(document) {}

    // False when reading was cancelled or the text cannot be held (the error is set).
    bool build(const Progress &progress);

private:
    quint16 classify(QByteArrayView tag);
    quint16 classifySlow(QByteArrayView tag);
    void addLine(const Line &line);
    void continueValue(int node, QByteArrayView piece, bool lineBreak);
    void closeDeeperThan(int depth);
    void finish();

    struct CacheEntry
    {
        quint64 key = 0;
        quint16 id = 0;
        quint8 size = 0; // 0: empty slot
    };

    Document &m_doc;
    std::vector<int> m_open; // the open node at each depth
    std::array<CacheEntry, 256> m_cache{};
    QHash<QByteArray, quint16> m_unknownIds;
    std::vector<QByteArray> m_unknownNames;
    std::vector<qsizetype> m_unknownCounts;
};

} // namespace Gedcom
