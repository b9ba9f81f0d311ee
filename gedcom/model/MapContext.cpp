#include "MapContext.h"

#include <algorithm>

namespace Gedcom::Model {

using namespace Genealogy;

const TagIds &TagIds::get()
{
    static const TagIds ids = [] {
        TagIds t{};
        const struct
        {
            quint16 *id;
            const char *name;
        } table[] = {{&t.ABBR, "ABBR"}, {&t.AGE, "AGE"},   {&t.AGNC, "AGNC"}, {&t.ALIA, "ALIA"},
                     {&t.ASSO, "ASSO"}, {&t.AUTH, "AUTH"}, {&t.CALN, "CALN"}, {&t.CAUS, "CAUS"},
                     {&t.DATA, "DATA"}, {&t.LATI, "LATI"}, {&t.LONG, "LONG"}, {&t.MAP, "MAP"},
                     {&t.PAGE, "PAGE"}, {&t.PUBL, "PUBL"}, {&t.QUAY, "QUAY"}, {&t.RELA, "RELA"},
                     {&t.REPO, "REPO"}, {&t.RESN, "RESN"}, {&t.ROLE, "ROLE"}, {&t.SCHMA, "SCHMA"},
                     {&t.TAG, "TAG"},   {&t.TEXT, "TEXT"}, {&t.BAPL, "BAPL"}, {&t.CONL, "CONL"},
                     {&t.ENDL, "ENDL"}, {&t.INIL, "INIL"}, {&t.SLGC, "SLGC"}, {&t.SLGS, "SLGS"}};
        for (const auto &entry : table)
            *entry.id = standardTagId(entry.name);
        return t;
    }();
    return ids;
}

MapContext::MapContext(const Document &document, TreeModel &treeModel)
    : doc(document), model(treeModel), tags(TagIds::get()), version7(document.isVersion7())
{
    refOfRecord.assign(doc.records().size(), Ref());
}

void MapContext::resolveLinks(std::vector<std::pair<int, int>> known)
{
    const auto isLink = [this](int node) {
        return (is(node, Tag::FAMS) || is(node, Tag::FAMC) || is(node, Tag::HUSB) ||
                is(node, Tag::WIFE) || is(node, Tag::CHIL)) &&
               doc.hasPointerValue(node);
    };
    // The links found already are the usual case (every link line of a person or family
    // record); others (the lines of a second record of an id, a link line deeper in a record)
    // are searched here.
    std::vector<QByteArrayView> ids;
    std::vector<size_t> searched; // where in m_links
    m_links.clear();
    m_links.reserve(known.size());
    size_t k = 0;
    for (int node = 0; node < doc.nodeCount(); ++node) {
        if (!isLink(node))
            continue;
        while (k < known.size() && known[k].first < node)
            ++k;
        if (k < known.size() && known[k].first == node) {
            m_links.emplace_back(known[k]);
            continue;
        }
        searched.push_back(m_links.size());
        m_links.emplace_back(node, -1);
        ids.push_back(doc.pointer(node));
    }
    std::vector<int> records(ids.size(), -1);
    doc.findRecords(ids.data(), records.data(), ids.size());
    for (size_t i = 0; i < ids.size(); ++i)
        m_links[searched[i]].second = ids[i].isEmpty() ? -2 : records[i];
}

void MapContext::releaseLinks()
{
    std::vector<std::pair<int, int>>().swap(m_links);
    m_linkHint = 0;
}

bool MapContext::linkRecord(int node, int &record) const
{
    const auto less = [](const std::pair<int, int> &link, int n) { return link.first < n; };
    size_t i = m_linkHint;
    // A few steps ahead of the last one, or searched.
    constexpr size_t kNear = 8;
    if (i < m_links.size() && m_links[i].first <= node &&
        (i + kNear >= m_links.size() || m_links[i + kNear].first >= node)) {
        while (i < m_links.size() && m_links[i].first < node)
            ++i;
    } else {
        i = size_t(std::lower_bound(m_links.begin(), m_links.end(), node, less) - m_links.begin());
    }
    m_linkHint = i;
    if (i >= m_links.size() || m_links[i].first != node)
        return false;
    record = m_links[i].second;
    return true;
}

Ref MapContext::target(int node) const
{
    int record = -1;
    if (!linkRecord(node, record)) {
        if (!doc.hasPointerValue(node))
            return Ref();
        const QByteArrayView id = doc.pointer(node);
        record = id.isEmpty() ? -2 : doc.findRecord(id);
    }
    if (record < 0)
        return Ref(Kind::Void, 0);
    const Ref ref = refOfRecord[size_t(record)];
    return ref.isNull() ? Ref(Kind::Void, 0) : ref;
}

Text MapContext::text(int node)
{
    const QByteArrayView raw = doc.rawValue(node);
    if (raw.isEmpty())
        return {};
    if (!raw.contains('@'))
        return model.text(raw);
    return model.text(QStringView(doc.text(node)));
}

void MapContext::keep(int node, Ref owner, const QByteArray &path, quint32 position, quint32 after)
{
    Kept kept;
    kept.owner = owner;
    kept.position = position;
    kept.after = after;
    kept.path = path.isEmpty() ? Text() : model.text(QByteArrayView(path));
    kept.firstLine = model.keptLines.size();
    const int base = doc.node(node).depth;
    const int end = int(doc.node(node).end);
    for (int i = node; i < end; ++i) {
        KeptLine line;
        line.level = quint16(qMin(int(doc.node(i).depth) - base, 0xFFFF));
        const QByteArrayView tag = doc.tagName(i);
        // A "tag" that begins with @ (a stray id on a line below the top) would read as an id
        // when written again: it is kept behind an underscore, as an extension tag.
        line.tag = tag.startsWith('@') ? model.keptTag(QByteArray('_' + tag.toByteArray()))
                                       : model.keptTag(tag);
        if (doc.hasPointerValue(i)) {
            line.kind = KeptLine::Value::Pointer;
            line.target = target(i);
        } else if (doc.node(i).size > 0) {
            line.kind = KeptLine::Value::Text;
            line.value = text(i);
        }
        if (model.keptLines.add(line) == kNoIndex)
            return;
    }
    kept.lineCount = model.keptLines.size() - kept.firstLine;
    if (model.kept.add(kept) != kNoIndex)
        ++m_keptByTag[doc.tagName(node).toByteArray()];
}

Walk::Walk(Walk &parent, int child)
    : m_context(parent.m_context), m_node(child), m_owner(parent.m_owner), m_parent(&parent)
{
    m_number = parent.count(child);
}

quint32 Walk::count(int child)
{
    const quint16 tag = m_context.doc.node(child).tag;
    for (auto &entry : m_counts) {
        if (entry.first == tag)
            return entry.second++;
    }
    m_counts.append({tag, 1});
    return 0;
}

quint32 Walk::consumed(int child) const
{
    const quint16 tag = m_context.doc.node(child).tag;
    for (const auto &entry : m_counts) {
        if (entry.first == tag)
            return entry.second;
    }
    return 0;
}

QByteArray Walk::path() const
{
    if (!m_parent)
        return m_base;
    QByteArray path = m_parent->path();
    if (!path.isEmpty())
        path.append('/');
    path.append(m_context.doc.tagName(m_node));
    path.append(':');
    path.append(QByteArray::number(m_number));
    return path;
}

} // namespace Gedcom::Model
