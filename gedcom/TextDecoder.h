#pragma once

#include "Charset.h"

#include <QByteArray>
#include <QString>

namespace Gedcom {

// A GEDCOM file's bytes as UTF-8 text, and how they were read.
//
// The rule for choosing the encoding, in this order:
//  1. A byte order mark decides: UTF-8, UTF-16 LE or UTF-16 BE, whatever HEAD.CHAR says.
//  2. Without one, a file that begins with "0" and a NUL byte (or a NUL byte and "0") is UTF-16.
//  3. Otherwise bytes that are well-formed UTF-8 are read as UTF-8, whatever HEAD.CHAR says. A
//     file that really is in an 8-bit code page is practically never well-formed UTF-8 once it
//     holds a letter above 0x7F (that takes pairs such as "Ã©" inside names and places), while
//     files that claim ANSI, ASCII or ANSEL but were written as UTF-8 are common; reading
//     those by their claim would turn every accented letter into mojibake. A file of plain
//     ASCII bytes reads the same either way.
//  4. Bytes that are not well-formed UTF-8 are read by HEAD.CHAR: ANSEL (also when CHAR is
//     missing: the default before 7.0), ANSI (Windows-1252), IBMPC (code page 437), MACINTOSH
//     (Mac Roman), ASCII (its bytes above 0x7F as Windows-1252). A file that claims UTF-8, or
//     is a 7.0 file, keeps its well-formed sequences and reads each stray byte as
//     Windows-1252. An unknown CHAR value reads as Windows-1252.
// Whenever the bytes are not read as the header says, `remark` says so in one sentence.
struct DecodedText
{
    QByteArray utf8; // without a byte order mark
    Charset declared = Charset::Undeclared;
    QByteArray declaredName; // the HEAD.CHAR value as written
    Charset used = Charset::Utf8;
    bool byteOrderMark = false;
    QString remark;
};

DecodedText decodeText(const QByteArray &bytes);

} // namespace Gedcom
