#pragma once

#include "Version.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

namespace Gedcom {

// Writes GEDCOM lines into a byte buffer, as UTF-8 with LF line ends.
//
// Text values: line breaks (CR LF, CR, LF) become CONT lines one level deeper; @ is escaped as
// the version requires (every @ doubled in 5.5.1, a leading @ of each line doubled in 7.0).
// In 5.5.1 no line is longer than 255 bytes with its line end: a longer value is split with CONC
// lines into pieces of at most 246 bytes, never inside a UTF-8 sequence, never between the two
// @ of an escape, and never before a space (readers that trim would lose it); where it can, not
// after one either. Only a run of more than 246 spaces leaves no choice. 7.0 has no length
// limit and no CONC.
class LineWriter
{
public:
    explicit LineWriter(Version version) : m_version(version) {}

    // In 5.5.1, write "@#...@" escape sequences (calendar escapes such as "@#DJULIAN@" in a date
    // kept as read) as they stand instead of doubling their @ signs. Off by default.
    void setKeepEscapes(bool keep) { m_keepEscapes = keep; }

    // "0 @I1@ INDI"
    void record(QByteArrayView xref, QByteArrayView tag);
    // "1 HUSB @I1@"
    void pointer(int level, QByteArrayView tag, QByteArrayView xref);
    // A line with a text value (or none when the text is empty).
    void text(int level, QByteArrayView tag, const QString &value);
    // The same for a value in UTF-8.
    void text(int level, QByteArrayView tag, QByteArrayView utf8);
    // A line whose value is written as it is (dates, versions): no escapes, no line breaks.
    void plain(int level, QByteArrayView tag, QByteArrayView value);

    // Appends the text as UTF-8 (ASCII without a copy of its own).
    static void appendUtf8(QByteArray &out, QStringView text);

    // Bytes as they are (a byte order mark).
    void raw(QByteArrayView bytes) { append(bytes); }
    void reserve(qsizetype bytes);
    // The lines written (or, with a sink, none: the rest has gone to the sink).
    QByteArray take();

    // Sends the lines to `sink` whenever about kSinkPiece bytes are written (and the rest at
    // take()) instead of keeping them all. Once the sink returns false nothing more is sent.
    void setSink(std::function<bool(QByteArrayView bytes)> sink);
    bool sinkFailed() const { return m_sinkFailed; }
    static constexpr qsizetype kSinkPiece = 1 << 20;

    static constexpr int kMaxLine = 255; // bytes, with the line end
    static constexpr int kMaxPiece = 246;

private:
    void begin(int level, QByteArrayView tag);
    void line(int level, QByteArrayView tag, QByteArrayView value);
    // Room for `bytes` more at the end, to be filled.
    char *grow(qsizetype bytes);
    void append(QByteArrayView bytes);
    void flush();
    void escaped(int level, QByteArrayView tag, QByteArrayView line, int concLevel);
    void split(int level, QByteArrayView tag, QByteArrayView value, int concLevel);

    Version m_version;
    bool m_keepEscapes = false;
    QByteArray m_out;     // the lines written, then room for more
    qsizetype m_used = 0; // bytes of m_out written
    std::function<bool(QByteArrayView bytes)> m_sink;
    bool m_sinkFailed = false;
    QByteArray m_scratch;
    QByteArray m_narrow; // the UTF-8 of a value of text(QString)
};

} // namespace Gedcom
