// The person's own records in the draft: sex, privacy, names, events, and the rows they follow.
#include "PersonDraft.h"

#include "DraftRecords.h"
#include "GedcomDate.h"
#include "RowRules.h"

#include <algorithm>

using namespace Genealogy;

PersonDraft::PersonDraft(ModelSlice tree) : m_tree(std::move(tree))
{
    if (m_tree.model.personCount() < m_tree.rows.size())
        m_tree.model.persons.resize(m_tree.rows.size());
    m_readRows = quint32(m_tree.rows.size());
    m_rowEvents[0].type = EventTypes::birth();
    m_rowEvents[1].type = EventTypes::death();
    if (person() == kNoIndex)
        return; // the tree's shared records alone (the sources)
    for (RowEvent &rowEvent : m_rowEvents)
        expandRowEvent(rowEvent);
}

// The row's birth (death) becomes the first birth record's own date and place while editing;
// a row with a date or place and no record gets one, which result() drops again when it still
// holds nothing more.
void PersonDraft::expandRowEvent(RowEvent &rowEvent)
{
    PersonRow &row = m_tree.rows[person()];
    const bool birth = rowEvent.type == EventTypes::birth();
    rowEvent.rowDate = birth ? row.Bdate : row.Ddate;
    rowEvent.rowPlace = birth ? row.Bplace : row.Dplace;
    const Ref owner(Kind::Person, person());
    quint32 e = RowRules::firstEvent(m_tree.model, owner, rowEvent.type);
    rowEvent.hadRecord = e != kNoIndex;
    if (e == kNoIndex) {
        if (rowEvent.rowDate.isEmpty() && rowEvent.rowPlace.isEmpty())
            return;
        Event event;
        event.owner = owner;
        event.type = rowEvent.type;
        e = m_tree.model.events.add(event);
        // A birth is listed before the person's other events.
        const auto others = m_tree.model.eventsOf(owner);
        if (rowEvent.type == EventTypes::birth() && others.front() != e) {
            const quint32 before = others.front();
            std::vector<quint32> order;
            for (quint32 i = 0; i < e; ++i) {
                if (i == before)
                    order.push_back(e);
                order.push_back(i);
            }
            DraftRecords::reorder(m_tree.model, DraftRecords::Table::Event, order);
            e = before;
        }
    }
    writeDate(e, rowEvent.rowDate);
    if (!rowEvent.rowPlace.isEmpty())
        m_tree.model.events.edit(e).place = m_tree.model.place(rowEvent.rowPlace.toUtf8());
}

void PersonDraft::collapseRowEvent(ModelSlice &tree, const RowEvent &rowEvent) const
{
    TreeModel &m = tree.model;
    PersonRow &row = tree.rows[tree.person];
    const bool birth = rowEvent.type == EventTypes::birth();
    const Ref owner(Kind::Person, tree.person);
    const quint32 e = RowRules::firstEvent(m, owner, rowEvent.type);
    QString date, place;
    if (e != kNoIndex) {
        const Event &event = m.events[e];
        date = m.string(event.date);
        // The row's own text stays when the date was not changed.
        if (date == GedcomDate::normalized(rowEvent.rowDate))
            date = rowEvent.rowDate;
        place = event.place == kNoIndex ? QString() : m.string(m.places[event.place].name);
        Event &edited = m.events.edit(e);
        edited.date = Text();
        edited.sortFrom = edited.sortTo = DateRange::kUnknown;
        edited.dateKind = DateKind::None;
        edited.place = kNoIndex;
        const bool bare = edited.value.isEmpty() && edited.detail == kNoIndex &&
                          edited.privacy == 0 && m.citationsOf(Ref(Kind::Event, e)).empty() &&
                          m.noteLinksOf(Ref(Kind::Event, e)).empty() &&
                          m.mediaLinksOf(Ref(Kind::Event, e)).empty() &&
                          m.keptOf(Ref(Kind::Event, e)).empty();
        const bool second =
            std::count_if(m.eventsOf(owner).begin(), m.eventsOf(owner).end(),
                          [&](quint32 i) { return m.events[i].type == rowEvent.type; }) > 1;
        if (!rowEvent.hadRecord && bare && !second && (!date.isEmpty() || !place.isEmpty()))
            DraftRecords::remove(m, DraftRecords::Table::Event, e);
    }
    (birth ? row.Bdate : row.Ddate) = date;
    (birth ? row.Bplace : row.Dplace) = place;
}

