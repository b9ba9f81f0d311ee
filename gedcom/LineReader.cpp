#include "LineReader.h"

#include <cstring>

namespace Gedcom {

namespace {

constexpr int kLevelCap = 100000; // deeper levels are read as this one

inline bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// The end of the line that starts at p: the first CR or LF, or the end of the text.
inline const char *lineEnd(const char *p, const char *end)
{
    // Eight bytes at a time while none of them can be a CR or LF (both are below 0x0E).
    while (end - p >= 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        // A byte below 0x10 has its high nibble zero: test for any such byte.
        const quint64 high = word & 0xF0F0F0F0F0F0F0F0ULL;
        const quint64 zero = (high - 0x0101010101010101ULL) & ~high & 0x8080808080808080ULL;
        if (zero)
            break;
        p += 8;
    }
    while (p < end && *p != '\n' && *p != '\r')
        ++p;
    return p;
}

} // namespace

void LineReader::skipMalformed(qsizetype lineStart, qsizetype lineEnd)
{
    ++m_malformed;
    if (m_firstMalformed < 0)
        m_firstMalformed = lineStart;
    m_pos = lineEnd;
}

bool LineReader::next(Line &line)
{
    const char *const begin = m_text.data();
    const char *const end = begin + m_text.size();
    for (;;) {
        const char *p = begin + m_pos;
        while (p < end && (*p == '\n' || *p == '\r' || isBlank(*p)))
            ++p;
        if (p >= end) {
            m_pos = m_text.size();
            return false;
        }
        const char *eol = lineEnd(p, end);
        const qsizetype start = p - begin;

        if (*p < '0' || *p > '9') {
            skipMalformed(start, eol - begin);
            continue;
        }
        int level = 0;
        while (p < eol && *p >= '0' && *p <= '9') {
            if (level < kLevelCap)
                level = level * 10 + (*p - '0');
            ++p;
        }
        if (level > kLevelCap)
            level = kLevelCap;
        if (p >= eol || !isBlank(*p)) {
            skipMalformed(start, eol - begin);
            continue;
        }
        while (p < eol && isBlank(*p))
            ++p;

        QByteArrayView xref;
        if (p < eol && *p == '@') {
            const char *close = p + 1;
            while (close < eol && *close != '@')
                ++close;
            if (close >= eol) {
                skipMalformed(start, eol - begin);
                continue;
            }
            xref = QByteArrayView(p, close + 1 - p);
            p = close + 1;
            while (p < eol && isBlank(*p))
                ++p;
        }

        const char *tag = p;
        while (p < eol && *p != ' ' && *p != '\t')
            ++p;
        if (p == tag) {
            skipMalformed(start, eol - begin);
            continue;
        }
        line.level = level;
        line.xref = xref;
        line.tag = QByteArrayView(tag, p - tag);
        line.value = p < eol ? QByteArrayView(p + 1, eol - (p + 1)) : QByteArrayView();
        line.offset = start;
        m_pos = eol - begin;
        return true;
    }
}

} // namespace Gedcom
