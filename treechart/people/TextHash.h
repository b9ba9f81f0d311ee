#pragma once

#include <QString>
#include <QStringView>

#include <cstring>

namespace Chart {

// Hashes and comparisons of texts for the person collection's own hash indexes.
namespace TextHash {

inline quint64 finish(quint64 h)
{
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ULL;
    h ^= h >> 33;
    return h;
}

// The exact bytes of a text (its UTF-8 form).
inline quint32 Bytes(const char *data, qsizetype size)
{
    quint64 h = 0x9E3779B97F4A7C15ULL ^ quint64(size);
    while (size >= 8) {
        quint64 v;
        std::memcpy(&v, data, 8);
        h = (h ^ (v * 0x87C37B91114253D5ULL)) * 0x4CF5AD432745937FULL;
        h ^= h >> 29;
        data += 8;
        size -= 8;
    }
    quint64 tail = 0;
    if (size > 0)
        std::memcpy(&tail, data, size_t(size));
    h = (h ^ (tail * 0x87C37B91114253D5ULL)) * 0x4CF5AD432745937FULL;
    return quint32(finish(h));
}

// A code point as keys are compared: case-folded.
inline char32_t fold(char32_t c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

// Calls f(folded code point) for each code point of the text.
template <typename F> inline void forEachFolded(QStringView text, F &&f)
{
    const qsizetype n = text.size();
    const char16_t *p = text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = p[i];
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1]))
            c = QChar::surrogateToUcs4(char16_t(c), p[++i]);
        f(fold(c));
    }
}

// A key without regard to letter case: texts that FoldedEqual calls equal hash alike.
inline quint32 Folded(QStringView text)
{
    quint64 h = 0x9E3779B97F4A7C15ULL;
    forEachFolded(text, [&h](char32_t c) { h = (h ^ c) * 0x100000001B3ULL + (h >> 41); });
    return quint32(finish(h));
}

// Folded() of the text these UTF-8 bytes spell.
inline quint32 FoldedUtf8(const char *data, qsizetype size)
{
    quint64 h = 0x9E3779B97F4A7C15ULL;
    for (qsizetype i = 0; i < size; ++i) {
        const auto c = uchar(data[i]);
        if (c >= 0x80)
            return Folded(QString::fromUtf8(data, size));
        h = (h ^ fold(c)) * 0x100000001B3ULL + (h >> 41);
    }
    return quint32(finish(h));
}

// The hashes the person collection's loader looks a row's texts up by: Folded of the key, the
// Bytes of every other text (0 for an empty one).
inline void RowHashes(const char *const *data, const int *size, int columns, quint32 *hashes)
{
    hashes[0] = FoldedUtf8(data[0], size[0]);
    for (int c = 1; c < columns; ++c)
        hashes[c] = size[c] > 0 ? Bytes(data[c], size[c]) : 0;
}

// Equal after case folding, code point by code point.
inline bool FoldedEqual(QStringView a, QStringView b)
{
    const qsizetype n = a.size();
    if (n == b.size()) { // the usual case: the same length, often the same letters
        const char16_t *p = a.utf16();
        const char16_t *q = b.utf16();
        qsizetype i = 0;
        while (i < n && p[i] < 0x80 && q[i] < 0x80 && fold(p[i]) == fold(q[i]))
            ++i;
        if (i == n)
            return true;
        if (p[i] < 0x80 && q[i] < 0x80)
            return false;
    }
    char32_t left[64];
    qsizetype count = 0;
    bool fits = true;
    forEachFolded(a, [&](char32_t c) {
        if (count < qsizetype(std::size(left)))
            left[count] = c;
        else
            fits = false;
        ++count;
    });
    if (!fits)
        return a.toString().toCaseFolded() == b.toString().toCaseFolded();
    qsizetype i = 0;
    bool same = true;
    forEachFolded(b, [&](char32_t c) {
        same = same && i < count && left[i] == c;
        ++i;
    });
    return same && i == count;
}

// The UTF-8 bytes spell exactly this text.
inline bool SameText(const char *data, qsizetype size, const QString &text)
{
    if (text.size() == size) {
        const char16_t *q = QStringView(text).utf16();
        qsizetype i = 0;
        while (i < size && uchar(data[i]) < 0x80 && char16_t(data[i]) == q[i])
            ++i;
        if (i == size)
            return true;
        if (uchar(data[i]) < 0x80)
            return false;
    } else if (text.size() > size) {
        return false; // UTF-8 never has fewer bytes than UTF-16 has units
    }
    return QString::fromUtf8(data, size) == text;
}

} // namespace TextHash

} // namespace Chart
