#include "ModelMapper.h"

#include <QFileInfo>

#include <algorithm>

namespace Gedcom::Model {

using namespace Genealogy;

ModelMapper::ModelMapper(const Document &doc, const ImportContext &context)
    : m_doc(doc), m_context(context), m_c(doc, m_result.model), m_s(m_c), m_lineage(doc),
      m_photos(context.gedcomFolder, context.isImage, context.maxPhotoSize)
{
    m_ownFile = doc.sourceProgram().compare(QLatin1String("VelkinTree"), Qt::CaseInsensitive) == 0;
    m_c.resolveLinks(m_lineage.takeLinkRecords());
    // Event types by tag id, for persons and families.
    quint16 maxTag = 0;
    for (EventTypes::Id id = 1; id <= EventTypes::count(); ++id)
        maxTag = std::max(maxTag, standardTagId(EventTypes::tag(id)));
    m_personEventOfTag.assign(size_t(maxTag) + 1, EventTypes::kNone);
    m_familyEventOfTag.assign(size_t(maxTag) + 1, EventTypes::kNone);
    for (EventTypes::Id id = 1; id <= EventTypes::count(); ++id) {
        const quint16 tag = standardTagId(EventTypes::tag(id));
        if (tag == kTagOther)
            continue;
        if (EventTypes::find(EventTypes::tag(id), false) == id)
            m_personEventOfTag[tag] = id;
        if (EventTypes::find(EventTypes::tag(id), true) == id)
            m_familyEventOfTag[tag] = id;
    }
}

EventTypes::Id ModelMapper::eventType(int node, bool family) const
{
    const quint16 tag = m_doc.node(node).tag;
    const auto &table = family ? m_familyEventOfTag : m_personEventOfTag;
    return tag < table.size() ? table[tag] : EventTypes::kNone;
}

// What each record becomes, before any body is read, so that pointers resolve in any order.
void ModelMapper::classifyRecords()
{
    const auto &records = m_doc.records();
    TreeModel &model = m_result.model;
    quint32 persons = 0, families = 0, sources = 0, repositories = 0, notes = 0, media = 0,
            kept = 0;
    for (size_t r = 0; r < records.size(); ++r) {
        const Document::Record &record = records[r];
        const int node = int(record.node);
        Ref ref;
        if (m_doc.is(node, Tag::INDI)) {
            ref = Ref(Kind::Person, persons++);
            m_personNode.push_back(node);
            m_personRecord.push_back(int(r));
        } else if (m_doc.is(node, Tag::FAM)) {
            // A second FAM of an id is a family of its own, linked by its own lines only.
            ref = Ref(Kind::Family, families++);
            m_familyNode.push_back(node);
            m_lineageFamily.push_back(record.duplicate ? -1 : int(m_lineageFamilies++));
        } else if (m_doc.is(node, Tag::SOUR)) {
            m_sourceNodes.emplace_back(node, sources);
            ref = Ref(Kind::Source, sources++);
        } else if (m_c.is(node, m_c.tags.REPO)) {
            m_repositoryNodes.emplace_back(node, repositories);
            ref = Ref(Kind::Repository, repositories++);
        } else if (m_doc.is(node, Tag::NOTE) || m_doc.is(node, Tag::SNOTE)) {
            m_noteNodes.emplace_back(node, notes);
            ref = Ref(Kind::Note, notes++);
        } else if (m_doc.is(node, Tag::OBJE)) {
            m_mediaNodes.emplace_back(node, media);
            ref = Ref(Kind::Media, media++);
        } else if (m_doc.is(node, Tag::HEAD) && m_head < 0) {
            m_head = node;
            ref = Ref(Kind::Header, 0);
        } else if (m_doc.is(node, Tag::TRLR)) {
            continue;
        } else {
            // A record the model has no place for (SUBM, vendor records, a second FAM of one
            // id, a second HEAD): kept as read, first of all, so that its number is its index.
            ref = Ref(Kind::Kept, kept++);
            m_keptRecords.push_back(int(r));
        }
        m_c.refOfRecord[r] = ref;
    }
    // Room for the records to come, counted by tag, so that no table grows by doubling.
    size_t events = 0, citations = 0, notes_ = 0, names = 0, objects = 0;
    const quint16 sour = tagId(Tag::SOUR), note = tagId(Tag::NOTE), snote = tagId(Tag::SNOTE),
                  name = tagId(Tag::NAME), obje = tagId(Tag::OBJE);
    for (int i = 0; i < m_doc.nodeCount(); ++i) {
        const Document::Node &n = m_doc.node(i);
        if (n.depth == 0)
            continue;
        if (n.tag < m_personEventOfTag.size() && (m_personEventOfTag[n.tag] != EventTypes::kNone ||
                                                  m_familyEventOfTag[n.tag] != EventTypes::kNone))
            ++events;
        else if (n.tag == sour)
            ++citations;
        else if (n.tag == note || n.tag == snote)
            ++notes_;
        else if (n.tag == name)
            ++names;
        else if (n.tag == obje)
            ++objects;
    }
    model.events.reserve(events);
    model.citations.reserve(citations);
    model.noteLinks.reserve(notes_);
    model.names.reserve(names / 4);
    model.mediaLinks.reserve(objects);
    model.persons.resize(persons);
    model.families.resize(families);
    model.sources.resize(sources);
    model.repositories.resize(repositories);
    model.notes.resize(notes);
    model.media.resize(media);
    m_result.rows.resize(qsizetype(persons));

    // Lineage numbers the persons without duplicates, in the same order.
    m_lineagePerson.assign(persons, -1);
    m_personOfLineage.assign(m_lineage.persons().size(), -1);
    for (size_t lp = 0; lp < m_lineage.persons().size(); ++lp) {
        const Ref ref = m_c.refOfRecord[size_t(m_lineage.person(int(lp)).record)];
        m_personOfLineage[lp] = int(ref.index());
        m_lineagePerson[ref.index()] = int(lp);
    }
}

// Families, their partners and children, and each person's families, from the links of both
// ends (Lineage). A family holds two partners; a further partner stays kept as read.
void ModelMapper::linkFamilies()
{
    TreeModel &model = m_result.model;
    const quint32 families = model.families.size();
    std::vector<quint32> familyOfLineage(m_lineage.families().size(), kNoIndex);
    for (quint32 f = 0; f < families; ++f) {
        if (m_lineageFamily[f] >= 0)
            familyOfLineage[size_t(m_lineageFamily[f])] = f;
    }
    // The persons a family's own lines name (for a second FAM of an id, which Lineage leaves
    // out): HUSB and WIFE, or CHIL, each person once.
    auto named = [this](int node, bool partners) {
        std::vector<quint32> persons;
        for (int c = m_doc.firstChild(node); c >= 0; c = m_doc.nextSibling(node, c)) {
            const bool partner = m_doc.is(c, Tag::HUSB) || m_doc.is(c, Tag::WIFE);
            if (partner != partners || (!partner && !m_doc.is(c, Tag::CHIL)))
                continue;
            const Ref target = m_c.target(c);
            if (target.is(Kind::Person) &&
                std::find(persons.begin(), persons.end(), target.index()) == persons.end())
                persons.push_back(target.index());
        }
        return persons;
    };
    for (quint32 f = 0; f < families; ++f) {
        Family family;
        int slot = 0;
        const int lf = m_lineageFamily[f];
        if (lf >= 0) {
            for (int lp : m_lineage.partners(lf)) {
                if (slot == 2)
                    break;
                family.partner[slot++] = quint32(m_personOfLineage[size_t(lp)]);
            }
        } else {
            for (quint32 p : named(m_familyNode[f], true)) {
                if (slot == 2)
                    break;
                family.partner[slot++] = p;
            }
        }
        // HUSB or WIFE as the family wrote it; a partner only the person named goes by sex.
        bool roleSet[2] = {false, false};
        const int node = m_familyNode[f];
        for (int c = m_doc.firstChild(node); c >= 0; c = m_doc.nextSibling(node, c)) {
            const bool wife = m_doc.is(c, Tag::WIFE);
            if (!wife && !m_doc.is(c, Tag::HUSB))
                continue;
            const Ref target = m_c.target(c);
            for (int s = 0; s < 2; ++s) {
                if (!roleSet[s] && target == Ref(Kind::Person, family.partner[s])) {
                    roleSet[s] = true;
                    if (wife)
                        family.wifeSlots |= quint8(1 << s);
                    break;
                }
            }
        }
        for (int s = 0; s < 2; ++s) {
            if (roleSet[s] || family.partner[s] == kNoIndex)
                continue;
            const int sex = m_doc.child(m_personNode[family.partner[s]], Tag::SEX);
            Sex value = Sex::None;
            if (sex >= 0 && Vocabulary::readSex(m_doc.rawValue(sex), value) && value == Sex::Female)
                family.wifeSlots |= quint8(1 << s);
        }
        model.families.edit(f) = family;
    }
    // Each person's families as a partner, in the person's order; then the families that only
    // a second FAM of an id names.
    const quint32 persons = model.persons.size();
    std::vector<std::vector<quint32>> extraFamilies(persons);
    std::vector<std::vector<quint32>> extraChildren(persons);
    for (quint32 f = 0; f < families; ++f) {
        if (m_lineageFamily[f] >= 0)
            continue;
        for (quint32 p : {model.families[f].partner[0], model.families[f].partner[1]}) {
            if (p != kNoIndex)
                extraFamilies[p].push_back(f);
        }
        for (quint32 c : named(m_familyNode[f], false))
            extraChildren[c].push_back(f);
    }
    for (quint32 p = 0; p < persons; ++p) {
        const int lp = m_lineagePerson[p];
        if (lp >= 0) {
            for (int lf : m_lineage.partnerships(lp)) {
                const quint32 f = familyOfLineage[size_t(lf)];
                if (model.isPartner(f, p))
                    model.partnerships.add(Partnership{p, f});
            }
        }
        for (quint32 f : extraFamilies[p])
            model.partnerships.add(Partnership{p, f});
    }
    // The children of each family in its order; the child's order of families by position.
    m_parentLinkStart.assign(size_t(persons) + 1, 0);
    for (quint32 p = 0; p < persons; ++p) {
        const int lp = m_lineagePerson[p];
        m_parentLinkStart[p + 1] =
            m_parentLinkStart[p] + (lp < 0 ? 0 : quint32(m_lineage.parents(lp).size()));
    }
    m_parentLink.assign(m_parentLinkStart.back(), kNoIndex);
    for (quint32 f = 0; f < families; ++f) {
        const int lf = m_lineageFamily[f];
        if (lf < 0) {
            for (quint32 child : named(m_familyNode[f], false)) {
                const std::vector<quint32> &extra = extraChildren[child];
                ChildLink link;
                link.family = f;
                link.child = child;
                const int lc = m_lineagePerson[child];
                link.childOrder =
                    quint32((lc < 0 ? 0 : m_lineage.parents(lc).size()) +
                            size_t(std::find(extra.begin(), extra.end(), f) - extra.begin()));
                const quint32 index = model.childLinks.add(link);
                m_extraLinks.emplace((quint64(f) << 32) | child, index);
            }
            continue;
        }
        for (int lc : m_lineage.children(lf)) {
            const quint32 child = quint32(m_personOfLineage[size_t(lc)]);
            const std::span<const Lineage::ChildLink> parents = m_lineage.parents(lc);
            for (size_t k = 0; k < parents.size(); ++k) {
                if (parents[k].family != lf)
                    continue;
                ChildLink link;
                link.family = f;
                link.child = child;
                link.childOrder = quint32(k);
                m_parentLink[m_parentLinkStart[child] + k] = model.childLinks.add(link);
                break;
            }
        }
    }
    // A second INDI of an id is linked by its own FAMC and FAMS lines (pointers to its id name
    // the first): a child after the family's own children, a partner where a place is free.
    for (quint32 p = 0; p < persons; ++p) {
        if (m_lineagePerson[p] >= 0)
            continue;
        quint32 order = 0;
        const int node = m_personNode[p];
        for (int c = m_doc.firstChild(node); c >= 0; c = m_doc.nextSibling(node, c)) {
            const bool asChild = m_doc.is(c, Tag::FAMC);
            if (!asChild && !m_doc.is(c, Tag::FAMS))
                continue;
            const Ref target = m_c.target(c);
            if (!target.is(Kind::Family))
                continue;
            const quint32 f = target.index();
            if (asChild) {
                if (m_extraLinks.count((quint64(f) << 32) | p))
                    continue;
                ChildLink link;
                link.family = f;
                link.child = p;
                link.childOrder = order++;
                m_extraLinks.emplace((quint64(f) << 32) | p, model.childLinks.add(link));
                continue;
            }
            Family family = model.families[f];
            if (model.isPartner(f, p))
                continue;
            const int slot =
                family.partner[0] == kNoIndex ? 0 : (family.partner[1] == kNoIndex ? 1 : -1);
            if (slot < 0)
                continue;
            family.partner[slot] = p;
            const int sex = m_doc.child(node, Tag::SEX);
            Sex value = Sex::None;
            if (sex >= 0 && Vocabulary::readSex(m_doc.rawValue(sex), value) && value == Sex::Female)
                family.wifeSlots |= quint8(1 << slot);
            model.families.edit(f) = family;
            model.partnerships.add(Partnership{p, f});
        }
    }
}

QString ModelMapper::intern(const QString &value)
{
    if (value.isEmpty())
        return value;
    const auto found = m_strings.constFind(value);
    if (found != m_strings.cend())
        return *found;
    m_strings.insert(value);
    return value;
}

quint32 ModelMapper::childLink(quint32 person, quint32 family) const
{
    const int lf = m_lineageFamily[family];
    if (lf < 0 || m_lineagePerson[person] < 0) {
        const auto found = m_extraLinks.find((quint64(family) << 32) | person);
        return found == m_extraLinks.end() ? kNoIndex : found->second;
    }
    const int lp = m_lineagePerson[person];
    if (lp < 0)
        return kNoIndex;
    const std::span<const Lineage::ChildLink> parents = m_lineage.parents(lp);
    for (size_t k = 0; k < parents.size(); ++k) {
        if (parents[k].family == lf)
            return m_parentLink[m_parentLinkStart[person] + k];
    }
    return kNoIndex;
}

MappedTree ModelMapper::run(const Progress &progress)
{
    const ReadStats &stats = m_doc.stats();
    ImportCounts &counts = m_result.counts;
    counts.brokenPointers = m_lineage.brokenPointers();
    counts.duplicateXrefs = stats.duplicateXrefs;
    counts.malformedLines = stats.malformedLines;
    counts.levelJumps = stats.levelJumps;
    counts.strayContinuations = stats.strayContinuations;
    // Unknown tags are kept as read now: the summary names them there, not as skipped.
    counts.trailerMissing = stats.trailerMissing;
    counts.encodingRemark = m_doc.encoding().remark;

    classifyRecords();
    // Records kept as read come first: their numbers are their indexes.
    for (int record : m_keptRecords)
        mapKeptRecord(record);
    linkFamilies();
    if (m_head >= 0)
        mapHeader(m_head);
    for (const auto &[node, index] : m_sourceNodes)
        mapSource(index, node);
    for (const auto &[node, index] : m_repositoryNodes)
        mapRepository(index, node);
    for (const auto &[node, index] : m_noteNodes)
        mapSharedNote(index, node);
    for (const auto &[node, index] : m_mediaNodes)
        mapMedia(index, node);
    for (quint32 f = 0; f < m_result.model.families.size(); ++f)
        mapFamily(f);
    const quint32 persons = m_result.model.persons.size();
    m_wantedKeys.resize(qsizetype(persons));
    m_writtenParentKeys.resize(qsizetype(persons));
    for (quint32 p = 0; p < persons; ++p) {
        mapPerson(p);
        if (progress && (p % 4096) == 4095 && !progress(qint64(p), qint64(persons))) {
            MappedTree cancelled;
            cancelled.error =
                Error(ErrorCode::Cancelled, QStringLiteral("The import was cancelled."));
            return cancelled;
        }
    }
    m_strings.clear();
    m_c.releaseLinks();
    assignKeys();
    setParentsAndPartners();
    if (m_result.model.isFull()) {
        MappedTree failed;
        failed.error =
            Error(ErrorCode::Full, QStringLiteral("The file holds more than this program "
                                                  "can keep of one tree."));
        return failed;
    }
    count();
    return std::move(m_result);
}

void ModelMapper::count()
{
    ImportCounts &counts = m_result.counts;
    const TreeModel &model = m_result.model;
    counts.persons = m_result.rows.size();
    counts.rows = m_result.rows.size();
    counts.families = model.families.size();
    ModelCounts &mc = m_result.modelCounts;
    mc.families = model.families.size();
    mc.events = model.events.size();
    mc.eventsRead = mc.events + m_s.eventsOnRows();
    mc.sources = model.sources.size();
    mc.citations = model.citations.size();
    mc.notes = model.notes.size();
    mc.media = model.media.size();
    mc.places = model.places.size();
    mc.kept = model.kept.size();
    for (auto it = m_c.keptByTag().cbegin(); it != m_c.keptByTag().cend(); ++it)
        mc.keptByTag.append({it.key(), it.value()});
    std::sort(mc.keptByTag.begin(), mc.keptByTag.end());
}

// Rows whose chain of parents runs into a cycle never show under a root.
void ModelMapper::countUnreachableRows(const std::vector<int> &parentRow)
{
    enum : char { Unknown, OnPath, Reaches, InCycle };
    std::vector<char> status(parentRow.size(), Unknown);
    std::vector<int> path;
    for (size_t start = 0; start < parentRow.size(); ++start) {
        int r = int(start);
        path.clear();
        while (r >= 0 && status[size_t(r)] == Unknown) {
            status[size_t(r)] = OnPath;
            path.push_back(r);
            r = parentRow[size_t(r)];
        }
        const char outcome = (r >= 0 && status[size_t(r)] != Reaches) ? InCycle : Reaches;
        for (int onPath : path)
            status[size_t(onPath)] = outcome;
    }
    m_result.counts.unreachableRows = std::count(status.begin(), status.end(), InCycle);
}

} // namespace Gedcom::Model

namespace Gedcom {

MappedTree mapDocument(const Document &doc, const ImportContext &context, const Progress &progress)
{
    if (!doc.isValid()) {
        MappedTree tree;
        tree.error = doc.error();
        return tree;
    }
    Model::ModelMapper mapper(doc, context);
    return mapper.run(progress);
}

MappedTree mapFile(const QString &path, ImportContext context, const Progress &progress)
{
    if (context.gedcomFolder.isEmpty())
        context.gedcomFolder = QFileInfo(path).absolutePath();
    Progress reading, mapping;
    if (progress) {
        reading = [&progress](qint64 done, qint64 total) { return progress(done, total * 2); };
        mapping = [&progress](qint64 done, qint64 total) {
            return progress(total + done, total * 2);
        };
    }
    const Document doc = Document::fromFile(path, reading);
    return mapDocument(doc, context, mapping);
}

} // namespace Gedcom