ModelSlice PersonDraft::result() const
{
    ModelSlice tree = m_tree;
    if (person() != kNoIndex)
        for (const RowEvent &rowEvent : m_rowEvents)
            collapseRowEvent(tree, rowEvent);
    // The partner columns follow the families, and new persons take their place in the line.
    for (quint32 p = 0; p < tree.rows.size(); ++p) {
        if (const auto columns = RowRules::partnerColumns(tree.model, tree.rows, p)) {
            tree.rows[p].PrtFname = columns->first;
            tree.rows[p].PrtSname = columns->second;
        }
    }
    for (quint32 p = m_readRows; p < tree.rows.size(); ++p) {
        const RowRules::LineChoice choice = RowRules::lineOf(tree.model, p);
        switch (choice.kind) {
        case RowRules::LineChoice::Kind::Root:
            tree.rows[p].PrntKey = QStringLiteral("ROOT");
            break;
        case RowRules::LineChoice::Kind::Outside:
            tree.rows[p].PrntKey.clear();
            break;
        case RowRules::LineChoice::Kind::Parent:
            tree.rows[p].PrntKey = tree.rows[choice.parent].ID;
            break;
        }
    }
    return tree;
}

QString PersonDraft::personName(quint32 p) const
{
    if (p >= m_tree.rows.size())
        return QString();
    const PersonRow &r = m_tree.rows[p];
    const QString name = QStringList{r.Fname, r.Sname}.join(u' ').trimmed();
    return name.isEmpty() ? r.ID : name;
}

