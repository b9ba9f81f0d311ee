#pragma once

#include <QByteArray>
#include <QByteArrayView>

// ANSEL (ANSI Z39.47), the default character set of GEDCOM before 7.0, with the additions the
// GEDCOM 5.5 standards list (0xBE, 0xBF, 0xCD to 0xCF). Bytes below 0x80 are ASCII. Diacritics
// (0xE0 to 0xFE) are combining marks written BEFORE the letter they belong to; the text comes out
// with each mark after its letter, composed to NFC where Unicode has a precomposed letter.
namespace Gedcom::Ansel {

// The bytes as UTF-8 text. A byte the table leaves undefined reads as U+FFFD. A mark with no
// letter after it on its line stays a lone combining mark; it never moves across a line end.
QByteArray toUtf8(QByteArrayView bytes);

} // namespace Gedcom::Ansel
