#pragma once

#include <QByteArrayView>

namespace Gedcom {

// One line of a GEDCOM file: level, optional cross-reference id, tag and value, as views into
// the text. The value starts after the single delimiter that follows the tag, so its own leading
// and trailing blanks are kept.
struct Line
{
    int level = 0;
    QByteArrayView xref; // with its @ signs; empty when the line has none
    QByteArrayView tag;  // as written (any case)
    QByteArrayView value;
    qsizetype offset = 0; // where the line starts in the text
};

// Reads a UTF-8 text line by line in one pass, liberally: CR, LF, CR LF and LF CR all end a line,
// blanks before the level and blank lines are skipped, lines of any length are read. A line that
// has no level or no tag is malformed: it is counted and skipped.
class LineReader
{
public:
    explicit LineReader(QByteArrayView text) : m_text(text) {}

    // The next well-formed line; false at the end of the text.
    bool next(Line &line);

    qsizetype position() const { return m_pos; }
    qsizetype malformedLines() const { return m_malformed; }
    qsizetype firstMalformedOffset() const { return m_firstMalformed; }

private:
    void skipMalformed(qsizetype lineStart, qsizetype lineEnd);

    QByteArrayView m_text;
    qsizetype m_pos = 0;
    qsizetype m_malformed = 0;
    qsizetype m_firstMalformed = -1;
};

} // namespace Gedcom
