#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace Gedcom::Utf8 {

// Appends the UTF-8 form of one code point.
void append(QByteArray &out, char32_t codePoint);

// The length (1 to 4) of the well-formed UTF-8 sequence that starts at p, or 0 when the bytes
// there are not one (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut off
// by the end).
int sequenceLength(const unsigned char *p, const unsigned char *end);

// Whether every byte belongs to a well-formed sequence; nonAscii tells whether any byte is
// above 0x7F.
bool isValid(QByteArrayView bytes, bool *nonAscii = nullptr);

// The bytes with every well-formed sequence kept and every stray byte read as Windows-1252.
QByteArray repaired(QByteArrayView bytes);

// Whether p points at a byte that continues a sequence (10xxxxxx).
inline bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace Gedcom::Utf8
