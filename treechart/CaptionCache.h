#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QString>

// Captions laid out once and kept between paints: a view that repaints thousands of boxes
// draws each caption from its prepared glyphs instead of laying the text out again. The cache
// holds at most kLimit captions (it starts afresh when full), so its memory does not grow with
// the chart. For the screen only: documents get plain text.
class CaptionCache
{
public:
    struct Caption
    {
        QStaticText text;
        int width = 0;    // advance of the text in the font
        qreal ascent = 0; // from the top of the prepared text to its baseline
    };

    // The caption in the font (the cache starts afresh when the font changes).
    const Caption &Get(const QString &text, const QFont &font);
    int Count() const { return int(m_captions.size()); }
    void Clear() { m_captions.clear(); }

    static constexpr int kLimit = 8192;

private:
    QFont m_font;
    qreal m_ascent = 0;
    QHash<QString, Caption> m_captions;
};
