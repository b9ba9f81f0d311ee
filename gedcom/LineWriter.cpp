#include "LineWriter.h"

#include "Utf8.h"

#include <cstring>

namespace Gedcom {

namespace {

// Whether a 5.5.1 value may be cut before position `cut`. Strictness 0: no space on either side;
// 1: no space after the cut (the next piece must not begin with one); 2: any cut that keeps
// UTF-8 sequences and @@ escapes whole.
bool goodCut(QByteArrayView v, qsizetype cut, int strictness)
{
    const auto byte = static_cast<unsigned char>(v[cut]);
    if (Utf8::isContinuation(byte))
        return false;
    if (v[cut - 1] == '@' && v[cut] == '@')
        return false;
    if (strictness <= 1 && v[cut] == ' ')
        return false;
    return strictness >= 1 || v[cut - 1] != ' ';
}

} // namespace

void LineWriter::begin(int level, QByteArrayView tag)
{
    if (level >= 0 && level < 10) {
        char *p = grow(2 + tag.size());
        p[0] = char('0' + level);
        p[1] = ' ';
        std::memcpy(p + 2, tag.data(), size_t(tag.size()));
        return;
    }
    append(QByteArray::number(level));
    append(" ");
    append(tag);
}

void LineWriter::record(QByteArrayView xref, QByteArrayView tag)
{
    const qsizetype size = 2 + (xref.isEmpty() ? 0 : xref.size() + 1) + tag.size() + 1;
    char *p = grow(size);
    *p++ = '0';
    *p++ = ' ';
    if (!xref.isEmpty()) {
        std::memcpy(p, xref.data(), size_t(xref.size()));
        p += xref.size();
        *p++ = ' ';
    }
    std::memcpy(p, tag.data(), size_t(tag.size()));
    p += tag.size();
    *p = '\n';
}

void LineWriter::append(QByteArrayView bytes)
{
    if (!bytes.isEmpty())
        std::memcpy(grow(bytes.size()), bytes.data(), size_t(bytes.size()));
}

void LineWriter::reserve(qsizetype bytes)
{
    if (bytes > m_out.size())
        m_out.resize(bytes);
}

QByteArray LineWriter::take()
{
    if (m_sink) {
        flush();
        return QByteArray();
    }
    m_out.truncate(m_used);
    m_used = 0;
    return std::move(m_out);
}

void LineWriter::setSink(std::function<bool(QByteArrayView bytes)> sink)
{
    flush();
    m_sink = std::move(sink);
    reserve(kSinkPiece + kMaxLine);
}

void LineWriter::flush()
{
    if (m_sink && m_used > 0 && !m_sinkFailed)
        m_sinkFailed = !m_sink(QByteArrayView(m_out.constData(), m_used));
    if (m_sink)
        m_used = 0;
}

// The buffer is grown ahead (by half again, as a QByteArray would) and only the bytes written
// count: resizing the QByteArray for every line is a call each time.
char *LineWriter::grow(qsizetype bytes)
{
    if (m_sink && m_used + bytes > kSinkPiece)
        flush();
    const qsizetype at = m_used;
    if (m_out.size() - at < bytes)
        m_out.resize(qMax(at + bytes, m_out.size() + m_out.size() / 2 + 256));
    m_used = at + bytes;
    return m_out.data() + at;
}

// "<level> <tag>[ <value>]\n" in one piece: most lines are short, and growing the buffer once a
// line rather than once a part of it is most of the time it takes to write them.
void LineWriter::line(int level, QByteArrayView tag, QByteArrayView value)
{
    if (level < 0 || level > 9) {
        begin(level, tag);
        if (!value.isEmpty()) {
            append(" ");
            append(value);
        }
        append("\n");
        return;
    }
    const qsizetype size = 2 + tag.size() + (value.isEmpty() ? 0 : 1 + value.size()) + 1;
    char *p = grow(size);
    *p++ = char('0' + level);
    *p++ = ' ';
    std::memcpy(p, tag.data(), size_t(tag.size()));
    p += tag.size();
    if (!value.isEmpty()) {
        *p++ = ' ';
        std::memcpy(p, value.data(), size_t(value.size()));
        p += value.size();
    }
    *p = '\n';
}

void LineWriter::pointer(int level, QByteArrayView tag, QByteArrayView xref)
{
    if (!xref.isEmpty()) {
        line(level, tag, xref);
        return;
    }
    begin(level, tag);
    append(" \n");
}

void LineWriter::plain(int level, QByteArrayView tag, QByteArrayView value)
{
    line(level, tag, value);
}

void LineWriter::appendUtf8(QByteArray &out, QStringView text)
{
    if (!QtPrivate::isAscii(text)) {
        out.append(text.toUtf8());
        return;
    }
    const qsizetype at = out.size();
    out.resize(at + text.size());
    char *to = out.data() + at;
    const char16_t *from = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i)
        to[i] = char(from[i]);
}

