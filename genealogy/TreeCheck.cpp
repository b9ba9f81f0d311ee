#include "TreeCheck.h"

#include "RowRules.h"

#include <QSet>

namespace Genealogy {

namespace {

class Checker
{
public:
    Checker(std::span<const PersonRow> rows, const TreeModel &model) : m_rows(rows), m_model(model)
    {
    }

    QStringList run()
    {
        if (m_model.personCount() != m_rows.size()) {
            say(QStringLiteral("the model has %1 persons for %2 rows")
                    .arg(m_model.personCount())
                    .arg(m_rows.size()));
            return m_lines;
        }
        owners();
        families();
        for (quint32 p = 0; p < m_rows.size(); ++p)
            person(p);
        return m_lines;
    }

private:
    void say(const QString &line) { m_lines.append(line); }
    QString who(quint32 person) const
    {
        if (person < m_rows.size())
            return QStringLiteral("person '%1'").arg(m_rows[person].ID);
        return QStringLiteral("person %1").arg(person);
    }
    bool personExists(quint32 p) const { return p < m_rows.size(); }
    bool hasRow(const QString &key)
    {
        if (m_ids.isEmpty()) {
            m_ids.reserve(qsizetype(m_rows.size()));
            for (const PersonRow &r : m_rows)
                m_ids.insert(r.ID);
        }
        return m_ids.contains(key);
    }

    // Whether a Ref names an existing record of one of the kinds.
    bool exists(Ref r) const
    {
        const quint32 i = r.index();
        switch (r.kind()) {
        case Kind::Person:
            return i < m_rows.size();
        case Kind::Family:
            return i < m_model.families.size();
        case Kind::Event:
            return i < m_model.events.size();
        case Kind::Name:
            return i < m_model.names.size();
        case Kind::Citation:
            return i < m_model.citations.size();
        case Kind::Association:
            return i < m_model.associations.size();
        case Kind::ChildLink:
            return i < m_model.childLinks.size();
        case Kind::Source:
            return i < m_model.sources.size();
        case Kind::Repository:
            return i < m_model.repositories.size();
        case Kind::Note:
            return i < m_model.notes.size();
        case Kind::Media:
            return i < m_model.media.size();
        case Kind::Place:
            return i < m_model.places.size();
        case Kind::Kept:
            return i < m_model.kept.size();
        case Kind::Header:
            return i == 0;
        case Kind::None:
        case Kind::Void:
            return false;
        }
        return false;
    }
    static QString describe(Ref r)
    {
        static const char *const kNames[] = {"none",   "person",      "family",      "event",
                                             "name",   "citation",    "association", "child link",
                                             "source", "repository",  "note",        "media",
                                             "place",  "kept record", "header",      "void"};
        return QStringLiteral("%1 %2").arg(QLatin1String(kNames[int(r.kind())])).arg(r.index());
    }

