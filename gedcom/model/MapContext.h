#pragma once

#include "Document.h"
#include "TreeModel.h"

#include <QHash>
#include <QVarLengthArray>

#include <vector>

namespace Gedcom::Model {

// The ids of the standard tags the mapping reads that Tag does not name.
struct TagIds
{
    quint16 ABBR, AGE, AGNC, ALIA, ASSO, AUTH, CALN, CAUS, DATA, LATI, LONG, MAP, PAGE, PUBL, QUAY,
        RELA, REPO, RESN, ROLE, SCHMA, TAG, TEXT, BAPL, CONL, ENDL, INIL, SLGC, SLGS;
    static const TagIds &get();
};

// What the mapping of one document shares: the document, the model being filled, what each
// record of the file became, and the structures kept as read.
class MapContext
{
public:
    MapContext(const Document &doc, Genealogy::TreeModel &model);

    const Document &doc;
    Genealogy::TreeModel &model;
    const TagIds &tags;
    const bool version7;

    // Per record of the document: the model record it became (Ref() for none yet).
    std::vector<Genealogy::Ref> refOfRecord;

    bool is(int node, quint16 tag) const { return doc.node(node).tag == tag; }
    bool is(int node, Tag tag) const { return doc.is(node, tag); }

    // The record a pointer value names: a model record, Void for @VOID@ or an id no record of
    // the file has, None when the value is no pointer.
    Genealogy::Ref target(int node) const;
    // Finds ahead the records the links of the family graph (FAMS, FAMC, HUSB, WIFE, CHIL) name,
    // taking those of `known` (node and record, in node order: what Lineage found) as they are.
    void resolveLinks(std::vector<std::pair<int, int>> known);
    // Frees the links found ahead once the records that hold them are mapped (target() then
    // searches each).
    void releaseLinks();

    // The value of a line as a model text (@@ read as @, continuation lines joined).
    Genealogy::Text text(int node);
    // The value, or an empty text for node -1.
    QString string(int node) const { return node >= 0 ? doc.text(node) : QString(); }

    // Keeps a structure as read: its owner, where it stood (path and position), its lines.
    void keep(int node, Genealogy::Ref owner, const QByteArray &path, quint32 position,
              quint32 after = 0);
    quint32 keptCount() const { return model.kept.size(); }

    // How many structures were kept, by the tag of their first line.
    const QHash<QByteArray, qsizetype> &keptByTag() const { return m_keptByTag; }

private:
    // The records the links of the family graph name, by node in node order, found in one pass
    // ahead (on a large file a search of its own for each would wait for memory most of its
    // time): the record, -1 for none, -2 for @VOID@.
    bool linkRecord(int node, int &record) const;
    std::vector<std::pair<int, int>> m_links;
    mutable size_t m_linkHint = 0; // where the last search ended: the next is usually close by

    QHash<QByteArray, qsizetype> m_keptByTag;
};

// The substructures of one line walked for one owner: each is either consumed by the model or
// kept as read at its position. A consumed line's own substructures are walked by enter(), under
// the path of that line: the parent's path and the line's tag with its number among the consumed
// lines of that tag ("PLAC:0"), built only when something under it is kept.
class Walk
{
public:
    Walk(MapContext &context, int node, Genealogy::Ref owner, QByteArray basePath = {})
        : m_context(context), m_node(node), m_owner(owner), m_base(std::move(basePath))
    {
    }

    // Calls `f(child)` for each substructure in order; a child for which it returns false is
    // kept.
    template <typename F> void each(F f)
    {
        const Document &doc = m_context.doc;
        quint32 position = 0;
        for (int c = doc.firstChild(m_node); c >= 0; c = doc.nextSibling(m_node, c), ++position) {
            if (!f(c))
                m_context.keep(c, m_owner, path(), position, consumed(c));
        }
    }

    // Counts the child as consumed; the walk of its substructures (this walk must outlive it).
    Walk enter(int child) { return Walk(*this, child); }
    // Counts the child as consumed and keeps every substructure it has.
    void leaf(int child)
    {
        if (m_context.doc.firstChild(child) < 0) {
            count(child);
            return;
        }
        Walk sub(*this, child);
        sub.each([](int) { return false; });
    }
    // Counts the child as consumed: a line that owns its substructures (an event, a citation)
    // and walks them with a walk of its own.
    void counted(int child) { count(child); }

    Genealogy::Ref owner() const { return m_owner; }
    QByteArray path() const;
    // How many lines of the child's tag were consumed before it.
    quint32 consumed(int child) const;

private:
    Walk(Walk &parent, int child);
    quint32 count(int child);

    MapContext &m_context;
    int m_node;
    Genealogy::Ref m_owner;
    QByteArray m_base;
    const Walk *m_parent = nullptr;
    quint32 m_number = 0; // of this line among its parent's consumed lines of its tag
    QVarLengthArray<std::pair<quint16, quint32>, 6> m_counts; // per tag: consumed lines so far
};

} // namespace Gedcom::Model
