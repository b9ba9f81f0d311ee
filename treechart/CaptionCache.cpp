#include "CaptionCache.h"

#include <QFontMetricsF>

const CaptionCache::Caption &CaptionCache::Get(const QString &text, const QFont &font)
{
    if (font != m_font) {
        m_captions.clear();
        m_font = font;
        m_ascent = QFontMetricsF(font).ascent();
    }
    const auto found = m_captions.constFind(text);
    if (found != m_captions.cend())
        return found.value();
    if (m_captions.size() >= kLimit)
        m_captions.clear();
    Caption caption;
    caption.text.setText(text);
    caption.text.setTextFormat(Qt::PlainText);
    caption.text.setPerformanceHint(QStaticText::AggressiveCaching);
    caption.ascent = m_ascent;
    return m_captions.insert(text, std::move(caption)).value();
}
