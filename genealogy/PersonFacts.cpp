#include "PersonFacts.h"

#include "DateOrder.h"
#include "GedcomDate.h"
#include "RowRules.h"

#include <algorithm>

namespace Genealogy {

namespace {

QString joined(const QString &first, const QString &last)
{
    return (first + QLatin1Char(' ') + last).trimmed();
}

class FactReader
{
public:
    FactReader(const ModelSlice &slice, const FamilyKeyOf &familyKey)
        : m_slice(slice), m_model(slice.model), m_familyKey(familyKey)
    {
    }

    PersonFacts read()
    {
        PersonFacts facts;
        const quint32 p = m_slice.person;
        if (p >= m_slice.rows.size())
            return facts;
        const PersonRow &row = m_slice.rows[p];
        facts.person = person(p);
        if (p < m_model.personCount())
            facts.sex = m_model.persons[p].sex;
        readNames(facts, p);
        readParents(facts, p, row);
        readFamilies(facts, p, row);
        facts.events = personEvents(p, row);
        readCitations(facts, p);
        facts.notes = RowRules::splitNotes(m_model, p, row.Notes);
        for (quint32 l : m_model.noteLinksOf(Ref(Kind::Person, p))) {
            const quint32 n = m_model.noteLinks[l].note;
            if (n < m_model.notes.size())
                facts.notes.append(m_model.string(m_model.notes[n].text));
        }
        for (quint32 l : m_model.mediaLinksOf(Ref(Kind::Person, p))) {
            const quint32 m = m_model.mediaLinks[l].media;
            if (m < m_model.media.size())
                facts.media.push_back({m_model.string(m_model.media[m].file),
                                       m_model.string(m_model.media[m].title)});
        }
        return facts;
    }

private:
    FactPerson person(quint32 index) const
    {
        FactPerson who;
        if (index < m_slice.rows.size()) {
            const PersonRow &row = m_slice.rows[index];
            who.key = row.ID;
            who.name = joined(row.Fname, row.Sname);
            who.inSlice = true;
        }
        return who;
    }

    // A person named by key alone (the row's parent key): linked when the slice has the row.
    FactPerson personByKey(const QString &key) const
    {
        for (quint32 i = 0; i < m_slice.rows.size(); ++i) {
            if (m_slice.rows[i].ID == key)
                return person(i);
        }
        FactPerson who;
        who.key = key;
        return who;
    }

    QString familyKey(quint32 family) const
    {
        return m_familyKey ? m_familyKey(family) : QStringLiteral("F%1").arg(family + 1);
    }

    void readNames(PersonFacts &facts, quint32 p) const
    {
        for (quint32 n : m_model.namesOf(p)) {
            const Name &name = m_model.names[n];
            if (name.flags & Name::Primary)
                continue;
            FactName fact;
            fact.text = (name.flags & Name::HasValue)
                            ? m_model.string(name.value).remove(QLatin1Char('/')).simplified()
                            : joined(m_model.string(name.given), m_model.string(name.surname));
            fact.type = name.type == NameType::Other && !name.typeText.isEmpty()
                            ? m_model.string(name.typeText)
                            : Vocabulary::nameTypeLabel(name.type);
            facts.otherNames.push_back(fact);
        }
    }

    void readParents(PersonFacts &facts, quint32 p, const PersonRow &row) const
    {
        for (quint32 l : m_model.parentLinksOf(p)) {
            const ChildLink &link = m_model.childLinks[l];
            if (link.family >= m_model.families.size())
                continue;
            const Family &family = m_model.families[link.family];
            FactParents parents;
            parents.familyKey = familyKey(link.family);
            for (int i = 0; i < 2; ++i) {
                parents.partner[i] = person(family.partner[i]);
                parents.relation[i] = link.relation[i];
            }
            parents.phrase = m_model.string(link.phrase);
            facts.parents.push_back(parents);
        }
        // A child in no family: the row's parent key says who the parent is.
        if (facts.parents.empty() && !row.PrntKey.isEmpty() && !IsRootKey(row.PrntKey)) {
            FactParents parents;
            parents.partner[0] = personByKey(row.PrntKey);
            facts.parents.push_back(parents);
        }
    }

    void readFamilies(PersonFacts &facts, quint32 p, const PersonRow &row) const
    {
        for (quint32 s : m_model.partnershipsOf(p)) {
            const quint32 f = m_model.partnerships[s].family;
            if (f >= m_model.families.size())
                continue;
            FactFamily family;
            family.familyKey = familyKey(f);
            family.partner = person(m_model.otherPartner(f, p));
            family.relation = m_model.families[f].relation;
            family.events = ownEvents(Ref(Kind::Family, f));
            sortByDate(family.events);
            for (quint32 l : m_model.childLinksOf(f))
                family.children.push_back(person(m_model.childLinks[l].child));
            facts.families.push_back(std::move(family));
        }
        // A partner in no family keeps what its partner columns hold.
        if (facts.families.empty() && !joined(row.PrtFname, row.PrtSname).isEmpty()) {
            FactFamily family;
            family.partner.name = joined(row.PrtFname, row.PrtSname);
            facts.families.push_back(family);
        }
    }

