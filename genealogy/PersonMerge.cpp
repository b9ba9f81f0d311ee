#include "PersonMerge.h"

#include "GedcomDate.h"
#include "ModelRemap.h"
#include "RecordMerge.h"
#include "RowRules.h"
#include "Vocabulary.h"

#include <QHash>

#include <algorithm>

namespace Genealogy::PersonMerge {

namespace {

// The columns of each field of the row (Sex has none).
std::vector<QString PersonRow::*> columnsOf(Field field)
{
    switch (field) {
    case Field::Name:
        return {&PersonRow::Fname, &PersonRow::Sname};
    case Field::Birth:
        return {&PersonRow::Bdate, &PersonRow::Bplace};
    case Field::Death:
        return {&PersonRow::Ddate, &PersonRow::Dplace};
    case Field::Residence:
        return {&PersonRow::Laddress, &PersonRow::Lcity, &PersonRow::Lcountry};
    case Field::Notes:
        return {&PersonRow::Notes};
    case Field::Parent:
        return {&PersonRow::PrntKey};
    case Field::Partner:
        return {&PersonRow::PrtFname, &PersonRow::PrtSname};
    default:
        return {};
    }
}

Sex sexOf(const ModelSlice &tree, quint32 person)
{
    return person < tree.model.personCount() ? tree.model.persons[person].sex : Sex::None;
}

bool isEmpty(const ModelSlice &tree, quint32 person, Field field)
{
    if (field == Field::Sex) {
        const Sex sex = sexOf(tree, person);
        return sex == Sex::None || sex == Sex::Unknown;
    }
    for (QString PersonRow::*column : columnsOf(field)) {
        if (!(tree.rows[person].*column).trimmed().isEmpty())
            return false;
    }
    return true;
}

bool same(const ModelSlice &tree, quint32 a, quint32 b, Field field)
{
    if (field == Field::Sex)
        return sexOf(tree, a) == sexOf(tree, b);
    for (QString PersonRow::*column : columnsOf(field)) {
        if ((tree.rows[a].*column).trimmed() != (tree.rows[b].*column).trimmed())
            return false;
    }
    return true;
}

void setDate(TreeModel &m, Event &event, const QString &date)
{
    QString normalized;
    const DateValue value = GedcomDate::parse(date, normalized);
    const DateRange range = GedcomDate::range(value);
    event.date = m.text(normalized);
    event.dateKind = value.kind;
    event.sortFrom = range.from;
    event.sortTo = range.to;
}

// The records of one owner put in `order` (the records are the owner's, every one once), the
// others staying where they are: the owner's places in the table are handed out in that order.
void reorder(TreeModel &m, Kind kind, quint32 count, const std::vector<quint32> &order)
{
    std::vector<quint32> places = order;
    std::sort(places.begin(), places.end());
    std::vector<quint32> map(count);
    for (quint32 i = 0; i < count; ++i)
        map[i] = i;
    for (size_t i = 0; i < order.size(); ++i)
        map[order[i]] = places[i];
    ModelRemap::renumber(m, kind, map);
}

// The pieces of a name not given in `into` are taken from `from`.
void fillName(Name &into, const Name &from)
{
    for (Text Name::*piece :
         {&Name::prefix, &Name::nickname, &Name::surnamePrefix, &Name::suffix}) {
        if ((into.*piece).isEmpty())
            into.*piece = from.*piece;
    }
    if (into.type == NameType::None)
        into.type = from.type;
}

// Whether the row's parent key is a partner of a family the person is a child of (the root key
// for a family without partners), or the row is outside the line.
bool lineParentFits(const ModelSlice &tree, quint32 person)
{
    const PersonRow &row = tree.rows[person];
    if (row.PrntKey.isEmpty())
        return true;
    for (quint32 l : tree.model.parentLinksOf(person)) {
        const Family &family = tree.model.families[tree.model.childLinks[l].family];
        if (family.partner[0] == kNoIndex && family.partner[1] == kNoIndex) {
            if (IsRootKey(row.PrntKey))
                return true;
            continue;
        }
        for (quint32 p : family.partner) {
            if (p != kNoIndex && p < tree.rows.size() && tree.rows[p].ID == row.PrntKey)
                return true;
        }
    }
    return false;
}

struct Merger
{
    ModelSlice &t;
    TreeModel &m;
    quint32 keep, other;
    const Choice &choice;
    PersonRow K, O;
    QStringList &done;
    std::vector<quint32> goneEvents, goneNames;
    std::vector<quint32> front, back, added;

