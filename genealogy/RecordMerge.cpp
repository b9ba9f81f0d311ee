#include "RecordMerge.h"

#include "ModelRemap.h"
#include "RowRules.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace Genealogy::RecordMerge {

namespace {

QString familyName(quint32 f)
{
    return QStringLiteral("F%1").arg(f + 1);
}

QString personName(const ModelSlice &tree, quint32 p)
{
    if (p >= tree.rows.size())
        return QStringLiteral("person %1").arg(p);
    const PersonRow &row = tree.rows[p];
    const QString name = QStringList{row.Fname, row.Sname}.join(u' ').trimmed();
    return name.isEmpty() ? row.ID : QStringLiteral("%1 (%2)").arg(name, row.ID);
}

// Joins family `other` into `keep` (the couple fits) and lets `other` go.
void join(ModelSlice &tree, quint32 keep, quint32 other)
{
    TreeModel &m = tree.model;
    Family k = m.families[keep];
    const Family o = m.families[other];
    for (int slot = 0; slot < 2; ++slot) {
        const quint32 p = o.partner[slot];
        if (p == kNoIndex || p == k.partner[0] || p == k.partner[1])
            continue;
        const int free = k.partner[0] == kNoIndex ? 0 : 1;
        k.partner[free] = p;
        k.wifeSlots = quint8((k.wifeSlots & ~(1 << free)) | (((o.wifeSlots >> slot) & 1) << free));
    }
    if (k.relation == FamilyRelation::Unknown)
        k.relation = o.relation;
    k.privacy |= o.privacy;
    m.families.edit(keep) = k;
    Family emptied = o;
    emptied.partner[0] = emptied.partner[1] = kNoIndex;
    m.families.edit(other) = emptied;
    ModelRemap::redirect(m, Kind::Family, other, keep);
    ModelRemap::renumber(m, Kind::Family, ModelRemap::without(m.families.size(), {other}));
}

bool fits(const Family &a, const Family &b)
{
    QSet<quint32> partners;
    for (const Family *f : {&a, &b}) {
        for (quint32 p : f->partner) {
            if (p != kNoIndex)
                partners.insert(p);
        }
    }
    return partners.size() <= 2;
}

} // namespace

void followPartnerColumns(ModelSlice &tree)
{
    for (quint32 p = 0; p < tree.rows.size() && p < tree.model.personCount(); ++p)
        followPartnerColumns(tree, p);
}

void followPartnerColumns(ModelSlice &tree, quint32 p)
{
    if (p >= tree.rows.size() || p >= tree.model.personCount())
        return;
    if (const auto columns = RowRules::partnerColumns(tree.model, tree.rows, p)) {
        tree.rows[p].PrtFname = columns->first;
        tree.rows[p].PrtSname = columns->second;
    }
}

