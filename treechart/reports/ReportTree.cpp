#include "ReportTree.h"

#include "DateOrder.h"
#include "FamilyKeys.h"
#include "RowRules.h"

#include <QRegularExpression>

namespace Reports {

using namespace Genealogy;

QString yearOf(const QString &date)
{
    if (date.trimmed().isEmpty())
        return QString();
    const DateValue value = GedcomDate::parse(date);
    if (value.isDate() && value.first.valid && value.first.year != 0)
        return value.first.bce ? QStringLiteral("%1 BC").arg(value.first.year)
                               : QString::number(value.first.reckonedYear());
    static const QRegularExpression year(QStringLiteral("\\b(\\d{3,4})\\b"));
    const QRegularExpressionMatch match = year.match(date);
    return match.hasMatch() ? match.captured(1) : QString();
}

namespace {

// Events in the order of their dates, as the information panel lists them.
std::vector<quint32> inDateOrder(const TreeModel &model, std::span<const quint32> events)
{
    const std::vector<size_t> order =
        dateOrder(events.size(), [&](size_t i, qint32 &from, qint32 &to) {
            from = model.events[events[i]].sortFrom;
            to = model.events[events[i]].sortTo;
        });
    std::vector<quint32> sorted;
    sorted.reserve(order.size());
    for (const size_t i : order)
        sorted.push_back(events[i]);
    return sorted;
}

} // namespace

ReportTree::ReportTree(ModelSlice slice) : m_slice(std::move(slice))
{
    const std::vector<FamilyKeys> families =
        hasModel() ? familyKeysOf(m_slice.model, m_slice.rows) : std::vector<FamilyKeys>();
    m_links = KinshipIndex::build(m_slice.rows, families);
    if (hasModel()) {
        for (int p = 0; p < count(); ++p)
            m_links.setSex(p, m_slice.model.persons[quint32(p)].sex);
    }
}

QString ReportTree::fullName(int person) const
{
    const PersonRow &r = row(person);
    const QString name = (r.Fname.trimmed() + QLatin1Char(' ') + r.Sname.trimmed()).trimmed();
    return name.isEmpty() ? QStringLiteral("(no name)") : name;
}

QString ReportTree::givenName(int person) const
{
    const QString given = row(person).Fname.trimmed();
    return given.isEmpty() ? fullName(person) : given;
}

QString ReportTree::indexName(int person) const
{
    const PersonRow &r = row(person);
    const QString surname = r.Sname.trimmed();
    const QString given = r.Fname.trimmed();
    if (surname.isEmpty())
        return given.isEmpty() ? QStringLiteral("(no name)") : given;
    return given.isEmpty() ? surname : surname + QStringLiteral(", ") + given;
}

QString ReportTree::years(int person) const
{
    const QString born = yearOf(row(person).Bdate);
    const QString died = yearOf(row(person).Ddate);
    if (born.isEmpty() && died.isEmpty())
        return QString();
    return QStringLiteral("(%1\u2013%2)").arg(born, died);
}

std::vector<quint32> ReportTree::citationsOf(Ref owner) const
{
    if (!hasModel())
        return {};
    const std::span<const quint32> found = m_slice.model.citationsOf(owner);
    return {found.begin(), found.end()};
}

Fact ReportTree::birth(int person) const
{
    Fact fact;
    fact.label = QStringLiteral("Birth");
    fact.date = row(person).Bdate.trimmed();
    fact.place = row(person).Bplace.trimmed();
    if (hasModel()) {
        const quint32 first = RowRules::firstEvent(
            m_slice.model, Ref(Kind::Person, quint32(person)), EventTypes::birth());
        if (first != kNoIndex)
            fact.citations = citationsOf(Ref(Kind::Event, first));
    }
    return fact;
}

Fact ReportTree::death(int person, bool *known) const
{
    Fact fact;
    fact.label = QStringLiteral("Death");
    fact.date = row(person).Ddate.trimmed();
    fact.place = row(person).Dplace.trimmed();
    bool record = false;
    if (hasModel()) {
        const quint32 first = RowRules::firstEvent(
            m_slice.model, Ref(Kind::Person, quint32(person)), EventTypes::death());
        if (first != kNoIndex) {
            record = true;
            fact.citations = citationsOf(Ref(Kind::Event, first));
        }
    }
    if (known)
        *known = record || !fact.date.isEmpty() || !fact.place.isEmpty();
    return fact;
}

Fact ReportTree::eventFact(quint32 event) const
{
    const TreeModel &m = m_slice.model;
    const Event &e = m.events[event];
    Fact fact;
    fact.label = EventTypes::label(e.type);
    if (e.detail != kNoIndex) {
        // A general event is named by its type; any other keeps its kind ("Burial (at sea)").
        const QString type = m.string(m.eventDetails[e.detail].type);
        const QByteArrayView tag = EventTypes::tag(e.type);
        const bool general = tag == QByteArrayView("EVEN") || tag == QByteArrayView("FACT");
        if (!type.isEmpty())
            fact.label = general ? type : fact.label + QStringLiteral(" (") + type + u')';
    }
    fact.value = m.string(e.value);
    // An event's "Y" says only that it happened; "N" that it did not (nothing to tell).
    if (!EventTypes::isAttribute(e.type) && fact.value == QLatin1String("N"))
        fact.label.clear();
    if (!EventTypes::isAttribute(e.type) &&
        (fact.value == QLatin1String("Y") || fact.value == QLatin1String("N")))
        fact.value.clear();
    fact.date = m.string(e.date);
    if (e.place != kNoIndex)
        fact.place = m.string(m.places[e.place].name);
    fact.citations = citationsOf(Ref(Kind::Event, event));
    return fact;
}

std::vector<Fact> ReportTree::otherFacts(int person) const
{
    std::vector<Fact> facts;
    if (!hasModel())
        return facts;
    const Ref owner(Kind::Person, quint32(person));
    const quint32 firstBirth = RowRules::firstEvent(m_slice.model, owner, EventTypes::birth());
    const quint32 firstDeath = RowRules::firstEvent(m_slice.model, owner, EventTypes::death());
    for (quint32 e : inDateOrder(m_slice.model, m_slice.model.eventsOf(owner))) {
        if (e == firstBirth || e == firstDeath)
            continue;
        Fact fact = eventFact(e);
        if (!fact.label.isEmpty())
            facts.push_back(std::move(fact));
    }
    return facts;
}

std::vector<quint32> ReportTree::ownCitations(int person) const
{
    std::vector<quint32> out = citationsOf(Ref(Kind::Person, quint32(person)));
    if (hasModel()) {
        for (quint32 n : m_slice.model.namesOf(quint32(person))) {
            for (quint32 c : citationsOf(Ref(Kind::Name, n)))
                out.push_back(c);
        }
    }
    return out;
}

std::vector<ReportTree::Partnership> ReportTree::partnerships(int person) const
{
    std::vector<Partnership> out;
    const std::span<const int> children = m_links.children(person);
    std::vector<bool> placed(children.size(), false);
    if (hasModel()) {
        const TreeModel &m = m_slice.model;
        for (quint32 f : m.partnershipsOf(quint32(person))) {
            Partnership p;
            p.family = m.partnerships[f].family;
            const quint32 other = m.otherPartner(p.family, quint32(person));
            p.partner = other == kNoIndex ? -1 : int(other);
            if (p.partner >= 0)
                p.partnerName = fullName(p.partner);
            for (quint32 e : inDateOrder(m, m.eventsOf(Ref(Kind::Family, p.family)))) {
                Fact fact = eventFact(e);
                if (!fact.label.isEmpty())
                    p.facts.push_back(std::move(fact));
            }
            p.citations = citationsOf(Ref(Kind::Family, p.family));
            // The children of this family, in the family's order.
            for (quint32 l : m.childLinksOf(p.family)) {
                const int child = int(m.childLinks[l].child);
                for (size_t i = 0; i < children.size(); ++i) {
                    if (!placed[i] && children[i] == child) {
                        placed[i] = true;
                        p.children.push_back(child);
                    }
                }
            }
            out.push_back(std::move(p));
        }
    } else {
        const PersonRow &r = row(person);
        const QString partner =
            (r.PrtFname.trimmed() + QLatin1Char(' ') + r.PrtSname.trimmed()).trimmed();
        if (!partner.isEmpty()) {
            Partnership p;
            p.partnerName = partner;
            out.push_back(std::move(p));
        }
    }
    // Children by PrntKey alone, or by a family the person is not a partner of.
    std::vector<int> rest;
    for (size_t i = 0; i < children.size(); ++i) {
        if (!placed[i])
            rest.push_back(children[i]);
    }
    if (!rest.empty()) {
        if (!hasModel() && !out.empty()) {
            out.front().children = std::move(rest);
        } else {
            Partnership alone;
            alone.children = std::move(rest);
            out.push_back(std::move(alone));
        }
    }
    return out;
}

std::pair<int, int> ReportTree::parents(int person) const
{
    int father = -1;
    int mother = -1;
    std::vector<int> unknown;
    for (int parent : m_links.parents(person)) {
        const Sex s = sex(parent);
        if (s == Sex::Male && father < 0)
            father = parent;
        else if (s == Sex::Female && mother < 0)
            mother = parent;
        else
            unknown.push_back(parent);
    }
    for (int parent : unknown) {
        if (father < 0)
            father = parent;
        else if (mother < 0)
            mother = parent;
    }
    return {father, mother};
}

} // namespace Reports