    // The row's value of the side taken, and the alternate of the other side.
    const PersonRow &winner(Field f) const { return choice.other(f) ? O : K; }
    const PersonRow &loser(Field f) const { return choice.other(f) ? K : O; }
    bool keepsAlternate(Field f) const
    {
        const quint32 l = choice.other(f) ? keep : other;
        return !isEmpty(t, l, f) && !same(t, keep, other, f) && !choice.drop(f);
    }
    QString value(Field f, const PersonRow &row) const
    {
        QStringList parts;
        for (QString PersonRow::*column : columnsOf(f)) {
            if (!(row.*column).trimmed().isEmpty())
                parts << (row.*column).trimmed();
        }
        return parts.join(f == Field::Name || f == Field::Partner ? QStringLiteral(" ")
                                                                  : QStringLiteral(", "));
    }
    void dropped(Field f)
    {
        const quint32 l = choice.other(f) ? keep : other;
        if (choice.drop(f) && !isEmpty(t, l, f) && !same(t, keep, other, f))
            done << QStringLiteral("Dropped the %1 '%2'")
                        .arg(fieldLabel(f).toLower(), value(f, loser(f)));
    }

    quint32 newEvent(EventTypes::Id type)
    {
        Event event;
        event.owner = Ref(Kind::Person, keep);
        event.type = type;
        const quint32 e = m.events.add(event);
        added.push_back(e);
        return e;
    }

    // The first birth or death: the row's record of the winner, the loser's value a second one.
    void firstEvent(Field f, EventTypes::Id type, QString PersonRow::*date,
                    QString PersonRow::*place)
    {
        const quint32 k = RowRules::firstEvent(m, Ref(Kind::Person, keep), type);
        const quint32 o = RowRules::firstEvent(m, Ref(Kind::Person, other), type);
        quint32 w = choice.other(f) ? o : k;
        quint32 l = choice.other(f) ? k : o;
        if (keepsAlternate(f)) {
            if (l == kNoIndex)
                l = newEvent(type);
            Event event = m.events[l];
            setDate(m, event, loser(f).*date);
            const QString where = (loser(f).*place).trimmed();
            event.place = where.isEmpty() ? kNoIndex : m.place(where.toUtf8());
            m.events.edit(l) = event;
            if (w == kNoIndex)
                w = newEvent(type);
            done << QStringLiteral("Kept the other %1 '%2' as a second %1")
                        .arg(fieldLabel(f).toLower(), value(f, loser(f)));
        } else if (l != kNoIndex) {
            if (w != kNoIndex) {
                ModelRemap::redirect(m, Kind::Event, l, w);
                goneEvents.push_back(l);
            } else {
                w = l;
            }
        }
        dropped(f);
        if (w != kNoIndex)
            front.push_back(w);
    }

    void residence()
    {
        const Field f = Field::Residence;
        const quint32 k = RowRules::rowResidence(m, keep);
        const quint32 o = RowRules::rowResidence(m, other);
        quint32 w = choice.other(f) ? o : k;
        quint32 l = choice.other(f) ? k : o;
        const bool winnerEmpty = value(f, winner(f)).isEmpty();
        if (keepsAlternate(f)) {
            if (l == kNoIndex)
                l = newEvent(EventTypes::residence());
            Event event = m.events[l];
            event.flags &= quint8(~Event::RowResidence);
            EventDetail detail;
            if (event.detail != kNoIndex)
                detail = m.eventDetails[event.detail];
            Address address;
            if (detail.address != kNoIndex)
                address = m.addresses[detail.address];
            address.line = m.text(loser(f).Laddress);
            address.city = m.text(loser(f).Lcity);
            address.country = m.text(loser(f).Lcountry);
            address.present = true;
            if (detail.address != kNoIndex)
                m.addresses.edit(detail.address) = address;
            else
                detail.address = m.addresses.add(address);
            if (event.detail != kNoIndex)
                m.eventDetails.edit(event.detail) = detail;
            else
                event.detail = m.eventDetails.add(detail);
            m.events.edit(l) = event;
            if (w == kNoIndex) {
                w = newEvent(EventTypes::residence());
                m.events.edit(w).flags |= Event::RowResidence;
            }
            done << QStringLiteral("Kept the other residence '%1' as an earlier residence")
                        .arg(value(f, loser(f)));
        } else if (l != kNoIndex) {
            if (w != kNoIndex) {
                ModelRemap::redirect(m, Kind::Event, l, w);
                goneEvents.push_back(l);
            } else if (!winnerEmpty) {
                w = l;
            } else {
                m.events.edit(l).flags &= quint8(~Event::RowResidence);
            }
        }
        dropped(f);
        if (w != kNoIndex)
            back.push_back(w);
    }

