#include "AnselDecoder.h"

#include <QString>

namespace Gedcom::Ansel {

namespace {

constexpr char16_t kUndefined = 0xFFFD;

// Spacing characters 0x88 to 0xDF (0 = undefined).
char16_t spacing(unsigned char byte)
{
    switch (byte) {
    case 0x8D:
        return 0x200D; // zero width joiner
    case 0x8E:
        return 0x200C; // zero width non-joiner
    case 0xA1:
        return 0x0141; // Ł
    case 0xA2:
        return 0x00D8; // Ø
    case 0xA3:
        return 0x0110; // Đ
    case 0xA4:
        return 0x00DE; // Þ
    case 0xA5:
        return 0x00C6; // Æ
    case 0xA6:
        return 0x0152; // Œ
    case 0xA7:
        return 0x02B9; // soft sign
    case 0xA8:
        return 0x00B7; // middle dot
    case 0xA9:
        return 0x266D; // flat
    case 0xAA:
        return 0x00AE; // ®
    case 0xAB:
        return 0x00B1; // ±
    case 0xAC:
        return 0x01A0; // Ơ
    case 0xAD:
        return 0x01AF; // Ư
    case 0xAE:
        return 0x02BC; // alif
    case 0xB0:
        return 0x02BB; // ayn
    case 0xB1:
        return 0x0142; // ł
    case 0xB2:
        return 0x00F8; // ø
    case 0xB3:
        return 0x0111; // đ
    case 0xB4:
        return 0x00FE; // þ
    case 0xB5:
        return 0x00E6; // æ
    case 0xB6:
        return 0x0153; // œ
    case 0xB7:
        return 0x02BA; // hard sign
    case 0xB8:
        return 0x0131; // dotless i
    case 0xB9:
        return 0x00A3; // £
    case 0xBA:
        return 0x00F0; // ð
    case 0xBC:
        return 0x01A1; // ơ
    case 0xBD:
        return 0x01B0; // ư
    case 0xBE:
        return 0x25A1; // empty box
    case 0xBF:
        return 0x25A0; // black box
    case 0xC0:
        return 0x00B0; // °
    case 0xC1:
        return 0x2113; // script small l
    case 0xC2:
        return 0x2117; // sound recording copyright
    case 0xC3:
        return 0x00A9; // ©
    case 0xC4:
        return 0x266F; // sharp
    case 0xC5:
        return 0x00BF; // ¿
    case 0xC6:
        return 0x00A1; // ¡
    case 0xC7:
        return 0x00DF; // ß
    case 0xC8:
        return 0x20AC; // €
    case 0xCD:
        return 0x0065; // midline e
    case 0xCE:
        return 0x006F; // midline o
    case 0xCF:
        return 0x00DF; // ß (the GEDCOM addition)
    default:
        return 0;
    }
}

// Combining marks 0xE0 to 0xFE (0 = undefined).
char16_t combining(unsigned char byte)
{
    static const char16_t marks[31] = {
        0x0309, // E0 hook above
        0x0300, // E1 grave
        0x0301, // E2 acute
        0x0302, // E3 circumflex
        0x0303, // E4 tilde
        0x0304, // E5 macron
        0x0306, // E6 breve
        0x0307, // E7 dot above
        0x0308, // E8 diaeresis
        0x030C, // E9 caron
        0x030A, // EA ring above
        0xFE20, // EB ligature, left half
        0xFE21, // EC ligature, right half
        0x0315, // ED comma above right
        0x030B, // EE double acute
        0x0310, // EF candrabindu
        0x0327, // F0 cedilla
        0x0328, // F1 ogonek
        0x0323, // F2 dot below
        0x0324, // F3 diaeresis below
        0x0325, // F4 ring below
        0x0333, // F5 double low line
        0x0332, // F6 low line
        0x0326, // F7 comma below
        0x031C, // F8 left half ring below
        0x032E, // F9 breve below
        0xFE22, // FA double tilde, left half
        0xFE23, // FB double tilde, right half
        0,      // FC
        0,      // FD
        0x0313, // FE comma above
    };
    return byte >= 0xE0 && byte <= 0xFE ? marks[byte - 0xE0] : 0;
}

} // namespace

QByteArray toUtf8(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    QString pending; // marks read, waiting for their letter
    bool anyMark = false;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0xE0) {
            const char16_t mark = combining(byte);
            if (mark) {
                pending.append(QChar(mark));
                anyMark = true;
            } else {
                text.append(QChar(kUndefined));
            }
            continue;
        }
        char16_t ch = byte;
        if (byte >= 0x80) {
            ch = spacing(byte);
            if (ch == 0)
                ch = kUndefined;
        }
        if (ch < 0x20) {
            // Never carry a mark across a line end (or any control character).
            text.append(pending);
            pending.clear();
            text.append(QChar(ch));
            continue;
        }
        text.append(QChar(ch));
        if (!pending.isEmpty()) {
            text.append(pending);
            pending.clear();
        }
    }
    text.append(pending);
    if (anyMark)
        text = text.normalized(QString::NormalizationForm_C);
    return text.toUtf8();
}

} // namespace Gedcom::Ansel
