#include "CaptionCache.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace {

// Unseen words are laid out this many at a time: one layout costs much less than as many.
constexpr size_t kBatch = 48;

// Calls `word` for each run of characters between blanks (empty between two blanks), with whether
// a blank follows it.
template <typename F> void splitWords(QStringView text, F &&word)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u' ') {
            word(text.mid(start, i - start), i < text.size());
            start = i + 1;
        }
    }
}

// One line of text, left to right, as drawing it on a painter lays it out.
struct Line
{
    Line(const QString &text, const QFont &font) : layout(text, font)
    {
        QTextOption option;
        option.setTextDirection(Qt::LeftToRight);
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        line = layout.createLine();
        layout.endLayout();
    }
    QTextLayout layout;
    QTextLine line;
};

} // namespace

CaptionCache::Form CaptionCache::formOf(QStringView caption)
{
    Form form = Form::Words;
    bool wordStart = true;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        char32_t c = caption[i].unicode();
        if (c == u' ') {
            wordStart = true;
            continue;
        }
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028)
            return Form::Text;
        if (QChar::isHighSurrogate(c) && i + 1 < caption.size() && caption[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), caption[++i].unicode());
        if (c < 0x300) {
            wordStart = false;
            continue;
        }
        // Right-to-left text is ordered over the whole caption, by rules a cached layout would
        // have to repeat: plain text drawing does it.
        switch (QChar::direction(c)) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirAN:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirLRE:
        case QChar::DirLRO:
        case QChar::DirPDF:
        case QChar::DirRLI:
        case QChar::DirLRI:
        case QChar::DirFSI:
        case QChar::DirPDI:
        case QChar::DirB:
        case QChar::DirS:
            return Form::Text;
        default:
            break;
        }
        // Latin, Greek, Cyrillic and their punctuation shape word by word; a mark starting a
        // word would belong to the blank before it.
        const bool plain = c < 0x590 || (c >= 0x1E00 && c < 0x2000) || (c >= 0x2010 && c < 0x2028);
        if (!plain || (wordStart && QChar::isMark(c)))
            form = Form::Whole;
        wordStart = false;
    }
    return form;
}

bool CaptionCache::blanksStandApart() const
{
    // Every character that captions cut into words may hold and the font has, each between two
    // blanks, laid out as one line: each blank must advance by its own width, and each character
    // before a blank as far as it does alone. A font that kerns a blank with its neighbour (a
    // blank before "T" or "Y", say) moves glyphs that a caption cut at its blanks would not.
    const QRawFont &font = m_fonts.front();
    QString probe(1, QLatin1Char(' '));
    const auto add = [&](char32_t from, char32_t to) {
        for (char32_t c = from; c < to; ++c) {
            if (QChar::isPrint(c) && !QChar::isMark(c) && font.supportsCharacter(c)) {
                probe += QChar(char16_t(c));
                probe += QLatin1Char(' ');
            }
        }
    };
    add(0x21, 0x590);
    add(0x1E00, 0x2000);
    add(0x2010, 0x2028);
    const Line text(probe, m_font);
    const QList<QGlyphRun> runs = text.layout.glyphRuns();
    if (runs.size() != 1)
        return false;
    const QRawFont raw = runs.front().rawFont();
    const QList<quint32> indexes = runs.front().glyphIndexes();
    const QList<QPointF> positions = runs.front().positions();
    if (indexes.size() != probe.size() || positions.size() != indexes.size())
        return false;
    const quint32 blank = raw.glyphIndexesForString(QStringLiteral(" ")).value(0);
    const QList<QPointF> alone = raw.advancesForGlyphIndexes(indexes);
    for (qsizetype i = 0; i < indexes.size(); ++i) {
        const bool isBlank = i % 2 == 0;
        if ((indexes[i] == blank) != isBlank)
            return false;
        const qreal next =
            i + 1 < positions.size() ? positions[i + 1].x() : text.line.horizontalAdvance();
        if (next - positions[i].x() != (isBlank ? m_space : alone.value(i).x()))
            return false;
    }
    return true;
}