    void names()
    {
        const Field f = Field::Name;
        const quint32 k = RowRules::primaryName(m, keep);
        const quint32 o = RowRules::primaryName(m, other);
        quint32 w = choice.other(f) ? o : k;
        const quint32 l = choice.other(f) ? k : o;
        if (keepsAlternate(f)) {
            Name name;
            if (l != kNoIndex)
                name = m.names[l];
            name.person = keep;
            name.flags &= quint8(~Name::Primary);
            name.given = m.text(loser(f).Fname);
            name.surname = m.text(loser(f).Sname);
            if (name.type == NameType::None)
                name.type = NameType::Aka;
            if (l != kNoIndex)
                m.names.edit(l) = name;
            else
                m.names.add(name);
            done << QStringLiteral("Kept the other name '%1' as an alternate name")
                        .arg(value(f, loser(f)));
        } else if (l != kNoIndex) {
            if (w != kNoIndex) {
                Name kept = m.names[w];
                fillName(kept, m.names[l]);
                m.names.edit(w) = kept;
                ModelRemap::redirect(m, Kind::Name, l, w);
                goneNames.push_back(l);
            } else {
                w = l;
            }
        }
        dropped(f);
        // The primary name first among the survivor's names.
        std::vector<quint32> order;
        if (w != kNoIndex)
            order.push_back(w);
        for (quint32 p : {keep, other}) {
            for (quint32 n : m.namesOf(p)) {
                if (n != w)
                    order.push_back(n);
            }
        }
        for (quint32 n = 0; n < m.names.size(); ++n) {
            if (m.names[n].person == keep &&
                std::find(order.begin(), order.end(), n) == order.end())
                order.push_back(n); // added above
        }
        for (quint32 n : order)
            m.names.edit(n).person = keep;
        reorder(m, Kind::Name, m.names.size(), order);
        // Names that went are named by nothing: drop them (after the reorder, at their new
        // places).
        if (!goneNames.empty()) {
            std::vector<quint32> places = order;
            std::sort(places.begin(), places.end());
            std::vector<quint32> gone;
            for (size_t i = 0; i < order.size(); ++i) {
                if (std::find(goneNames.begin(), goneNames.end(), order[i]) != goneNames.end())
                    gone.push_back(places[i]);
            }
            ModelRemap::renumber(m, Kind::Name, ModelRemap::without(m.names.size(), gone));
        }
    }

    void notes(PersonRow &row)
    {
        const Field f = Field::Notes;
        const QString first = winner(f).Notes;
        const QString second = loser(f).Notes;
        row.Notes = first;
        if (!keepsAlternate(f)) {
            dropped(f);
            return;
        }
        if (first.trimmed().isEmpty()) {
            row.Notes = second;
            return;
        }
        row.Notes = first + RowRules::kNoteSeparator.toString() + second;
        done << QStringLiteral("Kept the other notes after the chosen ones");
        if (m.personCount() == 0)
            return;
        const quint32 firstPerson = choice.other(f) ? other : keep;
        const quint32 secondPerson = choice.other(f) ? keep : other;
        std::vector<NoteBreak> breaks;
        for (quint32 b : m.noteBreaksOf(firstPerson))
            breaks.push_back({keep, m.noteBreaks[b].offset});
        breaks.push_back({keep, quint32(first.size())});
        for (quint32 b : m.noteBreaksOf(secondPerson))
            breaks.push_back({keep, quint32(m.noteBreaks[b].offset + first.size() +
                                            RowRules::kNoteSeparator.size())});
        ModelRemap::filter(m.noteBreaks, [&](quint32 i) {
            return m.noteBreaks[i].person != keep && m.noteBreaks[i].person != other;
        });
        for (const NoteBreak &b : breaks)
            m.noteBreaks.add(b);
    }

