// The view of a tree an export writes: the living hidden, the private left out (see the header).
// The model is rebuilt table by table in stored order, every index remapped; a record whose owner
// or link was left out goes with it.
#include "PrivacyFilter.h"

#include "RowRules.h"

#include <QHash>

namespace Genealogy {

namespace {

// Old index -> new index of one table (kNoIndex: left out).
struct Remap
{
    std::vector<quint32> to;

    explicit Remap(size_t size = 0) : to(size, kNoIndex) {}
    quint32 operator()(quint32 i) const { return i < to.size() ? to[i] : kNoIndex; }
    bool kept(quint32 i) const { return (*this)(i) != kNoIndex; }
};

class Filter
{
public:
    Filter(std::span<const PersonRow> rows, const TreeModel &model, const PrivacyOptions &options,
           std::vector<bool> living)
        : m_rows(rows), m_in(model), m_options(options), m_living(std::move(living))
    {
    }

    PrivacyView run();

private:
    bool isLiving(quint32 person) const
    {
        return m_options.hideLiving && person < m_living.size() && m_living[person];
    }
    bool isPrivate(quint8 privacy) const
    {
        return !m_options.includePrivate && (privacy & Privacy::Private);
    }
    // Whether records hanging on `owner` (citations, notes, media, kept structures) stay, and
    // the owner's new reference.
    Ref mapRef(Ref ref) const;
    bool ownerKeepsOwn(Ref owner) const;

    void persons();
    void families();
    void names();
    void events();
    void links();
    void citations();
    void notesAndMedia();
    void kept();
    quint32 copyPlace(quint32 place);
    quint32 copyAddress(quint32 address);
    quint32 copyDetail(quint32 detail);
    std::vector<PersonRow> rowsOut() const;

