#include "FactsHtml.h"

namespace {

using namespace Genealogy;

class PageWriter
{
public:
    FactsPage write(const PersonFacts &facts)
    {
        const FactPerson &person = facts.person;
        m_html += QStringLiteral("<p><b>%1</b> (%2)")
                      .arg(esc(person.name.isEmpty() ? person.key : person.name), esc(person.key));
        if (const QString sex = Vocabulary::sexLabel(facts.sex); !sex.isEmpty())
            m_html += QStringLiteral(", ") + esc(sex);
        for (const FactName &name : facts.otherNames) {
            m_html += QStringLiteral("<br>also ") + esc(name.text);
            if (!name.type.isEmpty())
                m_html += QStringLiteral(" (") + esc(name.type) + QLatin1Char(')');
        }
        m_html += QStringLiteral(" &nbsp;<a href=\"e:\">Edit...</a></p>");
        writeParents(facts);
        writeFamilies(facts);
        writeEvents(facts);
        writeSources(facts);
        // Last, so that Tab reaches the persons first.
        m_html += QStringLiteral("<p><a href=\"d:\">Details...</a> (events, names, families, "
                                 "sources)</p>");
        return {std::move(m_html), std::move(m_links)};
    }

private:
    static QString esc(const QString &text) { return text.toHtmlEscaped(); }

    void heading(const QString &text)
    {
        m_html += QStringLiteral("<h4>") + esc(text) + QStringLiteral("</h4>");
    }

    // The person as a link when it has a row, else its name or key as text.
    QString who(const FactPerson &person)
    {
        const QString shown = esc(person.name.isEmpty() ? person.key : person.name);
        if (!person.isLink())
            return person.key.isEmpty() || !person.name.isEmpty()
                       ? shown
                       : QStringLiteral("'%1' (not in this tree)").arg(shown);
        m_links.append(person.key);
        return QStringLiteral("<a href=\"p:%1\">%2</a>").arg(m_links.size() - 1).arg(shown);
    }

    void writeParents(const PersonFacts &facts)
    {
        heading(QStringLiteral("Parents"));
        if (facts.parents.empty()) {
            m_html += QStringLiteral("<p>None recorded.</p>");
            return;
        }
        for (const FactParents &parents : facts.parents) {
            QStringList named;
            for (int i = 0; i < 2; ++i) {
                if (parents.partner[i].key.isEmpty())
                    continue;
                QString text = who(parents.partner[i]);
                if (parents.relation[i] != ChildRelation::None)
                    text += QStringLiteral(" (") +
                            esc(relationText(parents.relation[i], parents.phrase)) +
                            QLatin1Char(')');
                named.append(text);
            }
            m_html += QStringLiteral("<p>") +
                      (named.isEmpty() ? QStringLiteral("A family without partners")
                                       : named.join(QStringLiteral(" and "))) +
                      QStringLiteral("</p>");
        }
    }

    void writeFamilies(const PersonFacts &facts)
    {
        heading(QStringLiteral("Partners"));
        if (facts.families.empty()) {
            m_html += QStringLiteral("<p>None recorded.</p>");
            return;
        }
        for (const FactFamily &family : facts.families) {
            m_html += QStringLiteral("<p>");
            m_html += family.partner.key.isEmpty() && family.partner.name.isEmpty()
                          ? QStringLiteral("No partner recorded")
                          : who(family.partner);
            if (family.relation != FamilyRelation::Unknown)
                m_html +=
                    QStringLiteral(", ") + esc(Vocabulary::familyRelationLabel(family.relation));
            for (const FactEvent &event : family.events)
                m_html += QStringLiteral("<br>&nbsp;&nbsp;") + eventText(event);
            if (!family.children.empty()) {
                QStringList children;
                for (const FactPerson &child : family.children)
                    children.append(who(child));
                m_html += QStringLiteral("<br>&nbsp;&nbsp;Children: ") +
                          children.join(QStringLiteral(", "));
            }
            m_html += QStringLiteral("</p>");
        }
    }

    static QString eventText(const FactEvent &event)
    {
        QStringList parts{esc(event.label)};
        for (const QString &part : {event.date, event.place, event.description}) {
            if (!part.isEmpty())
                parts.append(esc(part));
        }
        QString text = parts.join(QStringLiteral(", "));
        if (event.cited)
            text += QStringLiteral(" ") + kCitedMark.toString();
        return text;
    }

    // One line an event, all in one paragraph: a table of fifty rows takes several times as
    // long to lay out, and the page is made at every click.
    void writeEvents(const PersonFacts &facts)
    {
        heading(QStringLiteral("Events"));
        if (facts.events.empty()) {
            m_html += QStringLiteral("<p>None recorded.</p>");
            return;
        }
        bool cited = false;
        QStringList lines;
        for (const FactEvent &event : facts.events) {
            cited = cited || event.cited;
            QString line = event.date.isEmpty()
                               ? QString()
                               : QStringLiteral("<b>") + esc(event.date) + QStringLiteral("</b> ");
            line += esc(event.label);
            if (event.cited)
                line += QStringLiteral(" ") + kCitedMark.toString();
            for (const QString &part : {event.place, event.description}) {
                if (!part.isEmpty())
                    line += QStringLiteral(", ") + esc(part);
            }
            lines.append(line);
        }
        m_html +=
            QStringLiteral("<p>") + lines.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
        if (cited)
            m_html +=
                QStringLiteral("<p><small>%1 sources cited</small></p>").arg(kCitedMark.toString());
    }

    void writeSources(const PersonFacts &facts)
    {
        heading(QStringLiteral("Sources"));
        if (facts.citations.empty()) {
            m_html += QStringLiteral("<p>None cited.</p>");
            return;
        }
        m_html += QStringLiteral("<p>");
        bool first = true;
        for (const FactCitation &citation : facts.citations) {
            if (!first)
                m_html += QStringLiteral("<br>");
            first = false;
            m_html += citation.source.isEmpty() ? QStringLiteral("(a source not in this tree)")
                                                : esc(citation.source);
            if (!citation.page.isEmpty())
                m_html += QStringLiteral(", ") + esc(citation.page);
        }
        m_html += QStringLiteral("</p>");
    }

    QString m_html;
    QStringList m_links;
};

} // namespace

FactsPage FactsHtml(const PersonFacts &facts)
{
    if (facts.person.key.isEmpty())
        return {};
    return PageWriter().write(facts);
}