    FactEvent event(quint32 e) const
    {
        const Event &ev = m_model.events[e];
        FactEvent fact;
        fact.tag = QString::fromLatin1(EventTypes::tag(ev.type));
        fact.label = EventTypes::label(ev.type);
        QString phrase;
        QString type;
        if (ev.detail < m_model.eventDetails.size()) {
            const EventDetail &detail = m_model.eventDetails[ev.detail];
            phrase = m_model.string(detail.datePhrase);
            type = m_model.string(detail.type);
        }
        fact.date = GedcomDate::rowText(m_model.string(ev.date), phrase);
        if (ev.place < m_model.places.size())
            fact.place = m_model.string(m_model.places[ev.place].name);
        QString value = m_model.string(ev.value);
        if (!EventTypes::isAttribute(ev.type)) {
            // "1 DEAT Y" says only that it happened; "1 DIV N" that it did not.
            if (value == QLatin1String("Y"))
                value.clear();
            else if (value == QLatin1String("N"))
                value = QStringLiteral("did not happen");
        }
        if (!type.isEmpty() &&
            (fact.tag == QLatin1String("EVEN") || fact.tag == QLatin1String("FACT")))
            fact.label = type;
        fact.description =
            type.isEmpty() || value.isEmpty() ? type + value : type + QStringLiteral(": ") + value;
        fact.cited = !m_model.citationsOf(Ref(Kind::Event, e)).empty();
        fact.sortFrom = ev.sortFrom;
        fact.sortTo = ev.sortTo;
        return fact;
    }

    std::vector<FactEvent> ownEvents(Ref owner) const
    {
        std::vector<FactEvent> events;
        for (quint32 e : m_model.eventsOf(owner))
            events.push_back(event(e));
        return events;
    }

    static FactEvent rowEvent(EventTypes::Id type, const QString &date, const QString &place)
    {
        FactEvent fact;
        fact.tag = QString::fromLatin1(EventTypes::tag(type));
        fact.label = EventTypes::label(type);
        fact.date = date;
        fact.place = place;
        const DateRange range = GedcomDate::range(GedcomDate::parse(date));
        fact.sortFrom = range.from;
        fact.sortTo = range.to;
        return fact;
    }

    // The person's events: the row's birth and death with their records, the others as stored.
    std::vector<FactEvent> personEvents(quint32 p, const PersonRow &row) const
    {
        const Ref owner(Kind::Person, p);
        const quint32 birth = RowRules::firstEvent(m_model, owner, EventTypes::birth());
        const quint32 death = RowRules::firstEvent(m_model, owner, EventTypes::death());
        const quint32 residence = RowRules::rowResidence(m_model, p);
        std::vector<FactEvent> events;
        if (birth == kNoIndex && !(row.Bdate.isEmpty() && row.Bplace.isEmpty()))
            events.push_back(rowEvent(EventTypes::birth(), row.Bdate, row.Bplace));
        for (quint32 e : m_model.eventsOf(owner)) {
            FactEvent fact = event(e);
            if (e == birth || e == death) {
                const bool isBirth = e == birth;
                const FactEvent fromRow =
                    isBirth ? rowEvent(EventTypes::birth(), row.Bdate, row.Bplace)
                            : rowEvent(EventTypes::death(), row.Ddate, row.Dplace);
                fact.date = fromRow.date;
                fact.place = fromRow.place;
                fact.sortFrom = fromRow.sortFrom;
                fact.sortTo = fromRow.sortTo;
            }
            if (e == residence) {
                QStringList address;
                for (const QString &part : {row.Laddress, row.Lcity, row.Lcountry}) {
                    if (!part.trimmed().isEmpty())
                        address.append(part.trimmed());
                }
                const QString where = address.join(QStringLiteral(", "));
                fact.description = fact.description.isEmpty() || where.isEmpty()
                                       ? fact.description + where
                                       : fact.description + QStringLiteral("; ") + where;
            }
            events.push_back(fact);
        }
        if (death == kNoIndex && !(row.Ddate.isEmpty() && row.Dplace.isEmpty())) {
            // A death the row alone holds goes before a burial or cremation, so that one stored
            // without a date stays after it.
            const auto afterDeath =
                std::find_if(events.begin(), events.end(), [](const FactEvent &event) {
                    return event.tag == QLatin1String("BURI") || event.tag == QLatin1String("CREM");
                });
            events.insert(afterDeath, rowEvent(EventTypes::death(), row.Ddate, row.Dplace));
        }
        sortByDate(events);
        return events;
    }

    // In the order of their dates (dateOrder).
    static void sortByDate(std::vector<FactEvent> &events)
    {
        const std::vector<size_t> order =
            dateOrder(events.size(), [&events](size_t i, qint32 &from, qint32 &to) {
                from = events[i].sortFrom;
                to = events[i].sortTo;
            });
        std::vector<FactEvent> sorted;
        sorted.reserve(events.size());
        for (const size_t i : order)
            sorted.push_back(std::move(events[i]));
        events = std::move(sorted);
    }

