// The person's families, citations, notes and media links in the draft.
#include "DraftRecords.h"
#include "KeyProposal.h"
#include "PersonDraft.h"

#include <QFileInfo>

#include <algorithm>

using namespace Genealogy;

std::vector<quint32> PersonDraft::partnerFamilies() const
{
    std::vector<quint32> families;
    for (quint32 s : m_tree.model.partnershipsOf(person()))
        families.push_back(m_tree.model.partnerships[s].family);
    return families;
}

quint32 PersonDraft::otherPartner(quint32 family) const
{
    return m_tree.model.otherPartner(family, person());
}

std::vector<quint32> PersonDraft::children(quint32 family) const
{
    const auto span = m_tree.model.childLinksOf(family);
    return {span.begin(), span.end()};
}

std::vector<quint32> PersonDraft::parentLinks() const
{
    const auto span = m_tree.model.parentLinksOf(person());
    return {span.begin(), span.end()};
}

bool PersonDraft::hasUnlinkedPartner() const
{
    const PersonRow &r = m_tree.rows[person()];
    return m_tree.model.partnershipsOf(person()).empty() &&
           (!r.PrtFname.isEmpty() || !r.PrtSname.isEmpty());
}

quint32 PersonDraft::addPerson(const QString &key, const QString &first, const QString &last,
                               Sex sex)
{
    PersonRow row;
    row.ID = key;
    row.Fname = first;
    row.Sname = last;
    m_tree.rows.push_back(row);
    PersonSide side;
    side.sex = sex;
    const quint32 p = m_tree.model.persons.add(side);
    m_changed = true;
    return p;
}

QString PersonDraft::proposeKey(const QStringList &takenElsewhere) const
{
    QStringList keys;
    keys.reserve(qsizetype(m_tree.rows.size()));
    for (const PersonRow &r : m_tree.rows)
        keys << r.ID;
    return KeyProposal::Propose(keys, takenElsewhere + keys);
}

quint32 PersonDraft::addFamily(quint32 partner)
{
    TreeModel &m = m_tree.model;
    Family family;
    family.partner[0] = person();
    family.partner[1] = partner;
    for (int i = 0; i < 2; ++i)
        if (family.partner[i] != kNoIndex && m.persons[family.partner[i]].sex == Sex::Female)
            family.wifeSlots |= quint8(1 << i);
    const quint32 f = m.families.add(family);
    m.partnerships.add({person(), f});
    if (partner != kNoIndex)
        m.partnerships.add({partner, f});
    m_changed = true;
    return f;
}

void PersonDraft::setRelation(quint32 family, FamilyRelation relation)
{
    if (m_tree.model.families[family].relation == relation)
        return;
    m_tree.model.families.edit(family).relation = relation;
    m_changed = true;
}

quint32 PersonDraft::addChild(quint32 family, quint32 child)
{
    TreeModel &m = m_tree.model;
    ChildLink link;
    link.family = family;
    link.child = child;
    const auto parents = m.parentLinksOf(child);
    for (quint32 l : parents)
        link.childOrder = std::max(link.childOrder, m.childLinks[l].childOrder + 1);
    for (int i = 0; i < 2; ++i)
        if (m.families[family].partner[i] != kNoIndex)
            link.relation[i] = ChildRelation::Birth;
    m_changed = true;
    return m.childLinks.add(link);
}

void PersonDraft::setChildRelation(quint32 link, int slot, ChildRelation relation)
{
    if (slot < 0 || slot > 1 || m_tree.model.childLinks[link].relation[slot] == relation)
        return;
    m_tree.model.childLinks.edit(link).relation[slot] = relation;
    m_changed = true;
}

bool PersonDraft::moveChild(quint32 link, int delta)
{
    const std::vector<quint32> list = children(m_tree.model.childLinks[link].family);
    const auto at = std::find(list.begin(), list.end(), link);
    const qsizetype to = (at - list.begin()) + delta;
    if (at == list.end() || to < 0 || to >= qsizetype(list.size()))
        return false;
    // The two children change places in the family; each keeps its own order of families.
    const quint32 other = list[size_t(to)];
    const quint32 orderA = m_tree.model.childLinks[link].childOrder;
    const quint32 orderB = m_tree.model.childLinks[other].childOrder;
    DraftRecords::swap(m_tree.model, DraftRecords::Table::ChildLink, link, other);
    m_tree.model.childLinks.edit(link).childOrder = orderA;
    m_tree.model.childLinks.edit(other).childOrder = orderB;
    m_changed = true;
    return true;
}

// --- citations and sources ---

std::vector<quint32> PersonDraft::citations(Ref owner) const
{
    const auto span = m_tree.model.citationsOf(owner);
    return {span.begin(), span.end()};
}

quint32 PersonDraft::addSource(const SourceFields &fields)
{
    const quint32 s = m_tree.model.sources.add(Source());
    setSource(s, fields);
    m_changed = true;
    return s;
}

void PersonDraft::setSource(quint32 s, const SourceFields &fields)
{
    Source &source = m_tree.model.sources.edit(s);
    source.title = textOf(fields.title);
    source.author = textOf(fields.author);
    source.publication = textOf(fields.publication);
    m_changed = true;
}

PersonDraft::SourceFields PersonDraft::source(quint32 s) const
{
    const Source &source = m_tree.model.sources[s];
    return {string(source.title), string(source.author), string(source.publication)};
}

quint32 PersonDraft::cite(Ref owner, const CitationFields &fields)
{
    Citation citation;
    citation.owner = owner;
    citation.source = fields.source;
    citation.quality = fields.quality;
    citation.page = textOf(fields.page);
    citation.text = textOf(fields.text);
    const quint32 c = m_tree.model.citations.add(citation);
    if (!fields.mediaFile.isEmpty())
        addMedia(Ref(Kind::Citation, c), fields.mediaFile, QString());
    m_changed = true;
    return c;
}

void PersonDraft::removeCitation(quint32 citation)
{
    DraftRecords::remove(m_tree.model, DraftRecords::Table::Citation, citation);
    m_changed = true;
}

// --- notes and media ---

void PersonDraft::setNotes(const QString &notes)
{
    if (notes == m_tree.rows[person()].Notes)
        return;
    m_tree.rows[person()].Notes = notes;
    m_changed = true;
}

std::vector<quint32> PersonDraft::mediaLinks(Ref owner) const
{
    const auto span = m_tree.model.mediaLinksOf(owner);
    return {span.begin(), span.end()};
}

quint32 PersonDraft::addMedia(Ref owner, const QString &file, const QString &title)
{
    Media media;
    media.file = textOf(file);
    media.format = textOf(QFileInfo(file).suffix().toLower());
    media.title = textOf(title);
    const quint32 m = m_tree.model.media.add(media);
    m_changed = true;
    return m_tree.model.mediaLinks.add({owner, m});
}

void PersonDraft::removeMediaLink(quint32 link)
{
    DraftRecords::remove(m_tree.model, DraftRecords::Table::MediaLink, link);
    m_changed = true;
}