// Most texts are ASCII: they are narrowed into a buffer that is kept, not one made per line.
void LineWriter::text(int level, QByteArrayView tag, const QString &value)
{
    m_narrow.resize(0); // keeps its capacity
    appendUtf8(m_narrow, value);
    text(level, tag, QByteArrayView(m_narrow));
}

void LineWriter::text(int level, QByteArrayView tag, QByteArrayView utf8)
{
    // Most values are one line without an @ that fits: written as they stand, after one look.
    const char *p = utf8.data();
    const qsizetype size = utf8.size();
    qsizetype i = 0;
    while (i < size && p[i] != '\n' && p[i] != '\r' && p[i] != '@')
        ++i;
    if (i == size &&
        (m_version != Version::Gedcom551 ||
         size <= qMin<qsizetype>(kMaxPiece, kMaxLine - (level < 10 ? 1 : 2) - tag.size() - 3))) {
        line(level, tag, utf8);
        return;
    }
    QByteArrayView rest(utf8);
    bool first = true;
    for (;;) {
        qsizetype end = 0;
        while (end < rest.size() && rest[end] != '\n' && rest[end] != '\r')
            ++end;
        // CONC lines continue the tag line and its CONT lines at one level, below the tag.
        if (first)
            escaped(level, tag, rest.first(end), level + 1);
        else
            escaped(level + 1, "CONT", rest.first(end), level + 1);
        first = false;
        if (end >= rest.size())
            break;
        // CR LF is one line break; a lone CR or LF is one too.
        qsizetype next = end + 1;
        if (rest[end] == '\r' && next < rest.size() && rest[next] == '\n')
            ++next;
        rest = rest.sliced(next);
    }
}

void LineWriter::escaped(int level, QByteArrayView tag, QByteArrayView line, int concLevel)
{
    QByteArrayView value = line;
    if (line.contains('@')) {
        m_scratch.clear();
        if (m_version == Version::Gedcom551) {
            for (qsizetype i = 0; i < line.size(); ++i) {
                const char c = line[i];
                if (m_keepEscapes && c == '@' && i + 1 < line.size() && line[i + 1] == '#') {
                    const qsizetype close = line.indexOf('@', i + 2);
                    if (close > i) {
                        m_scratch.append(line.sliced(i, close - i + 1));
                        i = close;
                        continue;
                    }
                }
                m_scratch.append(c);
                if (c == '@')
                    m_scratch.append('@');
            }
        } else {
            if (line.startsWith('@'))
                m_scratch.append('@');
            m_scratch.append(line);
        }
        value = m_scratch;
    }
    if (m_version == Version::Gedcom551) {
        split(level, tag, value, concLevel);
        return;
    }
    plain(level, tag, value);
}

void LineWriter::split(int level, QByteArrayView tag, QByteArrayView value, int concLevel)
{
    // "<level> <tag> " and the line end
    const qsizetype prefix = (level < 10 ? 1 : 2) + 1 + tag.size() + 1 + 1;
    const qsizetype conc = (concLevel < 10 ? 1 : 2) + 1 + 4 + 1 + 1;
    // A tag too long for a line of its own (kept as read from another file) still leaves room.
    qsizetype room = qMax<qsizetype>(1, qMin<qsizetype>(kMaxPiece, kMaxLine - prefix));
    if (value.size() <= room) {
        plain(level, tag, value);
        return;
    }
    const QByteArray copy = value.toByteArray(); // value may live in m_scratch
    QByteArrayView v(copy);
    qsizetype start = 0;
    bool first = true;
    while (start < v.size()) {
        qsizetype cut = v.size();
        if (v.size() - start > room) {
            cut = -1;
            for (int strictness = 0; strictness < 3 && cut < 0; ++strictness) {
                for (qsizetype c = start + room; c > start; --c) {
                    if (goodCut(v, c, strictness)) {
                        cut = c;
                        break;
                    }
                }
            }
            // No cut within the room (a tag longer than a line leaves next to none): the first
            // one after it, so that no UTF-8 sequence is cut in two.
            for (qsizetype c = start + room + 1; cut < 0 && c < v.size(); ++c) {
                if (goodCut(v, c, 2))
                    cut = c;
            }
            if (cut < 0)
                cut = v.size();
        }
        if (first)
            plain(level, tag, v.sliced(start, cut - start));
        else
            plain(concLevel, "CONC", v.sliced(start, cut - start));
        first = false;
        start = cut;
        room = qMin<qsizetype>(kMaxPiece, kMaxLine - conc);
    }
}

} // namespace Gedcom
