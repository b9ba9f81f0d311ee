#pragma once

#include "Progress.h"
#include "Result.h"
#include "Tags.h"
#include "TextDecoder.h"
#include "XrefIndex.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <string>
#include <vector>

namespace Gedcom {

// What reading noticed besides the records.
struct ReadStats
{
    qsizetype lines = 0;
    qsizetype malformedLines = 0;     // no level or no tag
    qsizetype levelJumps = 0;         // a level more than one below the line before
    qsizetype strayContinuations = 0; // CONC or CONT with nothing to continue
    qsizetype duplicateXrefs = 0;     // records whose id an earlier record has; the first wins
    bool trailerMissing = false;      // the file ends without TRLR: probably cut off
    QList<QPair<QByteArray, qsizetype>> unknownTags; // tag (upper case) and count, by name
};

// A GEDCOM file read into a tree of structures, in file order: level-0 records with their
// substructures. CONC and CONT lines are joined into the value of the line they continue (CONT
// as a line feed) and are not nodes of their own. A level deeper than one below the line
// before is read as one below it. Nodes are small (no strings of their own): values are views
// into the decoded text or into a buffer of joined values.
class Document
{
public:
    struct Node
    {
        quint32 offset = 0; // of the value, in the text or (joined) in the buffer
        quint32 size = 0;
        quint32 end = 0; // one past the last node of this node's subtree
        quint16 tag = kTagOther;
        quint16 depth = 0;
        bool joined = false; // the value lives in the buffer of joined values
        bool at = false;     // the value begins with @ (as a pointer does)
    };
    struct Record
    {
        quint32 node = 0;
        quint32 xrefOffset = 0;
        quint32 xrefSize = 0;   // 0 when the record has no id
        bool duplicate = false; // an earlier record has the same id
    };

    // Reads the bytes of a GEDCOM file. On failure (not GEDCOM or too large: InvalidInput;
    // cancelled: Cancelled; a file that cannot be read) the document is empty and error() says
    // why.
    static Document fromBytes(const QByteArray &bytes, const Progress &progress = {});
    static Document fromFile(const QString &path, const Progress &progress = {});

    bool isValid() const { return !m_error; }
    const Error &error() const { return m_error; }
    const ReadStats &stats() const { return m_stats; }
    // How the bytes were read (the text itself is not kept there).
    const DecodedText &encoding() const { return m_encoding; }

    // HEAD.GEDC.VERS ("5.5.1", "7.0"...), HEAD.SOUR (the program that wrote the file).
    const QString &version() const { return m_version; }
    bool isVersion7() const { return m_version7; }
    const QString &sourceProgram() const { return m_source; }

    int nodeCount() const { return int(m_nodes.size()); }
    const Node &node(int i) const { return m_nodes[size_t(i)]; }
    bool is(int i, Tag tag) const { return m_nodes[size_t(i)].tag == tagId(tag); }
    // The value with CONC and CONT joined, escapes (@@) still as written.
    QByteArrayView rawValue(int i) const;
    // The value as text: @@ read as @ (every @@ before 7.0; a leading one on each line in 7.0).
    QString text(int i) const;
    // The id a pointer value names (with its @ signs), or an empty view when the value is not a
    // pointer. @VOID@ is a pointer to nothing and gives an empty view too.
    QByteArrayView pointer(int i) const;
    bool hasPointerValue(int i) const;

    // The tag of a node as the file wrote it, in upper case ("BIRT", "_UID"). Past the thousandth
    // distinct unknown tag the name is read back from the line where the text still holds it,
    // else it is "_UNKNOWN".
    QByteArrayView tagName(int i) const;

    // Children: for (int c = firstChild(i); c >= 0; c = nextSibling(i, c))
    int firstChild(int i) const { return m_nodes[size_t(i)].end > quint32(i + 1) ? i + 1 : -1; }
    int nextSibling(int parent, int child) const
    {
        const quint32 next = m_nodes[size_t(child)].end;
        return next < m_nodes[size_t(parent)].end ? int(next) : -1;
    }
    // The first child with the tag, or -1.
    int child(int i, Tag tag) const;

    const std::vector<Record> &records() const { return m_records; }
    QByteArrayView xref(const Record &record) const;
    // The record with the id (with @ signs), or -1. The first of several with one id wins.
    int findRecord(QByteArrayView xref) const;
    // findRecord for many ids at once (empty ones give -1), faster on a large file.
    void findRecords(const QByteArrayView *ids, int *records, size_t count) const;

private:
    friend class DocumentBuilder;
    Error m_error;
    ReadStats m_stats;
    DecodedText m_encoding;
    QByteArray m_text;    // the decoded text (UTF-8)
    std::string m_joined; // values joined from CONC and CONT lines
    std::vector<Node> m_nodes;
    std::vector<Record> m_records;
    std::vector<QByteArray> m_unknownTagNames; // by id from kFirstUnknownTag
    XrefIndex m_index;
    QString m_version;
    QString m_source;
    bool m_version7 = false;
};

} // namespace Gedcom