void tidy(ModelSlice &tree, QStringList &done, quint32 person, quint32 family)
{
    TreeModel &m = tree.model;
    // What a join touched: the families the person is a partner or a child of, and `family`;
    // without either, the whole tree.
    const bool whole = person == kNoIndex && family == kNoIndex;
    std::vector<bool> scoped(m.families.size(), whole);
    if (family < m.families.size())
        scoped[family] = true;
    if (person != kNoIndex) {
        for (quint32 f = 0; f < m.families.size(); ++f)
            scoped[f] = scoped[f] || m.isPartner(f, person);
        for (const ChildLink &link : m.childLinks.all()) {
            if (link.child == person && link.family < scoped.size())
                scoped[link.family] = true;
        }
    }
    const auto inScope = [&](quint32 f) { return f < scoped.size() && scoped[f]; };
    // A family naming one person twice.
    for (quint32 f = 0; f < m.families.size(); ++f) {
        const Family &fam = m.families[f];
        if (inScope(f) && fam.partner[0] != kNoIndex && fam.partner[0] == fam.partner[1]) {
            Family changed = fam;
            changed.partner[1] = kNoIndex;
            changed.wifeSlots &= quint8(~2);
            m.families.edit(f) = changed;
        }
    }
    // Partnerships once each, and only of partners the family names.
    {
        QSet<quint64> seen;
        ModelRemap::filter(m.partnerships, [&](quint32 i) {
            const Partnership &p = m.partnerships[i];
            if (!inScope(p.family))
                return true;
            const quint64 key = (quint64(p.person) << 32) | p.family;
            if (!m.isPartner(p.family, p.person) || seen.contains(key))
                return false;
            seen.insert(key);
            return true;
        });
    }
    // Child links: none of a partner of the family, one per child and family.
    QSet<quint32> children;
    if (person != kNoIndex)
        children.insert(person);
    {
        std::vector<quint32> gone;
        QHash<quint64, quint32> first;
        for (quint32 l = 0; l < m.childLinks.size(); ++l) {
            const ChildLink &link = m.childLinks[l];
            if (!inScope(link.family))
                continue;
            children.insert(link.child);
            if (m.isPartner(link.family, link.child)) {
                ModelRemap::reown(m, Ref(Kind::ChildLink, l), Ref(Kind::Person, link.child));
                done << QStringLiteral("%1 is no longer a child of family %2, being its partner")
                            .arg(personName(tree, link.child), familyName(link.family));
                gone.push_back(l);
                continue;
            }
            const quint64 key = (quint64(link.child) << 32) | link.family;
            const auto at = first.constFind(key);
            if (at == first.constEnd()) {
                first.insert(key, l);
                continue;
            }
            ChildLink kept = m.childLinks[*at];
            for (int i = 0; i < 2; ++i) {
                if (kept.relation[i] == ChildRelation::None)
                    kept.relation[i] = link.relation[i];
            }
            if (kept.phrase.isEmpty())
                kept.phrase = link.phrase;
            m.childLinks.edit(*at) = kept;
            ModelRemap::redirect(m, Kind::ChildLink, l, *at);
            gone.push_back(l);
        }
        if (!gone.empty())
            ModelRemap::renumber(m, Kind::ChildLink,
                                 ModelRemap::without(m.childLinks.size(), gone));
    }
    // Associations of a person with themself.
    {
        std::vector<quint32> gone;
        for (quint32 a = 0; a < m.associations.size(); ++a) {
            const Association &asso = m.associations[a];
            if (asso.target == asso.person && (whole || asso.person == person)) {
                ModelRemap::reown(m, Ref(Kind::Association, a), Ref(Kind::Person, asso.person));
                gone.push_back(a);
            }
        }
        if (!gone.empty())
            ModelRemap::renumber(m, Kind::Association,
                                 ModelRemap::without(m.associations.size(), gone));
    }
    // Families of the same couple are one.
    {
        QHash<quint64, quint32> byCouple;
        for (quint32 f = 0; f < m.families.size(); ++f) {
            const Family &fam = m.families[f];
            quint32 a = fam.partner[0];
            quint32 b = fam.partner[1];
            if (!inScope(f) || a == kNoIndex || b == kNoIndex)
                continue;
            if (a > b)
                std::swap(a, b);
            const quint64 key = (quint64(a) << 32) | b;
            const auto at = byCouple.constFind(key);
            if (at == byCouple.constEnd()) {
                byCouple.insert(key, f);
                continue;
            }
            done << QStringLiteral("Family %1 of the same couple joined into family %2")
                        .arg(familyName(f), familyName(*at));
            const quint32 keep = *at; // before f: its number stays
            join(tree, keep, f);
            // Numbers moved: tidy again from the start.
            QStringList again;
            tidy(tree, again, person, family == kNoIndex ? kNoIndex : keep);
            done << again;
            return;
        }
    }
    // A child's families in order: childOrder counts up from 0 per child.
    {
        QHash<quint32, quint32> next;
        std::vector<std::pair<quint32, quint32>> order; // (child, link) by childOrder
        for (quint32 l = 0; l < m.childLinks.size(); ++l) {
            if (whole || children.contains(m.childLinks[l].child))
                order.emplace_back(m.childLinks[l].child, l);
        }
        std::stable_sort(order.begin(), order.end(), [&](const auto &a, const auto &b) {
            if (a.first != b.first)
                return a.first < b.first;
            return m.childLinks[a.second].childOrder < m.childLinks[b.second].childOrder;
        });
        for (const auto &[child, l] : order) {
            const quint32 n = next.value(child, 0);
            next[child] = n + 1;
            if (m.childLinks[l].childOrder != n)
                m.childLinks.edit(l).childOrder = n;
        }
    }
    // The partner columns of the partners of the families touched.
    if (whole) {
        followPartnerColumns(tree);
        return;
    }
    QSet<quint32> partners;
    if (person != kNoIndex)
        partners.insert(person);
    for (quint32 f = 0; f < m.families.size(); ++f) {
        if (!inScope(f))
            continue;
        for (quint32 p : m.families[f].partner) {
            if (p != kNoIndex)
                partners.insert(p);
        }
    }
    for (quint32 p : std::as_const(partners))
        followPartnerColumns(tree, p);
}