    void owners()
    {
        const TreeModel &m = m_model;
        for (quint32 i = 0; i < m.names.size(); ++i) {
            if (!personExists(m.names[i].person))
                say(QStringLiteral("name %1: its person %2 does not exist")
                        .arg(i)
                        .arg(m.names[i].person));
        }
        for (quint32 i = 0; i < m.events.size(); ++i) {
            const Event &e = m.events[i];
            if (!(e.owner.is(Kind::Person) || e.owner.is(Kind::Family)) || !exists(e.owner))
                say(QStringLiteral("event %1: its owner %2 does not exist")
                        .arg(i)
                        .arg(describe(e.owner)));
            if (e.place != kNoIndex && e.place >= m.places.size())
                say(QStringLiteral("event %1: its place %2 does not exist").arg(i).arg(e.place));
            if (e.detail != kNoIndex && e.detail >= m.eventDetails.size())
                say(QStringLiteral("event %1: its details %2 do not exist").arg(i).arg(e.detail));
        }
        for (quint32 i = 0; i < m.citations.size(); ++i) {
            const Citation &c = m.citations[i];
            if (!exists(c.owner))
                say(QStringLiteral("citation %1: its owner %2 does not exist")
                        .arg(i)
                        .arg(describe(c.owner)));
            if (c.source != kNoIndex && c.source >= m.sources.size())
                say(QStringLiteral("citation %1: its source %2 does not exist")
                        .arg(i)
                        .arg(c.source));
        }
        for (quint32 i = 0; i < m.noteLinks.size(); ++i) {
            const NoteLink &n = m.noteLinks[i];
            if (!exists(n.owner) || n.note >= m.notes.size())
                say(QStringLiteral("note link %1: its owner %2 or its note %3 does not exist")
                        .arg(i)
                        .arg(describe(n.owner))
                        .arg(n.note));
        }
        for (quint32 i = 0; i < m.mediaLinks.size(); ++i) {
            const MediaLink &l = m.mediaLinks[i];
            if (!exists(l.owner) || l.media >= m.media.size())
                say(QStringLiteral("media link %1: its owner %2 or its media %3 does not exist")
                        .arg(i)
                        .arg(describe(l.owner))
                        .arg(l.media));
        }
        for (quint32 i = 0; i < m.kept.size(); ++i) {
            const Kept &k = m.kept[i];
            if (!k.owner.isNull() && !exists(k.owner))
                say(QStringLiteral("kept structure %1: its owner %2 does not exist")
                        .arg(i)
                        .arg(describe(k.owner)));
            if (quint64(k.firstLine) + k.lineCount > m.keptLines.size() || k.lineCount == 0)
                say(QStringLiteral("kept structure %1: its lines do not exist").arg(i));
        }
        for (quint32 i = 0; i < m.keptLines.size(); ++i) {
            const KeptLine &l = m.keptLines[i];
            if (l.kind == KeptLine::Value::Pointer && !l.target.is(Kind::Void) && !exists(l.target))
                say(QStringLiteral("kept line %1: it points to %2, which does not exist")
                        .arg(i)
                        .arg(describe(l.target)));
        }
        for (quint32 i = 0; i < m.associations.size(); ++i) {
            const Association &a = m.associations[i];
            if (!personExists(a.person) || (a.target != kNoIndex && !personExists(a.target)))
                say(QStringLiteral(
                        "association %1: its person or the person it names does not exist")
                        .arg(i));
        }
        for (quint32 i = 0; i < m.repositoryLinks.size(); ++i) {
            const RepositoryLink &l = m.repositoryLinks[i];
            if (l.source >= m.sources.size() ||
                (l.repository != kNoIndex && l.repository >= m.repositories.size()))
                say(QStringLiteral("repository link %1: its source or repository does not exist")
                        .arg(i));
        }
        for (quint32 i = 0; i < m.noteBreaks.size(); ++i) {
            if (!personExists(m.noteBreaks[i].person))
                say(QStringLiteral("note break %1: its person does not exist").arg(i));
        }
    }

    void families()
    {
        const TreeModel &m = m_model;
        for (quint32 i = 0; i < m.partnerships.size(); ++i) {
            const Partnership &p = m.partnerships[i];
            if (!personExists(p.person) || p.family >= m.families.size()) {
                say(QStringLiteral("partnership %1: its person or family does not exist").arg(i));
                continue;
            }
            if (!m.isPartner(p.family, p.person))
                say(QStringLiteral("%1 is a partner of family %2, which does not name them")
                        .arg(who(p.person))
                        .arg(p.family));
        }
        for (quint32 f = 0; f < m.families.size(); ++f) {
            const Family &family = m.families[f];
            for (quint32 p : family.partner) {
                if (p == kNoIndex)
                    continue;
                if (!personExists(p)) {
                    say(QStringLiteral("family %1: its partner %2 does not exist").arg(f).arg(p));
                    continue;
                }
                bool listed = false;
                for (quint32 l : m.partnershipsOf(p))
                    listed = listed || m.partnerships[l].family == f;
                if (!listed)
                    say(QStringLiteral("family %1 names %2 as partner, who does not list it")
                            .arg(f)
                            .arg(who(p)));
            }
            if (family.partner[0] != kNoIndex && family.partner[0] == family.partner[1])
                say(QStringLiteral("family %1 names %2 twice").arg(f).arg(who(family.partner[0])));
        }
        for (quint32 i = 0; i < m.childLinks.size(); ++i) {
            const ChildLink &c = m.childLinks[i];
            if (c.family >= m.families.size() || !personExists(c.child))
                say(QStringLiteral("child link %1: its family or child does not exist").arg(i));
        }
    }