    void events()
    {
        std::vector<quint32> order = front;
        auto add = [&](quint32 e) {
            if (std::find(order.begin(), order.end(), e) == order.end() &&
                std::find(back.begin(), back.end(), e) == back.end())
                order.push_back(e);
        };
        for (quint32 p : {keep, other}) {
            const std::vector<quint32> owned(m.eventsOf(Ref(Kind::Person, p)).begin(),
                                             m.eventsOf(Ref(Kind::Person, p)).end());
            for (quint32 e : owned)
                add(e);
        }
        for (quint32 e : added)
            add(e);
        for (quint32 e : back)
            order.push_back(e);
        for (quint32 e : order)
            m.events.edit(e).owner = Ref(Kind::Person, keep);
        std::vector<quint32> places = order;
        std::sort(places.begin(), places.end());
        reorder(m, Kind::Event, m.events.size(), order);
        if (!goneEvents.empty()) {
            std::vector<quint32> gone;
            for (size_t i = 0; i < order.size(); ++i) {
                if (std::find(goneEvents.begin(), goneEvents.end(), order[i]) != goneEvents.end())
                    gone.push_back(places[i]);
            }
            ModelRemap::renumber(m, Kind::Event, ModelRemap::without(m.events.size(), gone));
        }
    }
};

} // namespace

QString fieldLabel(Field field)
{
    switch (field) {
    case Field::Name:
        return QStringLiteral("Name");
    case Field::Birth:
        return QStringLiteral("Birth");
    case Field::Death:
        return QStringLiteral("Death");
    case Field::Residence:
        return QStringLiteral("Residence");
    case Field::Notes:
        return QStringLiteral("Notes");
    case Field::Parent:
        return QStringLiteral("Parent");
    case Field::Partner:
        return QStringLiteral("Partner");
    case Field::Sex:
        return QStringLiteral("Sex");
    default:
        return {};
    }
}

QString fieldValue(const ModelSlice &tree, quint32 person, Field field)
{
    if (person >= tree.rows.size())
        return {};
    if (field == Field::Sex)
        return Vocabulary::sexLabel(sexOf(tree, person));
    QStringList parts;
    for (QString PersonRow::*column : columnsOf(field)) {
        const QString text = (tree.rows[person].*column).trimmed();
        if (!text.isEmpty())
            parts << text;
    }
    return parts.join(field == Field::Name || field == Field::Partner ? QStringLiteral(" ")
                                                                      : QStringLiteral(", "));
}

Choice defaultChoice(const ModelSlice &tree, quint32 keep, quint32 other)
{
    Choice choice;
    if (keep >= tree.rows.size() || other >= tree.rows.size())
        return choice;
    for (int f = 0; f < kFieldCount; ++f)
        choice.takeOther[size_t(f)] =
            isEmpty(tree, keep, Field(f)) && !isEmpty(tree, other, Field(f));
    // A root's parent key says less than a parent's.
    const QString &k = tree.rows[keep].PrntKey;
    const QString &o = tree.rows[other].PrntKey;
    if (IsRootKey(k) && !o.isEmpty() && !IsRootKey(o) && o != tree.rows[keep].ID)
        choice.takeOther[size_t(Field::Parent)] = true;
    return choice;
}

Result<Outcome> merge(ModelSlice &tree, quint32 keep, quint32 other, const Choice &given)
{
    if (keep >= tree.rows.size() || other >= tree.rows.size())
        return Error(ErrorCode::Missing, QStringLiteral("The tree has no such person."));
    if (keep == other)
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("A person cannot be merged with themself ('%1').")
                         .arg(tree.rows[keep].ID));
    const bool hadModel = tree.model.personCount() > 0;
    if (hadModel && tree.model.personCount() != tree.rows.size())
        return Error(ErrorCode::Damaged,
                     QStringLiteral("The tree's side records do not match its rows."));
    Choice choice = given;
    // An empty address is no residence to keep over another one (the other's earlier
    // residences with an address would be left without the row's after them).
    {
        const quint32 w = choice.other(Field::Residence) ? other : keep;
        const quint32 l = choice.other(Field::Residence) ? keep : other;
        if (isEmpty(tree, w, Field::Residence) && !isEmpty(tree, l, Field::Residence))
            choice.takeOther[size_t(Field::Residence)] = !choice.other(Field::Residence);
    }

    ModelSlice work = tree;
    Outcome outcome;
    Merger merger{
        work, work.model, keep, other, choice, tree.rows[keep], tree.rows[other], outcome.done,
        {},   {},         {},   {},    {}};
    TreeModel &m = work.model;
    const PersonRow &K = merger.K;
    const PersonRow &O = merger.O;
    outcome.done << QStringLiteral("Merged %1 into %2").arg(O.ID, K.ID);