    void addCitations(PersonFacts &facts, Ref owner) const
    {
        for (quint32 c : m_model.citationsOf(owner)) {
            const Citation &citation = m_model.citations[c];
            FactCitation fact;
            if (citation.source < m_model.sources.size()) {
                const Source &source = m_model.sources[citation.source];
                fact.source = m_model.string(source.title);
                if (fact.source.isEmpty())
                    fact.source = m_model.string(source.abbreviation);
            }
            fact.page = m_model.string(citation.page);
            facts.citations.push_back(fact);
        }
    }

    void readCitations(PersonFacts &facts, quint32 p) const
    {
        addCitations(facts, Ref(Kind::Person, p));
        for (quint32 n : m_model.namesOf(p))
            addCitations(facts, Ref(Kind::Name, n));
        for (quint32 e : m_model.eventsOf(Ref(Kind::Person, p)))
            addCitations(facts, Ref(Kind::Event, e));
        for (quint32 a : m_model.associationsOf(p))
            addCitations(facts, Ref(Kind::Association, a));
        for (quint32 l : m_model.parentLinksOf(p))
            addCitations(facts, Ref(Kind::ChildLink, l));
        for (quint32 s : m_model.partnershipsOf(p)) {
            const quint32 f = m_model.partnerships[s].family;
            addCitations(facts, Ref(Kind::Family, f));
            for (quint32 e : m_model.eventsOf(Ref(Kind::Family, f)))
                addCitations(facts, Ref(Kind::Event, e));
        }
    }

    const ModelSlice &m_slice;
    const TreeModel &m_model;
    const FamilyKeyOf &m_familyKey;
};

// One value on one line: line breaks become the two characters \n.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    text.replace(QLatin1Char('\r'), QStringLiteral("\\n"));
    return text;
}

QString eventLine(const FactEvent &event)
{
    return QStringLiteral("event: ") + event.tag + QStringLiteral(" | ") + oneLine(event.date) +
           QStringLiteral(" | ") + oneLine(event.place) + QStringLiteral(" | ") +
           oneLine(event.description);
}

} // namespace

PersonFacts personFacts(const ModelSlice &slice, const FamilyKeyOf &familyKey)
{
    return FactReader(slice, familyKey).read();
}

QString relationText(ChildRelation relation, const QString &phrase)
{
    if (relation == ChildRelation::Other && !phrase.isEmpty())
        return phrase;
    const QString label = Vocabulary::childRelationLabel(relation);
    return label.isEmpty() ? QStringLiteral("unstated") : label;
}

QStringList factLines(const PersonFacts &facts)
{
    QStringList lines;
    if (facts.person.key.isEmpty())
        return lines;
    lines.append(QStringLiteral("name: ") + oneLine(facts.person.name));
    for (const FactName &name : facts.otherNames) {
        lines.append(
            QStringLiteral("name: ") + oneLine(name.text) +
            (name.type.isEmpty() ? QString() : QStringLiteral(" | ") + oneLine(name.type)));
    }
    if (const QString sex = Vocabulary::sexLabel(facts.sex); !sex.isEmpty())
        lines.append(QStringLiteral("sex: ") + sex);
    for (const FactParents &parents : facts.parents) {
        for (int i = 0; i < 2; ++i) {
            if (!parents.partner[i].key.isEmpty())
                lines.append(QStringLiteral("parent: ") + parents.partner[i].key +
                             QLatin1Char(' ') +
                             oneLine(relationText(parents.relation[i], parents.phrase)));
        }
    }
    for (const FactFamily &family : facts.families) {
        if (family.familyKey.isEmpty()) {
            lines.append(QStringLiteral("partner-name: ") + oneLine(family.partner.name));
            continue;
        }
        if (!family.partner.key.isEmpty())
            lines.append(QStringLiteral("partner: ") + family.partner.key +
                         QStringLiteral(" family ") + family.familyKey);
        for (const FactPerson &child : family.children)
            lines.append(QStringLiteral("child: ") + child.key + QStringLiteral(" family ") +
                         family.familyKey);
    }
    for (const FactEvent &event : facts.events)
        lines.append(eventLine(event));
    for (const FactFamily &family : facts.families) {
        for (const FactEvent &event : family.events)
            lines.append(eventLine(event) + QStringLiteral(" | family ") + family.familyKey);
    }
    for (const FactCitation &citation : facts.citations)
        lines.append(QStringLiteral("citation: ") + oneLine(citation.source) +
                     QStringLiteral(" | ") + oneLine(citation.page));
    for (const QString &note : facts.notes)
        lines.append(QStringLiteral("note: ") + oneLine(note));
    for (const FactMedia &media : facts.media)
        lines.append(
            QStringLiteral("media: ") + oneLine(media.file) +
            (media.title.isEmpty() ? QString() : QStringLiteral(" | ") + oneLine(media.title)));
    return lines;
}

} // namespace Genealogy
