#include "TranslateColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

struct Entry
{
    int index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    QRgb classic; // used when there is no GUI application to ask
};

// Each system colour index and the palette role that plays its part here.
constexpr Entry kTable[] = {
    {COLOR_SCROLLBAR, QPalette::Active, QPalette::Button, 0xD4D0C8},
    {COLOR_BACKGROUND, QPalette::Active, QPalette::Dark, 0x3A6EA5},
    {COLOR_ACTIVECAPTION, QPalette::Active, QPalette::Highlight, 0x0A246A},
    {COLOR_INACTIVECAPTION, QPalette::Inactive, QPalette::Mid, 0x808080},
    {COLOR_MENU, QPalette::Active, QPalette::Window, 0xD4D0C8},
    {COLOR_WINDOW, QPalette::Active, QPalette::Base, 0xFFFFFF},
    {COLOR_WINDOWFRAME, QPalette::Active, QPalette::Shadow, 0x000000},
    {COLOR_MENUTEXT, QPalette::Active, QPalette::WindowText, 0x000000},
    {COLOR_WINDOWTEXT, QPalette::Active, QPalette::Text, 0x000000},
    {COLOR_CAPTIONTEXT, QPalette::Active, QPalette::HighlightedText, 0xFFFFFF},
    {COLOR_ACTIVEBORDER, QPalette::Active, QPalette::Button, 0xD4D0C8},
    {COLOR_INACTIVEBORDER, QPalette::Inactive, QPalette::Button, 0xD4D0C8},
    {COLOR_APPWORKSPACE, QPalette::Active, QPalette::Mid, 0x808080},
    {COLOR_HIGHLIGHT, QPalette::Active, QPalette::Highlight, 0x0A246A},
    {COLOR_HIGHLIGHTTEXT, QPalette::Active, QPalette::HighlightedText, 0xFFFFFF},
    {COLOR_BTNFACE, QPalette::Active, QPalette::Button, 0xD4D0C8},
    {COLOR_BTNSHADOW, QPalette::Active, QPalette::Dark, 0x808080},
    {COLOR_GRAYTEXT, QPalette::Disabled, QPalette::Text, 0x808080},
    {COLOR_BTNTEXT, QPalette::Active, QPalette::ButtonText, 0x000000},
    {COLOR_INACTIVECAPTIONTEXT, QPalette::Inactive, QPalette::WindowText, 0xD4D0C8},
    {COLOR_BTNHIGHLIGHT, QPalette::Active, QPalette::Light, 0xFFFFFF},
    {COLOR_3DDKSHADOW, QPalette::Active, QPalette::Shadow, 0x404040},
    {COLOR_3DLIGHT, QPalette::Active, QPalette::Midlight, 0xE6E4E0},
    {COLOR_INFOTEXT, QPalette::Active, QPalette::ToolTipText, 0x000000},
    {COLOR_INFOBK, QPalette::Active, QPalette::ToolTipBase, 0xFFFFE1},
    {COLOR_HOTLIGHT, QPalette::Active, QPalette::Link, 0x0000FF},
    {COLOR_GRADIENTACTIVECAPTION, QPalette::Active, QPalette::Highlight, 0xA6CAF0},
    {COLOR_GRADIENTINACTIVECAPTION, QPalette::Inactive, QPalette::Mid, 0xC0C0C0},
    {COLOR_MENUHILIGHT, QPalette::Active, QPalette::Highlight, 0x316AC5},
    {COLOR_MENUBAR, QPalette::Active, QPalette::Window, 0xD4D0C8},
};

} // namespace

QColor SystemColorValue(int index)
{
    for (const Entry &entry : kTable) {
        if (entry.index != index)
            continue;
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            return QGuiApplication::palette().color(entry.group, entry.role);
        return QColor::fromRgb(entry.classic);
    }
    return QColor(Qt::black);
}

QColor TranslateColor(OleColor color)
{
    if ((color & 0xFF000000u) == 0)
        return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
    if ((color & 0xFFFFFF00u) == 0x80000000u)
        return SystemColorValue(int(color & 0xFF));
    return QColor(Qt::black);
}

OleColor ToOleColor(const QColor &color)
{
    return RgbToOle(color.red(), color.green(), color.blue());
}
