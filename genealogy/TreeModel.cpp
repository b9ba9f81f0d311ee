#include "TreeModel.h"

#include <algorithm>

namespace Genealogy {

namespace {

// An index over one table, rebuilt when the table's version moved on.
struct Lookup
{
    OwnerIndex index;
    quint64 version = ~quint64(0);

    template <typename T, typename OwnerOf>
    std::span<const quint32> rows(const Table<T> &table, Ref owner, OwnerOf ownerOf)
    {
        if (version != table.version() || !index.isBuilt()) {
            index.build(table.size(), [&](size_t r) { return ownerOf(table[quint32(r)]); });
            version = table.version();
        }
        return index.rows(owner);
    }
};

Ref personRef(quint32 person)
{
    return Ref(Kind::Person, person);
}

QByteArray placeKey(QByteArrayView name, QByteArrayView latitude, QByteArrayView longitude)
{
    QByteArray key;
    key.reserve(name.size() + latitude.size() + longitude.size() + 2);
    key.append(name);
    key.append('\x1F');
    key.append(latitude);
    key.append('\x1F');
    key.append(longitude);
    return key;
}

} // namespace

struct TreeModel::Indexes
{
    Lookup names, events, citations, noteLinks, mediaLinks, kept, associations, partnerships,
        childLinks, parentLinks, repositoryLinks, noteBreaks;
};

TreeModel::TreeModel() = default;
TreeModel::~TreeModel() = default;
TreeModel::TreeModel(TreeModel &&other) noexcept = default;
TreeModel &TreeModel::operator=(TreeModel &&other) noexcept = default;

TreeModel::TreeModel(const TreeModel &other)
{
    *this = other;
}

TreeModel &TreeModel::operator=(const TreeModel &other)
{
    if (this == &other)
        return *this;
    persons = other.persons;
    names = other.names;
    events = other.events;
    eventDetails = other.eventDetails;
    addresses = other.addresses;
    places = other.places;
    families = other.families;
    partnerships = other.partnerships;
    childLinks = other.childLinks;
    associations = other.associations;
    sources = other.sources;
    repositoryLinks = other.repositoryLinks;
    repositories = other.repositories;
    citations = other.citations;
    notes = other.notes;
    noteLinks = other.noteLinks;
    media = other.media;
    mediaLinks = other.mediaLinks;
    kept = other.kept;
    keptLines = other.keptLines;
    noteBreaks = other.noteBreaks;
    defaultPlaceForm = other.defaultPlaceForm;
    extensionTags = other.extensionTags;
    m_texts = other.m_texts;
    m_keptTags = other.m_keptTags;
    m_keptTagIds = other.m_keptTagIds;
    m_indexes.reset();
    m_placeByKey.clear();
    m_placeByName.clear();
    m_placeKeys.clear();
    m_placesIndexed = ~quint64(0);
    return *this;
}

TreeModel::Indexes &TreeModel::indexes() const
{
    if (!m_indexes)
        m_indexes = std::make_unique<Indexes>();
    return *m_indexes;
}

std::span<const quint32> TreeModel::namesOf(quint32 person) const
{
    return indexes().names.rows(names, personRef(person),
                                [](const Name &n) { return personRef(n.person); });
}

std::span<const quint32> TreeModel::eventsOf(Ref owner) const
{
    return indexes().events.rows(events, owner, [](const Event &e) { return e.owner; });
}

std::span<const quint32> TreeModel::citationsOf(Ref owner) const
{
    return indexes().citations.rows(citations, owner, [](const Citation &c) { return c.owner; });
}

std::span<const quint32> TreeModel::noteLinksOf(Ref owner) const
{
    return indexes().noteLinks.rows(noteLinks, owner, [](const NoteLink &n) { return n.owner; });
}

std::span<const quint32> TreeModel::mediaLinksOf(Ref owner) const
{
    return indexes().mediaLinks.rows(mediaLinks, owner, [](const MediaLink &m) { return m.owner; });
}

std::span<const quint32> TreeModel::keptOf(Ref owner) const
{
    return indexes().kept.rows(kept, owner, [](const Kept &k) { return k.owner; });
}

std::span<const quint32> TreeModel::associationsOf(quint32 person) const
{
    return indexes().associations.rows(associations, personRef(person),
                                       [](const Association &a) { return personRef(a.person); });
}

std::span<const quint32> TreeModel::partnershipsOf(quint32 person) const
{
    return indexes().partnerships.rows(partnerships, personRef(person),
                                       [](const Partnership &p) { return personRef(p.person); });
}

std::span<const quint32> TreeModel::childLinksOf(quint32 family) const
{
    return indexes().childLinks.rows(childLinks, Ref(Kind::Family, family), [](const ChildLink &c) {
        return Ref(Kind::Family, c.family);
    });
}

std::span<const quint32> TreeModel::parentLinksOf(quint32 child) const
{
    Lookup &lookup = indexes().parentLinks;
    const bool stale = lookup.version != childLinks.version() || !lookup.index.isBuilt();
    std::span<const quint32> rows = lookup.rows(
        childLinks, personRef(child), [](const ChildLink &c) { return personRef(c.child); });
    if (stale) {
        // Within each child, in the child's order of families.
        std::vector<quint32> &all = lookup.index.allRows();
        auto begin = all.begin();
        while (begin != all.end()) {
            const quint32 owner = childLinks[*begin].child;
            auto end = begin;
            while (end != all.end() && childLinks[*end].child == owner)
                ++end;
            if (end - begin > 1)
                std::stable_sort(begin, end, [this](quint32 a, quint32 b) {
                    return childLinks[a].childOrder < childLinks[b].childOrder;
                });
            begin = end;
        }
        rows = lookup.index.rows(personRef(child));
    }
    return rows;
}

std::span<const quint32> TreeModel::repositoryLinksOf(quint32 source) const
{
    return indexes().repositoryLinks.rows(
        repositoryLinks, Ref(Kind::Source, source),
        [](const RepositoryLink &l) { return Ref(Kind::Source, l.source); });
}

std::span<const quint32> TreeModel::noteBreaksOf(quint32 person) const
{
    return indexes().noteBreaks.rows(noteBreaks, personRef(person),
                                     [](const NoteBreak &b) { return personRef(b.person); });
}

void TreeModel::rebuildPlaceNames() const
{
    if (m_placesIndexed == places.version())
        return;
    m_placeByKey.clear();
    m_placeByName.clear();
    m_placeKeys.clear();
    m_placeByName.reserve(places.size());
    for (quint32 i = 0; i < places.size(); ++i) {
        const Place &p = places[i];
        const QByteArrayView name = m_texts.utf8(p.name);
        if (!m_placeByName.contains(name)) {
            m_placeByName.insert(name, i);
            continue;
        }
        // A second record of a name: other coordinates.
        m_placeKeys.push_back(placeKey(name, m_texts.utf8(p.latitude), m_texts.utf8(p.longitude)));
        m_placeByKey.insert(QByteArrayView(m_placeKeys.back()), i);
    }
    m_placesIndexed = places.version();
}

quint32 TreeModel::findPlace(QByteArrayView name) const
{
    rebuildPlaceNames();
    return m_placeByName.value(name, kNoIndex);
}

quint32 TreeModel::place(QByteArrayView name, QByteArrayView latitude, QByteArrayView longitude)
{
    rebuildPlaceNames();
    const bool plain = latitude.isEmpty() && longitude.isEmpty();
    // The first record of the name serves every reference that gives no other coordinates;
    // coordinates given later complete it.
    if (const auto it = m_placeByName.constFind(name); it != m_placeByName.cend()) {
        const quint32 found = it.value();
        const Place &p = places[found];
        if (plain)
            return found;
        if (p.latitude.isEmpty() && p.longitude.isEmpty()) {
            const Text lat = m_texts.add(latitude);
            const Text lon = m_texts.add(longitude);
            Place &edited = places.edit(found);
            edited.latitude = lat;
            edited.longitude = lon;
            m_placesIndexed = places.version();
            return found;
        }
        if (m_texts.utf8(p.latitude) == latitude && m_texts.utf8(p.longitude) == longitude)
            return found;
        const QByteArray key = placeKey(name, latitude, longitude);
        if (const auto v = m_placeByKey.constFind(QByteArrayView(key)); v != m_placeByKey.cend())
            return v.value();
        Place variant;
        variant.name = p.name;
        variant.latitude = m_texts.add(latitude);
        variant.longitude = m_texts.add(longitude);
        const quint32 index = places.add(variant);
        if (index != kNoIndex) {
            m_placeKeys.push_back(key);
            m_placeByKey.insert(QByteArrayView(m_placeKeys.back()), index);
        }
        m_placesIndexed = places.version();
        return index;
    }
    Place p;
    p.name = m_texts.add(name);
    p.latitude = m_texts.add(latitude);
    p.longitude = m_texts.add(longitude);
    const quint32 index = places.add(p);
    if (index != kNoIndex)
        m_placeByName.insert(m_texts.utf8(p.name), index);
    m_placesIndexed = places.version();
    return index;
}

quint16 TreeModel::keptTag(QByteArrayView tag)
{
    const QByteArray name = tag.toByteArray();
    if (const auto it = m_keptTagIds.constFind(name); it != m_keptTagIds.cend())
        return it.value();
    if (m_keptTags.size() >= 0xFFFF)
        return 0xFFFF;
    const auto id = quint16(m_keptTags.size());
    m_keptTags.push_back(name);
    m_keptTagIds.insert(name, id);
    return id;
}

QByteArrayView TreeModel::keptTagName(quint16 tag) const
{
    return tag < m_keptTags.size() ? QByteArrayView(m_keptTags[tag]) : QByteArrayView("_UNKNOWN");
}

quint32 TreeModel::otherPartner(quint32 family, quint32 person) const
{
    if (family >= families.size())
        return kNoIndex;
    const Family &f = families[family];
    if (f.partner[0] == person)
        return f.partner[1];
    if (f.partner[1] == person)
        return f.partner[0];
    return kNoIndex;
}

bool TreeModel::isPartner(quint32 family, quint32 person) const
{
    if (family >= families.size() || person == kNoIndex)
        return false;
    const Family &f = families[family];
    return f.partner[0] == person || f.partner[1] == person;
}

bool TreeModel::isFull() const
{
    constexpr size_t kMax = size_t(Ref::kMaxIndex) + 1;
    return m_texts.isFull() || persons.size() >= kMax || names.size() >= kMax ||
           events.size() >= kMax || citations.size() >= kMax || keptLines.size() >= kMax ||
           kept.size() >= kMax || notes.size() >= kMax || noteLinks.size() >= kMax ||
           childLinks.size() >= kMax || partnerships.size() >= kMax || families.size() >= kMax;
}

quint64 TreeModel::bytes() const
{
    quint64 total = m_texts.capacity();
    total += persons.bytes() + names.bytes() + events.bytes() + eventDetails.bytes() +
             addresses.bytes() + places.bytes() + families.bytes() + partnerships.bytes() +
             childLinks.bytes() + associations.bytes() + sources.bytes() + repositoryLinks.bytes() +
             repositories.bytes() + citations.bytes() + notes.bytes() + noteLinks.bytes() +
             media.bytes() + mediaLinks.bytes() + kept.bytes() + keptLines.bytes() +
             noteBreaks.bytes();
    if (m_indexes) {
        const Indexes &i = *m_indexes;
        for (const Lookup *l : {&i.names, &i.events, &i.citations, &i.noteLinks, &i.mediaLinks,
                                &i.kept, &i.associations, &i.partnerships, &i.childLinks,
                                &i.parentLinks, &i.repositoryLinks, &i.noteBreaks})
            total += l->index.bytes();
    }
    return total;
}

} // namespace Genealogy