    bool alternates = false;
    for (Field f : {Field::Name, Field::Birth, Field::Death, Field::Residence})
        alternates = alternates || merger.keepsAlternate(f);
    if (!hadModel && alternates) {
        m.persons.resize(work.rows.size());
        outcome.madeModel = true;
    }
    const bool model = m.personCount() > 0;

    PersonRow row = K;
    for (Field f : {Field::Name, Field::Birth, Field::Death, Field::Residence, Field::Parent,
                    Field::Partner}) {
        for (QString PersonRow::*column : columnsOf(f))
            row.*column = merger.winner(f).*column;
    }
    merger.notes(row);

    if (model) {
        merger.firstEvent(Field::Birth, EventTypes::birth(), &PersonRow::Bdate, &PersonRow::Bplace);
        merger.firstEvent(Field::Death, EventTypes::death(), &PersonRow::Ddate, &PersonRow::Dplace);
        merger.residence();
        merger.names();
        merger.events();
        PersonSide side = m.persons[keep];
        const PersonSide &o = m.persons[other];
        if (choice.other(Field::Sex))
            side.sex = o.sex;
        side.privacy |= o.privacy;
        if (choice.other(Field::Name))
            side.flags = o.flags;
        m.persons.edit(keep) = side;
        ModelRemap::redirect(m, Kind::Person, other, keep);
        RecordMerge::tidy(work, outcome.done, keep);
    } else {
        for (Field f : {Field::Name, Field::Birth, Field::Death, Field::Residence, Field::Sex})
            merger.dropped(f);
    }

    // The other's row goes.
    if (model)
        ModelRemap::renumber(m, Kind::Person, ModelRemap::without(m.personCount(), {other}));
    work.rows.erase(work.rows.begin() + other);
    const quint32 s = keep > other ? keep - 1 : keep;
    outcome.survivor = s;

    // Parent keys: OTHER's children are KEEP's; nobody is their own parent.
    qsizetype children = 0;
    for (PersonRow &r : work.rows) {
        if (r.PrntKey == O.ID) {
            r.PrntKey = K.ID;
            ++children;
        }
    }
    if (children > 0)
        outcome.done << (children == 1
                             ? QStringLiteral("1 child of %1 is now a child of %2").arg(O.ID, K.ID)
                             : QStringLiteral("%1 children of %2 are now children of %3")
                                   .arg(QString::number(children), O.ID, K.ID));
    if (row.PrntKey == O.ID || row.PrntKey == K.ID) {
        const QString unchosen = merger.loser(Field::Parent).PrntKey;
        row.PrntKey =
            unchosen != O.ID && unchosen != K.ID && !unchosen.isEmpty() ? unchosen : kRootKey;
    }
    row.ID = K.ID;
    work.rows[s] = row;
    if (model && !m.parentLinksOf(s).empty()) {
        // The families the survivor is a child of decide the line parent where the key is
        // none of theirs.
        if (!lineParentFits(work, s)) {
            const RowRules::LineChoice line = RowRules::lineOf(m, s);
            if (line.kind == RowRules::LineChoice::Kind::Parent && line.parent < work.rows.size())
                work.rows[s].PrntKey = work.rows[line.parent].ID;
            else if (line.kind == RowRules::LineChoice::Kind::Root)
                work.rows[s].PrntKey = kRootKey;
        }
    }
    if (model) {
        // The survivor's name may have changed: the rows naming it as partner follow.
        RecordMerge::followPartnerColumns(work, s);
        for (quint32 f : m.partnershipsOf(s)) {
            const quint32 partner = m.otherPartner(m.partnerships[f].family, s);
            if (partner != kNoIndex)
                RecordMerge::followPartnerColumns(work, partner);
        }
    }

    // Nobody is their own ancestor.
    QHash<QString, qsizetype> byKey;
    for (qsizetype i = 0; i < qsizetype(work.rows.size()); ++i)
        byKey.insert(work.rows[size_t(i)].ID, i);
    QString up = work.rows[s].PrntKey;
    for (size_t steps = 0; steps <= work.rows.size() && byKey.contains(up); ++steps) {
        if (up == K.ID)
            return Error(ErrorCode::InvalidInput,
                         QStringLiteral("%1 and %2 cannot be merged: %1 would be their own "
                                        "ancestor.")
                             .arg(K.ID, O.ID));
        up = work.rows[size_t(byKey.value(up))].PrntKey;
    }
    tree = std::move(work);
    return outcome;
}

} // namespace Genealogy::PersonMerge