Result<QStringList> mergeFamilies(ModelSlice &tree, quint32 keep, quint32 other)
{
    const TreeModel &m = tree.model;
    if (keep == other)
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("A family cannot be merged with itself."));
    if (keep >= m.families.size() || other >= m.families.size())
        return Error(ErrorCode::Missing,
                     QStringLiteral("The tree has no family %1.")
                         .arg(familyName(keep >= m.families.size() ? keep : other)));
    if (!fits(m.families[keep], m.families[other]))
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("The families %1 and %2 have different partners: together "
                                    "they would have more than two.")
                         .arg(familyName(keep), familyName(other)));
    ModelSlice work = tree;
    QStringList done;
    done << QStringLiteral("Family %1 merged into family %2 (%3 children, %4 events moved)")
                .arg(familyName(other), familyName(keep))
                .arg(m.childLinksOf(other).size())
                .arg(m.eventsOf(Ref(Kind::Family, other)).size());
    join(work, keep, other);
    // The partners of the family that went keep their columns by the family kept.
    const quint32 kept = keep > other ? keep - 1 : keep;
    tidy(work, done, kNoIndex, kept);
    tree = std::move(work);
    return done;
}

SourceChoice defaultSourceChoice(const TreeModel &model, quint32 keep, quint32 other)
{
    SourceChoice choice{};
    if (keep >= model.sources.size() || other >= model.sources.size())
        return choice;
    const Source &k = model.sources[keep];
    const Source &o = model.sources[other];
    const Text Source::*fields[] = {&Source::title, &Source::author, &Source::publication,
                                    &Source::abbreviation, &Source::text};
    for (size_t i = 0; i < choice.size(); ++i)
        choice[i] = (k.*fields[i]).isEmpty() && !(o.*fields[i]).isEmpty();
    return choice;
}

Result<QStringList> mergeSources(ModelSlice &tree, quint32 keep, quint32 other,
                                 const SourceChoice &choice)
{
    if (keep == other)
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("A source cannot be merged with itself."));
    if (keep >= tree.model.sources.size() || other >= tree.model.sources.size())
        return Error(ErrorCode::Missing,
                     QStringLiteral("The tree has no source %1.")
                         .arg((keep >= tree.model.sources.size() ? keep : other) + 1));
    ModelSlice work = tree;
    TreeModel &m = work.model;
    Source k = m.sources[keep];
    const Source o = m.sources[other];
    Text Source::*fields[] = {&Source::title, &Source::author, &Source::publication,
                              &Source::abbreviation, &Source::text};
    for (size_t i = 0; i < choice.size(); ++i) {
        if (choice[i])
            k.*fields[i] = o.*fields[i];
    }
    m.sources.edit(keep) = k;
    QStringList done;
    qsizetype cited = 0;
    for (const Citation &c : m.citations.all())
        cited += c.source == other ? 1 : 0;
    ModelRemap::redirect(m, Kind::Source, other, keep);
    // One link per repository: call numbers joined.
    QHash<quint32, quint32> byRepository;
    std::vector<bool> drop(m.repositoryLinks.size(), false);
    for (quint32 l = 0; l < m.repositoryLinks.size(); ++l) {
        const RepositoryLink &link = m.repositoryLinks[l];
        if (link.source != keep || link.repository == kNoIndex)
            continue;
        const auto at = byRepository.constFind(link.repository);
        if (at == byRepository.constEnd()) {
            byRepository.insert(link.repository, l);
            continue;
        }
        const QString first = m.string(m.repositoryLinks[*at].callNumbers);
        const QString second = m.string(link.callNumbers);
        if (!second.isEmpty() && !first.split(u'\n').contains(second)) {
            const Text joined = m.text(first.isEmpty() ? second : first + u'\n' + second);
            m.repositoryLinks.edit(*at).callNumbers = joined;
        }
        drop[l] = true;
    }
    ModelRemap::filter(m.repositoryLinks, [&](quint32 i) { return !drop[i]; });
    ModelRemap::renumber(m, Kind::Source, ModelRemap::without(m.sources.size(), {other}));
    done << QStringLiteral("Source %1 merged into source %2: %3 citations now cite it")
                .arg(other + 1)
                .arg(keep < other ? keep + 1 : keep)
                .arg(cited);
    tree = std::move(work);
    return done;
}

} // namespace Genealogy::RecordMerge