quint32 PersonDraft::findPerson(const QString &key) const
{
    for (quint32 i = 0; i < m_tree.rows.size(); ++i)
        if (m_tree.rows[i].ID.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    return kNoIndex;
}

Text PersonDraft::textOf(const QString &value)
{
    return value.isEmpty() ? Text() : m_tree.model.text(value);
}

// --- sex and privacy ---

Sex PersonDraft::sex() const
{
    return m_tree.model.persons[person()].sex;
}

void PersonDraft::setSex(Sex sex)
{
    if (sex == this->sex())
        return;
    m_tree.model.persons.edit(person()).sex = sex;
    m_changed = true;
}

bool PersonDraft::isPrivate(Ref record) const
{
    const TreeModel &m = m_tree.model;
    switch (record.kind()) {
    case Kind::Person:
        return m.persons[record.index()].privacy & Privacy::Private;
    case Kind::Event:
        return m.events[record.index()].privacy & Privacy::Private;
    case Kind::Family:
        return m.families[record.index()].privacy & Privacy::Private;
    default:
        return false;
    }
}

void PersonDraft::setPrivate(Ref record, bool on)
{
    if (isPrivate(record) == on)
        return;
    const auto flip = [on](quint8 &bits) {
        bits = on ? quint8(bits | Privacy::Private) : quint8(bits & ~Privacy::Private);
    };
    TreeModel &m = m_tree.model;
    switch (record.kind()) {
    case Kind::Person:
        flip(m.persons.edit(record.index()).privacy);
        break;
    case Kind::Event:
        flip(m.events.edit(record.index()).privacy);
        break;
    case Kind::Family:
        flip(m.families.edit(record.index()).privacy);
        break;
    default:
        return;
    }
    m_changed = true;
}

// --- names ---

std::vector<quint32> PersonDraft::names() const
{
    const auto span = m_tree.model.namesOf(person());
    std::vector<quint32> names(span.begin(), span.end());
    if (RowRules::primaryName(m_tree.model, person()) == kNoIndex)
        names.insert(names.begin(), kNoIndex); // the row's name, without a record
    return names;
}

PersonDraft::NameFields PersonDraft::name(quint32 n) const
{
    NameFields f;
    const PersonRow &r = m_tree.rows[person()];
    if (n == kNoIndex) {
        f.given = r.Fname;
        f.surname = r.Sname;
        return f;
    }
    const Name &name = m_tree.model.names[n];
    const bool primary = name.flags & Name::Primary;
    f.type = name.type;
    f.given = primary ? r.Fname : string(name.given);
    f.surname = primary ? r.Sname : string(name.surname);
    // A name as a file wrote it, without its pieces ("NAME Bill /Smith/"): the line's given
    // names before the surname between slashes (and what follows it), the surname between them.
    if (!primary && f.given.isEmpty() && f.surname.isEmpty()) {
        const QStringList parts = string(name.value).split(u'/');
        f.given = parts.value(0).simplified();
        f.surname = parts.value(1).simplified();
        if (const QString after = parts.mid(2).join(u' ').simplified(); !after.isEmpty())
            f.given = QStringList{f.given, after}.join(u' ').trimmed();
    }
    f.prefix = string(name.prefix);
    f.nickname = string(name.nickname);
    f.surnamePrefix = string(name.surnamePrefix);
    f.suffix = string(name.suffix);
    return f;
}

quint32 PersonDraft::addName(const NameFields &fields)
{
    Name name;
    name.person = person();
    const quint32 n = m_tree.model.names.add(name);
    setName(n, fields);
    m_changed = true;
    return n;
}

void PersonDraft::setName(quint32 n, const NameFields &fields)
{
    if (name(n) == fields)
        return;
    m_changed = true;
    PersonRow &r = m_tree.rows[person()];
    const bool pieces = fields.type != NameType::None || !fields.prefix.isEmpty() ||
                        !fields.nickname.isEmpty() || !fields.surnamePrefix.isEmpty() ||
                        !fields.suffix.isEmpty();
    if (n == kNoIndex) {
        r.Fname = fields.given;
        r.Sname = fields.surname;
        if (!pieces)
            return;
        // The row's name gets a record for its other pieces, first of the person's names.
        Name primary;
        primary.person = person();
        primary.flags = Name::Primary;
        n = m_tree.model.names.add(primary);
        const auto others = m_tree.model.namesOf(person());
        if (others.front() != n) {
            std::vector<quint32> order;
            for (quint32 i = 0; i < m_tree.model.names.size(); ++i)
                if (i != n) {
                    if (i == others.front())
                        order.push_back(n);
                    order.push_back(i);
                }
            DraftRecords::reorder(m_tree.model, DraftRecords::Table::Name, order);
            n = RowRules::primaryName(m_tree.model, person());
        }
    }
    Name &name = m_tree.model.names.edit(n);
    const bool primary = name.flags & Name::Primary;
    name.flags &= quint8(~Name::HasValue);
    name.value = Text();
    name.type = fields.type;
    name.typeText = Text();
    if (primary) {
        r.Fname = fields.given;
        r.Sname = fields.surname;
    } else {
        name.given = textOf(fields.given);
        name.surname = textOf(fields.surname);
    }
    name.prefix = textOf(fields.prefix);
    name.nickname = textOf(fields.nickname);
    name.surnamePrefix = textOf(fields.surnamePrefix);
    name.suffix = textOf(fields.suffix);
}

bool PersonDraft::removeName(quint32 n)
{
    if (n == kNoIndex || (m_tree.model.names[n].flags & Name::Primary))
        return false;
    DraftRecords::remove(m_tree.model, DraftRecords::Table::Name, n);
    m_changed = true;
    return true;
}

bool PersonDraft::moveName(quint32 n, int delta)
{
    const std::vector<quint32> list = names();
    const auto at = std::find(list.begin(), list.end(), n);
    if (at == list.end())
        return false;
    const qsizetype to = (at - list.begin()) + delta;
    if (to < 0 || to >= qsizetype(list.size()))
        return false;
    const quint32 other = list[size_t(to)];
    if (n == kNoIndex || other == kNoIndex || (m_tree.model.names[n].flags & Name::Primary) ||
        (m_tree.model.names[other].flags & Name::Primary))
        return false;
    DraftRecords::swap(m_tree.model, DraftRecords::Table::Name, n, other);
    m_changed = true;
    return true;
}

// --- events ---

std::vector<quint32> PersonDraft::events(Ref owner) const
{
    const auto span = m_tree.model.eventsOf(owner);
    return {span.begin(), span.end()};
}

PersonDraft::EventFields PersonDraft::event(quint32 e) const
{
    const TreeModel &m = m_tree.model;
    const Event &event = m.events[e];
    EventFields f;
    f.type = event.type;
    f.date = string(event.date);
    f.place = event.place == kNoIndex ? QString() : string(m.places[event.place].name);
    f.description = string(event.value);
    if (event.detail != kNoIndex) {
        f.age = string(m.eventDetails[event.detail].age);
        f.cause = string(m.eventDetails[event.detail].cause);
    }
    f.isPrivate = event.privacy & Privacy::Private;
    return f;
}

void PersonDraft::writeDate(quint32 e, const QString &date)
{
    QString normalizedText;
    const DateValue value = GedcomDate::parse(date, normalizedText);
    const DateRange range = GedcomDate::range(value);
    Event &event = m_tree.model.events.edit(e);
    event.date = textOf(date.trimmed().isEmpty() ? QString() : normalizedText);
    event.dateKind = date.trimmed().isEmpty() ? DateKind::None : value.kind;
    event.sortFrom = range.from;
    event.sortTo = range.to;
}

quint32 PersonDraft::addEvent(Ref owner, const EventFields &fields)
{
    Event event;
    event.owner = owner;
    event.type = fields.type;
    const quint32 e = m_tree.model.events.add(event);
    setEvent(e, fields);
    m_changed = true;
    return e;
}

void PersonDraft::setEvent(quint32 e, const EventFields &fields)
{
    if (event(e) == fields)
        return;
    m_changed = true;
    TreeModel &m = m_tree.model;
    if (string(m.events[e].date) != GedcomDate::normalized(fields.date))
        writeDate(e, fields.date);
    Event &event = m.events.edit(e);
    event.type = fields.type;
    event.value = textOf(fields.description);
    event.place =
        fields.place.trimmed().isEmpty() ? kNoIndex : m.place(fields.place.trimmed().toUtf8());
    event.privacy = fields.isPrivate ? quint8(event.privacy | Privacy::Private)
                                     : quint8(event.privacy & ~Privacy::Private);
    if (event.detail == kNoIndex && (!fields.age.isEmpty() || !fields.cause.isEmpty()))
        event.detail = m.eventDetails.add(EventDetail());
    if (const quint32 d = m.events[e].detail; d != kNoIndex) {
        EventDetail &detail = m.eventDetails.edit(d);
        detail.age = textOf(fields.age);
        detail.cause = textOf(fields.cause);
    }
}

void PersonDraft::removeEvent(quint32 e)
{
    DraftRecords::remove(m_tree.model, DraftRecords::Table::Event, e);
    m_changed = true;
}

bool PersonDraft::moveEvent(quint32 e, int delta)
{
    const std::vector<quint32> list = events(m_tree.model.events[e].owner);
    const auto at = std::find(list.begin(), list.end(), e);
    const qsizetype to = (at - list.begin()) + delta;
    if (at == list.end() || to < 0 || to >= qsizetype(list.size()))
        return false;
    DraftRecords::swap(m_tree.model, DraftRecords::Table::Event, e, list[size_t(to)]);
    m_changed = true;
    return true;
}