    void person(quint32 p)
    {
        const TreeModel &m = m_model;
        const PersonRow &row = m_rows[p];
        const Ref owner(Kind::Person, p);
        for (EventTypes::Id type : {EventTypes::birth(), EventTypes::death()}) {
            const quint32 e = RowRules::firstEvent(m, owner, type);
            if (e != kNoIndex && (!m.events[e].date.isEmpty() || m.events[e].place != kNoIndex))
                say(QStringLiteral("%1: the first %2 record has a date or place of its own "
                                   "(the row holds them)")
                        .arg(who(p), EventTypes::label(type).toLower()));
        }
        // Names.
        const std::span<const quint32> names = m.namesOf(p);
        for (size_t i = 0; i < names.size(); ++i) {
            const Name &n = m.names[names[i]];
            if ((n.flags & Name::Primary) && i != 0)
                say(QStringLiteral("%1: a primary name that is not the first").arg(who(p)));
            if ((n.flags & Name::Primary) && (!n.given.isEmpty() || !n.surname.isEmpty()))
                say(QStringLiteral("%1: the primary name has a given name or surname of its own "
                                   "(the row holds them)")
                        .arg(who(p)));
        }
        residence(p);
        // Partner columns.
        if (const auto columns = RowRules::partnerColumns(m, m_rows, p)) {
            if (row.PrtFname != columns->first || row.PrtSname != columns->second)
                say(QStringLiteral("%1: the partner columns '%2 %3' are not the first family's "
                                   "other partner '%4 %5'")
                        .arg(who(p), row.PrtFname, row.PrtSname, columns->first, columns->second));
        }
        lineParent(p);
    }

    void residence(quint32 p)
    {
        const TreeModel &m = m_model;
        quint32 rowEvent = kNoIndex;
        quint32 lastAddressed = kNoIndex;
        for (quint32 e : m.eventsOf(Ref(Kind::Person, p))) {
            const Event &event = m.events[e];
            if (event.type != EventTypes::residence())
                continue;
            const Address *address = nullptr;
            if (event.detail != kNoIndex && event.detail < m.eventDetails.size() &&
                m.eventDetails[event.detail].address < m.addresses.size())
                address = &m.addresses[m.eventDetails[event.detail].address];
            if (event.flags & Event::RowResidence) {
                if (rowEvent != kNoIndex)
                    say(QStringLiteral("%1: more than one residence holds the row's address")
                            .arg(who(p)));
                rowEvent = e;
                lastAddressed = e;
                if (address && (!address->line.isEmpty() || !address->city.isEmpty() ||
                                !address->country.isEmpty()))
                    say(QStringLiteral("%1: the row's residence has an address line, city or "
                                       "country of its own (the row holds them)")
                            .arg(who(p)));
            } else if (address && address->present) {
                lastAddressed = e;
            }
        }
        if (lastAddressed != kNoIndex && lastAddressed != rowEvent)
            say(QStringLiteral("%1: the last residence with an address is not the row's")
                    .arg(who(p)));
    }

    void lineParent(quint32 p)
    {
        const TreeModel &m = m_model;
        const PersonRow &row = m_rows[p];
        if (row.PrntKey.isEmpty())
            return;
        const std::span<const quint32> parents = m.parentLinksOf(p);
        if (parents.empty())
            return;
        // The row rules' own edge cases stay allowed: a parent key naming no row (the parent's
        // row was deleted, which leaves its children's keys) and a person that is its own
        // parent.
        if (!IsRootKey(row.PrntKey) && (row.PrntKey == row.ID || !hasRow(row.PrntKey)))
            return;
        const bool root = IsRootKeyUpperCased(row.PrntKey);
        for (quint32 l : parents) {
            const Family &f = m.families[m.childLinks[l].family];
            if (f.partner[0] == kNoIndex && f.partner[1] == kNoIndex) {
                if (root)
                    return;
                continue;
            }
            for (quint32 partner : f.partner) {
                if (partner != kNoIndex && personExists(partner) &&
                    m_rows[partner].ID == row.PrntKey)
                    return;
            }
        }
        say(QStringLiteral("%1: the parent '%2' is no partner of a family the person is a child of")
                .arg(who(p), row.PrntKey));
    }

    std::span<const PersonRow> m_rows;
    const TreeModel &m_model;
    QStringList m_lines;
    QSet<QString> m_ids;
};

} // namespace

QStringList checkTree(std::span<const PersonRow> rows, const TreeModel &model)
{
    return Checker(rows, model).run();
}

} // namespace Genealogy
