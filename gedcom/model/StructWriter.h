#pragma once

#include "LineWriter.h"
#include "TreeModel.h"

#include <QVarLengthArray>

#include <functional>
#include <vector>

namespace Gedcom::Model {

// Writes the lines of a tree structure by structure and puts every structure kept as read back
// where it stood: a line that stands for a model record binds that record's kept structures,
// and each is written under the line its path names (counting only the lines the model writes,
// as the import counted them) as the position-th substructure, or at the end of its parent when
// the parent has fewer. A kept structure whose path names no line written goes at the end of
// its owner's line. Pointers in kept lines are written as the ids the records get in this file.
class StructWriter
{
public:
    using IdOf = std::function<QByteArray(Genealogy::Ref)>; // "@I12@", or "@VOID@"

    StructWriter(LineWriter &out, const Genealogy::TreeModel &model, Version version, IdOf idOf);

    // A record: "0 [@ID@] TAG [value]" (a text value with its line breaks).
    void record(QByteArrayView id, QByteArrayView tag, const QString &value = QString(),
                Genealogy::Ref owner = {});
    // A line one level below the open one. `owner` binds a record's kept structures to it;
    // `base` is the path the import gave that line's own substructures ("CHIL" for a child
    // link's line in its family).
    void open(QByteArrayView tag, const QString &value = QString(), Genealogy::Ref owner = {},
              QByteArrayView base = {});
    // The same with a value in UTF-8 (a model's text).
    void openText(QByteArrayView tag, QByteArrayView utf8, Genealogy::Ref owner = {});
    void leafText(QByteArrayView tag, QByteArrayView utf8) { openText(tag, utf8), close(); }
    // The same with a value written as it stands (dates, versions, enumerations).
    void openPlain(QByteArrayView tag, QByteArrayView value, Genealogy::Ref owner = {});
    // The same with a pointer value.
    void openPointer(QByteArrayView tag, QByteArrayView id, Genealogy::Ref owner = {},
                     QByteArrayView base = {});
    void close();
    // A line without substructures of its own (none is kept under it either).
    void leaf(QByteArrayView tag, const QString &value) { open(tag, value), close(); }
    void leafPlain(QByteArrayView tag, QByteArrayView value) { openPlain(tag, value), close(); }
    void leafPointer(QByteArrayView tag, QByteArrayView id) { openPointer(tag, id), close(); }

    // A record kept as read at the top of the file, with its id when it had one.
    void keptRecord(quint32 kept, QByteArrayView id);

    int depth() const { return m_depth; }

private:
    struct Pending
    {
        quint32 kept;
        quint32 position;
        QByteArray path;
        QByteArrayView tag; // of its first line
        quint32 after;      // written after as many of the model's lines of that tag
        bool done = false;
    };
    struct Frame
    {
        QByteArrayView tag;
        int ownerFrame = -1;  // the frame that binds the owner in effect, when it has kept ones
        QByteArray path;      // from the owner's line to this one (only then)
        quint32 children = 0; // lines written under this one
        QVarLengthArray<std::pair<QByteArrayView, quint32>, 4> tagCounts; // model lines by tag
        std::vector<Pending> pending;                                     // of the owner bound here
        std::vector<size_t> here; // pending items of the owner under this very line
        size_t next = 0;          // the next of `here` to write
    };

    void beforeChild();
    void push(QByteArrayView tag, Genealogy::Ref owner, QByteArrayView base);
    void writeLine(int level, QByteArrayView tag, const QString &value);
    void flush(Frame &frame, quint32 upTo);
    static quint32 written(const Frame &frame, QByteArrayView tag);
    void writeKept(quint32 kept, int level, QByteArrayView id = {});
    void writeValueLine(int level, QByteArrayView tag, const Genealogy::KeptLine &line);

    LineWriter &m_out;
    const Genealogy::TreeModel &m_model;
    IdOf m_idOf;
    Frame &top() { return m_frames[size_t(m_depth - 1)]; }

    // The open lines, from the record down; frames past m_depth are kept for reuse.
    std::vector<Frame> m_frames;
    int m_depth = 0;
};

} // namespace Gedcom::Model
