#pragma once

#include <QByteArrayView>
#include <QString>

namespace Gedcom {

// The character sets a GEDCOM file can be written in.
enum class Charset {
    Undeclared, // no HEAD.CHAR
    Unknown,    // a HEAD.CHAR value this reader does not know
    Utf8,
    Utf16LE,
    Utf16BE,
    Ansel,
    Ascii,
    Windows1252, // "ANSI"
    Cp437,       // "IBMPC"
    MacRoman,    // "MACINTOSH"
};

// The character set a HEAD.CHAR value names; the comparison ignores case, blanks and dashes.
Charset charsetFromName(QByteArrayView name);

// A short name for messages: "UTF-8", "ANSEL", "Windows-1252"...
QString charsetDisplayName(Charset charset);

// True for the character sets of one byte per character that this reader decodes by table.
bool isSingleByte(Charset charset);

} // namespace Gedcom
