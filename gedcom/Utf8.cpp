#include "Utf8.h"

#include "CodePages.h"

#include <cstring>

namespace Gedcom::Utf8 {

void append(QByteArray &out, char32_t c)
{
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6)));
        out.append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}

int sequenceLength(const unsigned char *p, const unsigned char *end)
{
    const unsigned char b0 = p[0];
    if (b0 < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0)
            low = 0xA0; // no overlong forms
        else if (b0 == 0xED)
            high = 0x9F; // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0)
            low = 0x90;
        else if (b0 == 0xF4)
            high = 0x8F; // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (end - p < length)
        return 0;
    if (p[1] < low || p[1] > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if (!isContinuation(p[i]))
            return 0;
    }
    return length;
}

bool isValid(QByteArrayView bytes, bool *nonAscii)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    bool high = false;
    while (p < end) {
        // Eight plain ASCII bytes at a time: the common case of a GEDCOM file.
        if (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        high = true;
        const int length = sequenceLength(p, end);
        if (length == 0) {
            if (nonAscii)
                *nonAscii = true;
            return false;
        }
        p += length;
    }
    if (nonAscii)
        *nonAscii = high;
    return true;
}

QByteArray repaired(QByteArrayView bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 8);
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        const int length = sequenceLength(p, end);
        if (length == 0) {
            append(out, CodePages::character(Charset::Windows1252, *p));
            ++p;
        } else {
            out.append(reinterpret_cast<const char *>(p), length);
            p += length;
        }
    }
    return out;
}

} // namespace Gedcom::Utf8