bool CaptionCache::Begin(const QPainter &painter)
{
    const QPaintEngine *engine = painter.paintEngine();
    // Captions with right-to-left text are left to plain text drawing: the others are laid out
    // left to right, unless the painter is told otherwise.
    if (!engine || engine->type() != QPaintEngine::Raster ||
        painter.layoutDirection() == Qt::RightToLeft)
        return false;
    const QFont &font = painter.font(); // resolved for the device
    if (font.underline() || font.overline() || font.strikeOut())
        return false;
    const QPaintDevice *device = painter.device();
    const int dpiX = device ? device->logicalDpiX() : 0;
    const int dpiY = device ? device->logicalDpiY() : 0;
    if (font != m_font || dpiX != m_dpiX || dpiY != m_dpiY || m_fonts.empty()) {
        Clear();
        m_font = font;
        m_dpiX = dpiX;
        m_dpiY = dpiY;
        m_space = QFontMetricsF(font).horizontalAdvance(QStringLiteral(" "));
        m_fonts.push_back(QRawFont::fromFont(font)); // keeps the font's engine while cached
        m_wordsApart = blanksStandApart();
    }
    ++m_paint;
    m_pieces.clear();
    m_noted.clear();
    return true;
}

void CaptionCache::Clear()
{
    m_pieces.clear();
    m_noted.clear();
    m_kept.clear();
    m_entries.clear();
    m_words.clear();
    m_wholes.clear();
    m_fonts.clear();
    m_runs.clear();
}

CaptionCache::Entry &CaptionCache::entry(QStringView key)
{
    auto found = m_entries.find(key);
    if (found == m_entries.end())
        found = m_entries.try_emplace(key.toString()).first;
    return found->second;
}

CaptionCache::Entry &CaptionCache::noted(QStringView key, std::vector<QString> &queue)
{
    Entry &e = entry(key);
    if (e.used == 0 && !e.shaped)
        queue.push_back(key.toString()); // new: shaped by Shape()
    e.used = m_paint;
    return e;
}

int CaptionCache::Note(const QString &caption)
{
    Form form = formOf(caption);
    if (form == Form::Text)
        return -1;
    if (!m_wordsApart)
        form = Form::Whole;
    Noted note{m_pieces.size(), 0, 0};
    if (form == Form::Whole) {
        m_pieces.push_back(Piece{&noted(caption, m_wholes), 0});
    } else {
        int blanks = 0;
        splitWords(caption, [&](QStringView word, bool blankAfter) {
            if (!word.isEmpty()) {
                m_pieces.push_back(Piece{&noted(word, m_words), blanks});
                blanks = 0;
            }
            if (blankAfter)
                ++blanks;
        });
        note.trailing = blanks;
    }
    note.end = m_pieces.size();
    m_noted.push_back(note);
    return int(m_noted.size() - 1);
}

void CaptionCache::Shape()
{
    for (size_t first = 0; first < m_words.size(); first += kBatch) {
        const std::vector<QString> batch(m_words.begin() + qsizetype(first),
                                         m_words.begin() +
                                             qsizetype(std::min(first + kBatch, m_words.size())));
        if (!shapeTogether(batch)) {
            for (const QString &word : batch)
                shapeAlone(word, entry(word));
        }
    }
    for (const QString &whole : m_wholes)
        shapeAlone(whole, entry(whole));
    m_words.clear();
    m_wholes.clear();
}

quint32 CaptionCache::fontId(const QRawFont &font)
{
    const auto found = std::find(m_fonts.begin(), m_fonts.end(), font);
    if (found != m_fonts.end())
        return quint32(found - m_fonts.begin());
    m_fonts.push_back(font);
    return quint32(m_fonts.size() - 1);
}

void CaptionCache::shapeAlone(const QString &key, Entry &e)
{
    const Line text(key, m_font);
    const qreal baseline = text.line.ascent();
    e.glyphs.clear();
    for (const QGlyphRun &run : text.layout.glyphRuns()) {
        const quint32 font = fontId(run.rawFont());
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i)
            e.glyphs.push_back(Glyph{indexes[i], font, float(positions[i].x()),
                                     float(positions[i].y() - baseline)});
    }
    e.advance = text.line.horizontalAdvance();
    e.shaped = true;
}

