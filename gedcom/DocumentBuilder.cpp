#include "DocumentBuilder.h"

#include "LineReader.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace Gedcom {

namespace {

constexpr quint64 kMaxBuffer = std::numeric_limits<quint32>::max() - 1;
constexpr int kMaxDepth = 0xFFFF;
constexpr size_t kMaxUnknownNames = 1000; // further unknown tags are counted under one name

inline char upper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

} // namespace

quint16 DocumentBuilder::classify(QByteArrayView tag)
{
    if (tag.size() > 8)
        return classifySlow(tag);
    quint64 key = 0;
    for (qsizetype i = 0; i < tag.size(); ++i)
        key |= quint64(static_cast<unsigned char>(upper(tag[i]))) << (8 * i);
    CacheEntry &entry = m_cache[(key * 0x9E3779B97F4A7C15ULL) >> 56];
    if (entry.size == tag.size() && entry.key == key)
        return entry.id;
    const quint16 id = classifySlow(tag);
    entry = {key, id, quint8(tag.size())};
    return id;
}

quint16 DocumentBuilder::classifySlow(QByteArrayView tag)
{
    QByteArray name(tag.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < tag.size(); ++i)
        name[i] = upper(tag[i]);
    const quint16 id = standardTagId(name);
    if (id != kTagOther)
        return id;
    const auto it = m_unknownIds.constFind(name);
    if (it != m_unknownIds.cend())
        return it.value();
    if (m_unknownNames.size() >= kMaxUnknownNames)
        return quint16(kFirstUnknownTag + kMaxUnknownNames - 1);
    const auto newId = quint16(kFirstUnknownTag + m_unknownNames.size());
    if (m_unknownNames.size() == kMaxUnknownNames - 1)
        name = QByteArrayLiteral("(other unknown tags)");
    m_unknownNames.push_back(name);
    m_unknownCounts.push_back(0);
    m_unknownIds.insert(name, newId);
    return newId;
}

void DocumentBuilder::closeDeeperThan(int depth)
{
    const auto end = quint32(m_doc.m_nodes.size());
    while (int(m_open.size()) > depth) {
        m_doc.m_nodes[size_t(m_open.back())].end = end;
        m_open.pop_back();
    }
}

void DocumentBuilder::continueValue(int index, QByteArrayView piece, bool lineBreak)
{
    Document::Node &node = m_doc.m_nodes[size_t(index)];
    std::string &joined = m_doc.m_joined;
    if (!node.joined || node.offset + node.size != joined.size()) {
        // Move the value so far to the end of the buffer, where it can grow.
        std::string current = node.joined
                                  ? joined.substr(node.offset, node.size)
                                  : std::string(m_doc.m_text.constData() + node.offset, node.size);
        node.offset = quint32(joined.size());
        node.joined = true;
        joined.append(current);
    }
    if (lineBreak)
        joined.push_back('\n');
    joined.append(piece.data(), size_t(piece.size()));
    node.size = quint32(joined.size() - node.offset);
    node.at = joined[node.offset] == '@';
}

void DocumentBuilder::addLine(const Line &line)
{
    ReadStats &stats = m_doc.m_stats;
    ++stats.lines;
    int depth = line.level;
    if (depth > int(m_open.size())) {
        ++stats.levelJumps;
        depth = int(m_open.size());
    }
    depth = std::min(depth, kMaxDepth);
    const quint16 tag = classify(line.tag);
    if (tag >= kFirstUnknownTag)
        ++m_unknownCounts[tag - kFirstUnknownTag];

    if (tag == tagId(Tag::CONC) || tag == tagId(Tag::CONT)) {
        closeDeeperThan(depth);
        if (depth == 0 || m_open.empty()) {
            ++stats.strayContinuations;
            return;
        }
        continueValue(m_open.back(), line.value, tag == tagId(Tag::CONT));
        return;
    }

    closeDeeperThan(depth);
    Document::Node node;
    // A line without a value points just past its tag (Document::tagName reads it from there).
    const char *value = line.value.data() ? line.value.data() : line.tag.data() + line.tag.size();
    node.offset = quint32(value - m_doc.m_text.constData());
    node.size = quint32(line.value.size());
    node.at = line.value.startsWith('@');
    node.tag = tag;
    node.depth = quint16(depth);
    const int index = int(m_doc.m_nodes.size());
    m_doc.m_nodes.push_back(node);
    m_open.push_back(index);
    if (depth == 0) {
        Document::Record record;
        record.node = quint32(index);
        if (!line.xref.isEmpty()) {
            record.xrefOffset = quint32(line.xref.data() - m_doc.m_text.constData());
            record.xrefSize = quint32(line.xref.size());
        }
        m_doc.m_records.push_back(record);
    }
}

void DocumentBuilder::finish()
{
    closeDeeperThan(0);
    Document &doc = m_doc;

    doc.m_index.reserve(qsizetype(doc.m_records.size()));
    for (size_t i = 0; i < doc.m_records.size(); ++i) {
        Document::Record &record = doc.m_records[i];
        if (record.xrefSize && !doc.m_index.insert(int(i), record.xrefOffset, record.xrefSize,
                                                   doc.m_text.constData())) {
            record.duplicate = true;
            ++doc.m_stats.duplicateXrefs;
        }
    }

    for (size_t i = 0; i < m_unknownNames.size(); ++i)
        doc.m_stats.unknownTags.append({m_unknownNames[i], m_unknownCounts[i]});
    doc.m_unknownTagNames = m_unknownNames;
    std::sort(doc.m_stats.unknownTags.begin(), doc.m_stats.unknownTags.end());
}

bool DocumentBuilder::build(const Progress &progress)
{
    Document &doc = m_doc;
    if (quint64(doc.m_text.size()) > kMaxBuffer) {
        doc.m_error =
            Error(ErrorCode::InvalidInput,
                  QStringLiteral("The file is too large to be read (more than 4 GB of text)."));
        return false;
    }
    // At most one node per line.
    const char *text = doc.m_text.constData();
    auto lines = std::count(text, text + doc.m_text.size(), '\n');
    if (lines == 0)
        lines = std::count(text, text + doc.m_text.size(), '\r');
    doc.m_nodes.reserve(size_t(lines) + 16);
    LineReader reader(doc.m_text);
    Line line;
    qsizetype sinceReport = 0;
    while (reader.next(line)) {
        addLine(line);
        if (doc.m_joined.size() > kMaxBuffer) {
            doc.m_error =
                Error(ErrorCode::InvalidInput, QStringLiteral("The file is too large to be read."));
            return false;
        }
        if (progress && ++sinceReport == 65536) {
            sinceReport = 0;
            if (!progress(reader.position(), doc.m_text.size())) {
                doc.m_error = Error(ErrorCode::Cancelled, QStringLiteral("Reading was cancelled."));
                return false;
            }
        }
    }
    doc.m_stats.malformedLines = reader.malformedLines();
    finish();
    return true;
}

} // namespace Gedcom
