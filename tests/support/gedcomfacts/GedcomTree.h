#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

namespace GedcomFacts {

// A GEDCOM file read as a plain tree of lines, for comparing two files. It shares only the
// byte decoding and the line splitting with the program's reader, so that a comparison does not
// depend on how the program maps a file: every line keeps its tag as written (upper-cased), its
// value and its substructures; CONC and CONT are joined into the value they continue.
class GedcomTree
{
public:
    struct Node
    {
        QByteArray tag;     // upper case
        QByteArray xref;    // of a record, with its @ signs; else empty
        QByteArray pointer; // a value that is a pointer (with @ signs); @VOID@ gives none
        QString value;      // the text value, @@ read as @; empty for a pointer
        int parent = -1;
        int firstChild = -1;
        int nextSibling = -1;
        int depth = 0;
    };

    // Reads the file; false (and the reason) when it cannot be read or is not GEDCOM.
    bool load(const QString &path, QString *error);
    bool loadBytes(const QByteArray &bytes, QString *error);

    const Node &node(int i) const { return m_nodes[size_t(i)]; }
    int nodeCount() const { return int(m_nodes.size()); }
    // The level-0 records in file order.
    const std::vector<int> &records() const { return m_records; }
    // The record with the id (with @ signs), or -1; the first of several with one id wins.
    int record(const QByteArray &xref) const { return m_index.value(xref, -1); }
    // The first child with the tag, or -1.
    int child(int i, const char *tag) const;
    // The value of the first child with the tag, or an empty text.
    QString childValue(int i, const char *tag) const;
    bool isVersion7() const { return m_version7; }

private:
    void add(int level, const QByteArray &xref, const QByteArray &tag, const QString &value);

    std::vector<Node> m_nodes;
    std::vector<int> m_records;
    std::vector<int> m_open; // the open node at each depth
    std::vector<int> m_lastChild;
    QHash<QByteArray, int> m_index;
    bool m_version7 = false;
};

} // namespace GedcomFacts