bool CaptionCache::shapeTogether(const std::vector<QString> &words)
{
    if (words.size() < 2)
        return false;
    QString joined;
    for (const QString &word : words) {
        if (!joined.isEmpty())
            joined += QLatin1Char(' ');
        joined += word;
    }
    const Line text(joined, m_font);
    const QList<QGlyphRun> runs = text.layout.glyphRuns();
    // One font for all, and a blank glyph between each two words and nowhere else: then the
    // words split at the blanks come out as each laid out alone.
    if (runs.size() != 1)
        return false;
    const QRawFont raw = runs.front().rawFont();
    const quint32 blank = raw.glyphIndexesForString(QStringLiteral(" ")).value(0);
    const QList<quint32> indexes = runs.front().glyphIndexes();
    const QList<QPointF> positions = runs.front().positions();
    if (positions.size() != indexes.size() ||
        size_t(std::count(indexes.begin(), indexes.end(), blank)) != words.size() - 1)
        return false;
    const quint32 font = fontId(raw);
    const qreal baseline = text.line.ascent();
    size_t word = 0;
    qreal start = 0;
    std::vector<Glyph> glyphs;
    const auto finish = [&](qreal end) {
        Entry &e = entry(words[word]);
        e.glyphs = std::move(glyphs);
        e.advance = end - start;
        e.shaped = true;
        glyphs = {};
    };
    for (qsizetype i = 0; i < indexes.size(); ++i) {
        const QPointF at = positions[i];
        if (indexes[i] == blank) {
            finish(at.x());
            ++word;
            start = at.x() + m_space;
            continue;
        }
        glyphs.push_back(Glyph{indexes[i], font, float(at.x() - start), float(at.y() - baseline)});
    }
    finish(text.line.horizontalAdvance());
    return true;
}

void CaptionCache::append(const Entry &e, qreal x)
{
    for (const Glyph &g : e.glyphs) {
        Run &run = m_runs[g.font];
        run.indexes.push_back(g.index);
        run.positions.emplace_back(x + g.x, g.y);
    }
}

qreal CaptionCache::Compose(int caption)
{
    for (Run &run : m_runs) {
        run.indexes.clear();
        run.positions.clear();
    }
    m_runs.resize(m_fonts.size());
    const Noted &note = m_noted[size_t(caption)];
    qreal x = 0;
    for (size_t i = note.first; i < note.end; ++i) {
        const Piece &piece = m_pieces[i];
        for (int b = 0; b < piece.blanks; ++b)
            x += m_space;
        append(*piece.entry, x);
        x += piece.entry->advance;
    }
    for (int b = 0; b < note.trailing; ++b)
        x += m_space;
    return x;
}

qreal CaptionCache::Compose(const QString &caption)
{
    const int note = Note(caption);
    if (note < 0)
        return -1;
    if (!m_words.empty() || !m_wholes.empty())
        Shape();
    return Compose(note);
}

void CaptionCache::Draw(QPainter &painter, QPointF baseline)
{
    for (size_t f = 0; f < m_runs.size(); ++f) {
        const Run &run = m_runs[f];
        if (run.indexes.empty())
            continue;
        QGlyphRun glyphs;
        glyphs.setRawFont(m_fonts[f]);
        glyphs.setRawData(run.indexes.data(), run.positions.data(), int(run.indexes.size()));
        painter.drawGlyphRun(baseline, glyphs);
    }
}

void CaptionCache::Keep(QPointF baseline, QRgb color)
{
    auto kept = std::find_if(m_kept.begin(), m_kept.end(),
                             [color](const Kept &k) { return k.color == color; });
    if (kept == m_kept.end())
        kept = m_kept.insert(m_kept.end(), Kept{color, {}});
    kept->runs.resize(m_runs.size());
    for (size_t f = 0; f < m_runs.size(); ++f) {
        const Run &from = m_runs[f];
        Run &to = kept->runs[f];
        to.indexes.insert(to.indexes.end(), from.indexes.begin(), from.indexes.end());
        for (const QPointF &at : from.positions)
            to.positions.push_back(baseline + at);
    }
}

void CaptionCache::DrawKept(QPainter &painter)
{
    for (Kept &kept : m_kept) {
        bool penSet = false;
        for (size_t f = 0; f < kept.runs.size(); ++f) {
            Run &run = kept.runs[f];
            if (run.indexes.empty())
                continue;
            if (!penSet) {
                painter.setPen(QColor(kept.color));
                penSet = true;
            }
            QGlyphRun glyphs;
            glyphs.setRawFont(m_fonts[f]);
            glyphs.setRawData(run.indexes.data(), run.positions.data(), int(run.indexes.size()));
            painter.drawGlyphRun(QPointF(0, 0), glyphs);
            run.indexes.clear();
            run.positions.clear();
        }
    }
}

void CaptionCache::End()
{
    const size_t limit = size_t(kLimit);
    if (m_entries.size() <= limit + limit / 4)
        return;
    std::vector<quint32> used;
    used.reserve(m_entries.size());
    for (const auto &[key, e] : m_entries)
        used.push_back(e.used);
    const auto cut = used.begin() + qsizetype(m_entries.size() - limit);
    std::nth_element(used.begin(), cut, used.end());
    const quint32 oldest = std::min(*cut, m_paint); // what this paint drew stays
    std::erase_if(m_entries, [oldest](const auto &item) { return item.second.used < oldest; });
}
