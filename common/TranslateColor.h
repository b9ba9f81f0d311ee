#pragma once

#include <QColor>
#include <QtGlobal>

// Colour values as the stored settings hold them: 0x00BBGGRR for an RGB colour, 0x800000nn for
// system colour nn. A node colour of kInheritColor (-1) means "the chart's colour applies".
using OleColor = quint32;
constexpr OleColor kInheritColor = 0xFFFFFFFFu;

// System colour indices.
enum SystemColorIndex : int {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29,
    COLOR_MENUBAR = 30,
};

// The system colour value for an index: 0x80000000 | index.
constexpr OleColor SystemColor(int index)
{
    return 0x80000000u | OleColor(index);
}

// The colour of a system colour index under the current palette (a fixed classic table when no
// GUI application exists). Unknown indices give black.
QColor SystemColorValue(int index);

// A colour value, system colours included, as a plain colour. RGB values pass, system colours
// map to the palette, anything else becomes black.
QColor TranslateColor(OleColor color);

// A plain colour back as a colour value (0x00BBGGRR).
constexpr OleColor RgbToOle(int r, int g, int b)
{
    return OleColor(r & 0xFF) | (OleColor(g & 0xFF) << 8) | (OleColor(b & 0xFF) << 16);
}
OleColor ToOleColor(const QColor &color);
