#pragma once

#include "Charset.h"

#include <QByteArray>
#include <QByteArrayView>

// The code pages of one byte per character that older GEDCOM files use: Windows-1252 ("ANSI"),
// code page 437 ("IBMPC") and Mac Roman ("MACINTOSH"). Bytes below 0x80 are ASCII in all three;
// the tables give the upper half.
namespace Gedcom::CodePages {

// The character of one byte in the given code page. ASCII reads as Windows-1252, the usual
// meaning of bytes above 0x7F in a file that claims ASCII.
char16_t character(Charset codePage, unsigned char byte);

// The bytes read in the given code page, as UTF-8.
QByteArray toUtf8(QByteArrayView bytes, Charset codePage);

} // namespace Gedcom::CodePages
