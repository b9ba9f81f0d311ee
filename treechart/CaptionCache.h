#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <QStringView>

#include <unordered_map>
#include <vector>

class QPainter;

// Captions shaped once and kept between paints, word by word. Names repeat heavily in a family
// tree, so a view of thousands of boxes is drawn from a few hundred shaped words, and a caption
// never seen before costs only its unseen words. Words are shaped apart and set one space
// advance from each other, which places every glyph where laying out the whole caption does as
// long as the font's blanks stand apart from their neighbours; captions whose shape depends on
// more than their words (marks after a space, scripts beyond Latin, Greek and Cyrillic, any
// caption in a font that kerns its blanks) are shaped whole, and captions with right-to-left
// text or control characters are left to plain text drawing. The glyphs are drawn as glyph runs, so
// a zoom does not lay anything out again.
//
// A paint goes: Begin, Note every caption it may draw, Shape (the unseen words together, in one
// layout), then Compose and Draw (or Keep, to draw many at once with DrawKept) each caption, End.
// The cache keeps about kLimit entries: End drops the least recently drawn above that, so memory
// does not grow with the chart. For pixels only: documents (PDF, SVG, printers) get captions as
// text.
class CaptionCache
{
public:
    // Starts a paint with the painter's font. The cache starts afresh when the font or the
    // device's resolution changed. False when captions cannot come from the cache on this
    // painter (not a raster device, a right-to-left layout, a font with lines drawn through,
    // over or under the text): they are drawn as text then, and the paint calls nothing else.
    bool Begin(const QPainter &painter);
    // Notes a caption the paint may draw; its number for Compose, or -1 when it is to be drawn as
    // plain text.
    int Note(const QString &caption);
    // Shapes the words noted and not yet known.
    void Shape();
    // Prepares a noted caption for Draw or Keep and returns its advance.
    qreal Compose(int caption);
    // The same for a caption not noted before (shaped now if need be); negative when the caption
    // has to be drawn as plain text.
    qreal Compose(const QString &caption);
    // Draws the caption composed last, its baseline starting at the point, in the painter's pen.
    void Draw(QPainter &painter, QPointF baseline);
    // Keeps the caption composed last, to be drawn by DrawKept in the colour given.
    void Keep(QPointF baseline, QRgb color);
    // Draws the captions kept, a run of glyphs for each colour and font (the painter's pen is
    // left in the last colour).
    void DrawKept(QPainter &painter);
    // Ends the paint, dropping the least recently drawn entries above the limit.
    void End();

    int Count() const { return int(m_entries.size()); }
    // True when captions in the font of the last Begin are cut into words at their blanks, false
    // when they are shaped whole because the font kerns its blanks.
    bool CutsAtBlanks() const { return m_wordsApart; }
    void Clear();

    static constexpr int kLimit = 8192;

private:
    struct Glyph
    {
        quint32 index;
        quint32 font; // into m_fonts
        float x, y;   // from the entry's start on the baseline
    };
    struct Entry
    {
        std::vector<Glyph> glyphs;
        qreal advance = 0;
        quint32 used = 0; // the paint that last drew it
        bool shaped = false;
    };
    struct Hash
    {
        using is_transparent = void;
        size_t operator()(QStringView text) const { return qHash(text); }
    };
    struct Equal
    {
        using is_transparent = void;
        bool operator()(QStringView a, QStringView b) const { return a == b; }
    };
    enum class Form { Words, Whole, Text };
    static Form formOf(QStringView caption);
    bool blanksStandApart() const;

    Entry &entry(QStringView key);
    Entry &noted(QStringView key, std::vector<QString> &queue);
    void shapeAlone(const QString &key, Entry &entry);
    bool shapeTogether(const std::vector<QString> &words);
    quint32 fontId(const QRawFont &font);
    void append(const Entry &entry, qreal x);

    QFont m_font; // as the painter resolved it for its device
    int m_dpiX = 0;
    int m_dpiY = 0;
    qreal m_space = 0;
    bool m_wordsApart = true; // the font's blanks stand apart: captions are cut into words
    quint32 m_paint = 0;
    std::unordered_map<QString, Entry, Hash, Equal> m_entries;
    std::vector<QString> m_words;  // noted, unshaped, laid out in one go
    std::vector<QString> m_wholes; // noted, unshaped, laid out one at a time
    std::vector<QRawFont> m_fonts;
    // The captions noted in this paint: their words with the blanks before each, and the
    // blanks after the last.
    struct Piece
    {
        const Entry *entry;
        int blanks;
    };
    struct Noted
    {
        size_t first, end;
        int trailing;
    };
    std::vector<Piece> m_pieces;
    std::vector<Noted> m_noted;
    // Glyphs by font, ready to draw: of the caption composed last, and of those kept by colour.
    struct Run
    {
        std::vector<quint32> indexes;
        std::vector<QPointF> positions;
    };
    std::vector<Run> m_runs;
    struct Kept
    {
        QRgb color;
        std::vector<Run> runs;
    };
    std::vector<Kept> m_kept;
};