    std::span<const PersonRow> m_rows;
    const TreeModel &m_in;
    PrivacyOptions m_options;
    std::vector<bool> m_living;
    TreeModel m_out;
    std::vector<bool> m_familyHidden; // a partner is shown as living: the family's own go
    Remap m_person, m_family, m_name, m_event, m_childLink, m_association, m_citation;
    Remap m_note, m_media, m_kept;
    Remap m_place, m_address, m_detail;
};

Ref Filter::mapRef(Ref ref) const
{
    const quint32 i = ref.index();
    quint32 to = i;
    switch (ref.kind()) {
    case Kind::Person:
        to = m_person(i);
        break;
    case Kind::Family:
        to = m_family(i);
        break;
    case Kind::Event:
        to = m_event(i);
        break;
    case Kind::Name:
        to = m_name(i);
        break;
    case Kind::Citation:
        to = m_citation(i);
        break;
    case Kind::Association:
        to = m_association(i);
        break;
    case Kind::ChildLink:
        to = m_childLink(i);
        break;
    case Kind::Note:
        to = m_note(i);
        break;
    case Kind::Media:
        to = m_media(i);
        break;
    case Kind::Place:
        to = m_place(i);
        break;
    case Kind::Kept:
        to = m_kept(i);
        break;
    case Kind::None:
    case Kind::Source:
    case Kind::Repository:
    case Kind::Header:
    case Kind::Void:
        return ref;
    }
    return to == kNoIndex ? Ref() : Ref(ref.kind(), to);
}

bool Filter::ownerKeepsOwn(Ref owner) const
{
    const quint32 i = owner.index();
    switch (owner.kind()) {
    case Kind::Person:
        return m_person.kept(i) && !isLiving(i);
    case Kind::Family:
        return m_family.kept(i) && !m_familyHidden[i];
    case Kind::ChildLink:
        return m_childLink.kept(i) && !isLiving(m_in.childLinks[i].child);
    case Kind::Name:
        // A living person's primary name stays as an empty record: nothing hangs on it.
        return m_name.kept(i) && !isLiving(m_in.names[i].person);
    default:
        return !mapRef(owner).isNull() || owner.isNull();
    }
}

void Filter::persons()
{
    const quint32 n = m_in.personCount();
    m_person = Remap(n);
    for (quint32 p = 0; p < n; ++p) {
        if (isPrivate(m_in.persons[p].privacy))
            continue;
        PersonSide side = m_in.persons[p];
        if (isLiving(p)) {
            side.flags = 0;
            side.privacy = 0;
        }
        m_person.to[p] = m_out.persons.add(side);
    }
}

void Filter::families()
{
    const quint32 n = m_in.families.size();
    m_family = Remap(n);
    m_familyHidden.assign(n, false);
    for (quint32 f = 0; f < n; ++f) {
        const Family &in = m_in.families[f];
        if (isPrivate(in.privacy))
            continue;
        Family out = in;
        for (int s = 0; s < 2; ++s) {
            out.partner[s] = m_person(in.partner[s]);
            if (in.partner[s] != kNoIndex && isLiving(in.partner[s]))
                m_familyHidden[f] = true;
        }
        if (out.partner[0] == kNoIndex && out.partner[1] == kNoIndex &&
            (in.partner[0] != kNoIndex || in.partner[1] != kNoIndex))
            continue; // every partner was left out
        m_family.to[f] = m_out.families.add(out);
    }
}

void Filter::names()
{
    m_name = Remap(m_in.names.size());
    for (quint32 i = 0; i < m_in.names.size(); ++i) {
        const Name &in = m_in.names[i];
        const quint32 person = m_person(in.person);
        if (person == kNoIndex)
            continue;
        if (isLiving(in.person)) {
            if (!(in.flags & Name::Primary))
                continue;
            Name empty;
            empty.person = person;
            empty.flags = Name::Primary;
            m_name.to[i] = m_out.names.add(empty);
            continue;
        }
        Name out = in;
        out.person = person;
        m_name.to[i] = m_out.names.add(out);
    }
}

quint32 Filter::copyAddress(quint32 address)
{
    if (address == kNoIndex || address >= m_in.addresses.size())
        return kNoIndex;
    if (!m_address.kept(address))
        m_address.to[address] = m_out.addresses.add(m_in.addresses[address]);
    return m_address(address);
}

quint32 Filter::copyPlace(quint32 place)
{
    if (place == kNoIndex || place >= m_in.places.size())
        return kNoIndex;
    if (!m_place.kept(place))
        m_place.to[place] = m_out.places.add(m_in.places[place]);
    return m_place(place);
}

quint32 Filter::copyDetail(quint32 detail)
{
    if (detail == kNoIndex || detail >= m_in.eventDetails.size())
        return kNoIndex;
    if (!m_detail.kept(detail)) {
        EventDetail out = m_in.eventDetails[detail];
        out.address = copyAddress(out.address);
        m_detail.to[detail] = m_out.eventDetails.add(out);
    }
    return m_detail(detail);
}

void Filter::events()
{
    m_event = Remap(m_in.events.size());
    m_place = Remap(m_in.places.size());
    m_address = Remap(m_in.addresses.size());
    m_detail = Remap(m_in.eventDetails.size());
    for (quint32 i = 0; i < m_in.events.size(); ++i) {
        const Event &in = m_in.events[i];
        if (isPrivate(in.privacy) || !ownerKeepsOwn(in.owner))
            continue;
        Event out = in;
        out.owner = mapRef(in.owner);
        out.place = copyPlace(in.place);
        out.detail = copyDetail(in.detail);
        m_event.to[i] = m_out.events.add(out);
    }
    // Repositories keep their addresses; sources and repositories stay whole.
    for (const Source &source : m_in.sources.all())
        m_out.sources.add(source);
    for (const RepositoryLink &link : m_in.repositoryLinks.all())
        m_out.repositoryLinks.add(link);
    for (const Repository &in : m_in.repositories.all()) {
        Repository out = in;
        out.address = copyAddress(in.address);
        m_out.repositories.add(out);
    }
}

void Filter::links()
{
    m_childLink = Remap(m_in.childLinks.size());
    for (quint32 i = 0; i < m_in.childLinks.size(); ++i) {
        ChildLink out = m_in.childLinks[i];
        out.family = m_family(out.family);
        out.child = m_person(out.child);
        if (out.family != kNoIndex && out.child != kNoIndex)
            m_childLink.to[i] = m_out.childLinks.add(out);
    }
    for (const Partnership &in : m_in.partnerships.all()) {
        const Partnership out{m_person(in.person), m_family(in.family)};
        if (out.person != kNoIndex && out.family != kNoIndex)
            m_out.partnerships.add(out);
    }
    m_association = Remap(m_in.associations.size());
    for (quint32 i = 0; i < m_in.associations.size(); ++i) {
        const Association &in = m_in.associations[i];
        if (isLiving(in.person))
            continue;
        Association out = in;
        out.person = m_person(in.person);
        out.target = m_person(in.target);
        if (out.person == kNoIndex || (in.target != kNoIndex && out.target == kNoIndex))
            continue;
        m_association.to[i] = m_out.associations.add(out);
    }
    for (const NoteBreak &in : m_in.noteBreaks.all()) {
        if (!isLiving(in.person) && m_person.kept(in.person))
            m_out.noteBreaks.add({m_person(in.person), in.offset});
    }
}

void Filter::citations()
{
    m_citation = Remap(m_in.citations.size());
    for (quint32 i = 0; i < m_in.citations.size(); ++i) {
        const Citation &in = m_in.citations[i];
        if (!ownerKeepsOwn(in.owner))
            continue;
        Citation out = in;
        out.owner = mapRef(in.owner);
        m_citation.to[i] = m_out.citations.add(out);
    }
}

void Filter::notesAndMedia()
{
    // A note or medium stays when a link that stays names it, or when nothing linked it at all
    // (a record of its own); one named only by links that go, goes with them.
    std::vector<int> noteState(m_in.notes.size(), 0);
    for (const NoteLink &link : m_in.noteLinks.all()) {
        if (link.note < noteState.size())
            noteState[link.note] =
                std::max(noteState[link.note], ownerKeepsOwn(link.owner) ? 2 : 1);
    }
    std::vector<int> mediaState(m_in.media.size(), 0);
    for (const MediaLink &link : m_in.mediaLinks.all()) {
        if (link.media < mediaState.size())
            mediaState[link.media] =
                std::max(mediaState[link.media], ownerKeepsOwn(link.owner) ? 2 : 1);
    }
    m_note = Remap(m_in.notes.size());
    for (quint32 i = 0; i < m_in.notes.size(); ++i) {
        if (noteState[i] != 1)
            m_note.to[i] = m_out.notes.add(m_in.notes[i]);
    }
    m_media = Remap(m_in.media.size());
    for (quint32 i = 0; i < m_in.media.size(); ++i) {
        if (mediaState[i] != 1)
            m_media.to[i] = m_out.media.add(m_in.media[i]);
    }
    for (const NoteLink &in : m_in.noteLinks.all()) {
        const NoteLink out{mapRef(in.owner), m_note(in.note)};
        if (ownerKeepsOwn(in.owner) && out.note != kNoIndex && !out.owner.isNull())
            m_out.noteLinks.add(out);
    }
    for (const MediaLink &in : m_in.mediaLinks.all()) {
        const MediaLink out{mapRef(in.owner), m_media(in.media)};
        if (ownerKeepsOwn(in.owner) && out.media != kNoIndex && !out.owner.isNull())
            m_out.mediaLinks.add(out);
    }
}

void Filter::kept()
{
    // Two passes: a kept structure may hang on another kept one.
    m_kept = Remap(m_in.kept.size());
    std::vector<bool> keep(m_in.kept.size(), false);
    for (int pass = 0; pass < 2; ++pass) {
        for (quint32 i = 0; i < m_in.kept.size(); ++i) {
            const Ref owner = m_in.kept[i].owner;
            keep[i] = owner.isNull() || owner.is(Kind::Header) ||
                      (owner.is(Kind::Kept) ? owner.index() < keep.size() && keep[owner.index()]
                                            : ownerKeepsOwn(owner));
        }
    }
    quint32 next = 0;
    for (quint32 i = 0; i < m_in.kept.size(); ++i)
        m_kept.to[i] = keep[i] ? next++ : kNoIndex;
    for (quint32 i = 0; i < m_in.kept.size(); ++i) {
        if (!keep[i])
            continue;
        Kept out = m_in.kept[i];
        out.owner =
            out.owner.isNull() || out.owner.is(Kind::Header) ? out.owner : mapRef(out.owner);
        out.firstLine = m_out.keptLines.size();
        for (KeptLine line : m_in.linesOf(m_in.kept[i])) {
            if (line.kind == KeptLine::Value::Pointer && !line.target.is(Kind::Void)) {
                const Ref target = mapRef(line.target);
                line.target = target.isNull() ? Ref(Kind::Void, 0) : target;
            }
            m_out.keptLines.add(line);
        }
        m_out.kept.add(out);
    }
}

std::vector<PersonRow> Filter::rowsOut() const
{
    QHash<QString, bool> leftOut;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (!m_person.kept(quint32(i)))
            leftOut.insert(m_rows[i].ID, true);
    }
    std::vector<PersonRow> out;
    out.reserve(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (!m_person.kept(quint32(i)))
            continue;
        PersonRow row = m_rows[i];
        if (isLiving(quint32(i))) {
            PersonRow hidden;
            hidden.ID = row.ID;
            hidden.PrntKey = row.PrntKey;
            hidden.Fname = livingName();
            row = hidden;
        }
        if (leftOut.contains(row.PrntKey))
            row.PrntKey = kRootKey;
        out.push_back(std::move(row));
    }
    return out;
}

PrivacyView Filter::run()
{
    PrivacyView view;
    const bool withModel = m_in.personCount() == quint32(m_rows.size()) && !m_rows.empty();
    if (withModel) {
        m_out = m_in; // the texts, kept tags and the tree's own values; the tables anew
        m_out.persons.clear();
        m_out.names.clear();
        m_out.events.clear();
        m_out.eventDetails.clear();
        m_out.addresses.clear();
        m_out.places.clear();
        m_out.families.clear();
        m_out.partnerships.clear();
        m_out.childLinks.clear();
        m_out.associations.clear();
        m_out.sources.clear();
        m_out.repositoryLinks.clear();
        m_out.repositories.clear();
        m_out.citations.clear();
        m_out.notes.clear();
        m_out.noteLinks.clear();
        m_out.media.clear();
        m_out.mediaLinks.clear();
        m_out.kept.clear();
        m_out.keptLines.clear();
        m_out.noteBreaks.clear();
        persons();
        families();
        names();
        events();
        links();
        citations();
        notesAndMedia();
        kept();
    } else {
        m_out = m_in;
        m_person = Remap(m_rows.size());
        for (quint32 i = 0; i < m_rows.size(); ++i)
            m_person.to[i] = i;
    }
    view.slice.rows = rowsOut();
    view.persons.resize(m_rows.size(), PersonShown::AsStored);
    for (quint32 i = 0; i < m_rows.size(); ++i) {
        if (!m_person.kept(i)) {
            view.persons[i] = PersonShown::LeftOut;
            ++view.leftOut;
        } else if (isLiving(i)) {
            view.persons[i] = PersonShown::Living;
            ++view.living;
        }
    }
    if (withModel) {
        // The partner columns follow the first family's other partner as the view shows it.
        for (quint32 p = 0; p < m_out.personCount(); ++p) {
            if (const auto columns = RowRules::partnerColumns(m_out, view.slice.rows, p)) {
                view.slice.rows[p].PrtFname = columns->first;
                view.slice.rows[p].PrtSname = columns->second;
            }
        }
    }
    view.slice.model = std::move(m_out);
    return view;
}

} // namespace

PrivacyView applyPrivacy(std::span<const PersonRow> rows, const TreeModel &model,
                         const PrivacyOptions &options)
{
    if (options.changesNothing()) {
        PrivacyView whole;
        whole.slice.rows.assign(rows.begin(), rows.end());
        whole.slice.model = model;
        whole.persons.assign(rows.size(), PersonShown::AsStored);
        return whole;
    }
    std::vector<bool> living;
    if (options.hideLiving)
        living = livingPersons(rows, model, options.today);
    return Filter(rows, model, options, std::move(living)).run();
}

} // namespace Genealogy
