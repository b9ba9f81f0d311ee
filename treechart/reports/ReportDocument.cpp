// The three reports as HTML laid into a QTextDocument: narrative paragraphs, endnotes, index.
#include "ReportDocument.h"

#include "ReportPhrases.h"

#include <QHash>
#include <QMap>

#include <algorithm>
#include <set>

namespace Reports {

using namespace Genealogy;

namespace {

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

// The writing of one report: its paragraphs, the endnotes and the index as they fill.
class Writer
{
public:
    explicit Writer(const ReportTree &tree) : m_tree(tree) {}

    // The superscript numbers of citations, each citation numbered at its first mention.
    QString cite(const std::vector<quint32> &citations);
    // A person's name as a mention, recorded in the index under `place` (a report number).
    QString mention(int person, const QString &place, bool withYears = true);
    // The narrative of a person told in full: heading, birth, death, facts, partners.
    void narrative(int person, const QString &number, const QHash<int, QString> &numbers);
    // One fact as a sentence or a line.
    QString factSentence(const Fact &fact, const QString &subject);
    // "Birth on ... in ...", or nothing when neither a date, a place nor a source is known.
    QString birthSentence(int person);
    // The family group sheet of a partnership.
    void familySheet(int person, const ReportTree::Partnership &family, const QString &sheet);

    void heading(const QString &text, int level)
    {
        m_html += QStringLiteral("<h%1>%2</h%1>\n").arg(level).arg(esc(text));
    }
    void paragraph(const QString &html) { m_html += QStringLiteral("<p>") + html + "</p>\n"; }
    void raw(const QString &html) { m_html += html; }

    QString finish(int *endnotes, int *names);

private:
    QString endnoteText(quint32 citation) const;
    QString parentsText(int person, const QString &place, const QHash<int, QString> &numbers);
    QString partnerSentences(int person, const QString &place, const QHash<int, QString> &numbers);

    const ReportTree &m_tree;
    QString m_html;
    QHash<quint32, int> m_noteOf;
    std::vector<quint32> m_notes;
    QMap<int, QStringList> m_index; // person -> the places it is mentioned
};

QString Writer::cite(const std::vector<quint32> &citations)
{
    QStringList numbers;
    for (quint32 c : citations) {
        int &number = m_noteOf[c];
        if (number == 0) {
            m_notes.push_back(c);
            number = int(m_notes.size());
        }
        numbers << QString::number(number);
    }
    numbers.removeDuplicates();
    return numbers.isEmpty() ? QString() : QStringLiteral("<sup>%1</sup>").arg(numbers.join(','));
}

QString Writer::mention(int person, const QString &place, bool withYears)
{
    QStringList &places = m_index[person];
    if (!places.contains(place))
        places << place;
    const QString years = m_tree.years(person);
    return esc(m_tree.fullName(person)) +
           (withYears && !years.isEmpty() ? QLatin1Char(' ') + esc(years) : QString());
}

QString Writer::factSentence(const Fact &fact, const QString &subject)
{
    QString text = subject.isEmpty() ? esc(fact.label)
                                     : subject + QLatin1Char(' ') + esc(fact.label.toLower());
    if (!fact.value.isEmpty())
        text += QStringLiteral(": ") + esc(fact.value);
    const QString when = Phrases::when(fact.date);
    if (!when.isEmpty())
        text += QLatin1Char(' ') + esc(when);
    if (!fact.place.isEmpty())
        text += QStringLiteral(" in ") + esc(fact.place);
    return text + QLatin1Char('.') + cite(fact.citations);
}

QString Writer::birthSentence(int person)
{
    const Fact birth = m_tree.birth(person);
    if (birth.date.isEmpty() && birth.place.isEmpty() && birth.citations.empty())
        return QString();
    return factSentence(birth, QString());
}

QString Writer::parentsText(int person, const QString &place, const QHash<int, QString> &numbers)
{
    const auto [father, mother] = m_tree.parents(person);
    QStringList names;
    for (int parent : {father, mother}) {
        if (parent < 0)
            continue;
        QString name = mention(parent, place, false);
        if (numbers.contains(parent))
            name += QStringLiteral(" (%1)").arg(numbers.value(parent));
        names << name;
    }
    if (names.isEmpty())
        return QString();
    return QStringLiteral("the %1 of %2")
        .arg(Phrases::childWord(m_tree.sex(person)), names.join(QStringLiteral(" and ")));
}

QString Writer::partnerSentences(int person, const QString &place,
                                 const QHash<int, QString> &numbers)
{
    QString out;
    const QString he = Phrases::pronoun(m_tree.sex(person));
    for (const ReportTree::Partnership &p : m_tree.partnerships(person)) {
        if (p.partner < 0 && p.partnerName.isEmpty())
            continue;
        QString partner = p.partner >= 0 ? mention(p.partner, place) : esc(p.partnerName);
        if (p.partner >= 0 && numbers.contains(p.partner))
            partner += QStringLiteral(" (%1)").arg(numbers.value(p.partner));
        // The marriage in the sentence; the family's other facts after it.
        const Fact *marriage = nullptr;
        for (const Fact &f : p.facts) {
            if (f.label == QLatin1String("Marriage")) {
                marriage = &f;
                break;
            }
        }
        QString sentence = QStringLiteral(" %1 married %2").arg(he, partner);
        if (marriage) {
            const QString when = Phrases::when(marriage->date);
            if (!when.isEmpty())
                sentence += QLatin1Char(' ') + esc(when);
            if (!marriage->place.isEmpty())
                sentence += QStringLiteral(" in ") + esc(marriage->place);
        }
        out += sentence + QLatin1Char('.') + cite(p.citations) +
               (marriage ? cite(marriage->citations) : QString());
        for (const Fact &f : p.facts) {
            if (&f != marriage)
                out += QLatin1Char(' ') + factSentence(f, QStringLiteral("Family"));
        }
    }
    return out;
}

void Writer::narrative(int person, const QString &number, const QHash<int, QString> &numbers)
{
    const QString place = number;
    QString html = QStringLiteral("<b>%1. %2</b>%3")
                       .arg(esc(number), mention(person, place), cite(m_tree.ownCitations(person)));
    html += QStringLiteral("<br/>");
    const QString given = esc(m_tree.givenName(person));
    const Fact birth = m_tree.birth(person);
    const QString parents = parentsText(person, place, numbers);
    const QString born = Phrases::when(birth.date);
    if (!born.isEmpty() || !birth.place.isEmpty()) {
        html += given + QStringLiteral(" was born");
        if (!born.isEmpty())
            html += QLatin1Char(' ') + esc(born);
        if (!birth.place.isEmpty())
            html += QStringLiteral(" in ") + esc(birth.place);
        if (!parents.isEmpty())
            html += QStringLiteral(", ") + parents;
        html += QLatin1Char('.') + cite(birth.citations);
    } else if (!parents.isEmpty()) {
        html +=
            given + QStringLiteral(" was ") + parents + QLatin1Char('.') + cite(birth.citations);
    }
    const QString he = Phrases::pronoun(m_tree.sex(person));
    bool diedKnown = false;
    const Fact death = m_tree.death(person, &diedKnown);
    if (diedKnown) {
        html += QLatin1Char(' ') + he + QStringLiteral(" died");
        const QString when = Phrases::when(death.date);
        if (!when.isEmpty())
            html += QLatin1Char(' ') + esc(when);
        if (!death.place.isEmpty())
            html += QStringLiteral(" in ") + esc(death.place);
        html += QLatin1Char('.') + cite(death.citations);
    }
    for (const Fact &fact : m_tree.otherFacts(person))
        html += QLatin1Char(' ') + factSentence(fact, QString());
    html += partnerSentences(person, place, numbers);
    paragraph(html);
}

void Writer::familySheet(int person, const ReportTree::Partnership &family, const QString &sheet)
{
    const QHash<int, QString> none;
    const auto partnerBlock = [&](int who) {
        QString html = QStringLiteral("<b>%1</b>%2<br/>")
                           .arg(mention(who, sheet), cite(m_tree.ownCitations(who)));
        html += birthSentence(who);
        bool diedKnown = false;
        const Fact death = m_tree.death(who, &diedKnown);
        if (diedKnown)
            html += QLatin1Char(' ') + factSentence(death, QString());
        for (const Fact &fact : m_tree.otherFacts(who))
            html += QLatin1Char(' ') + factSentence(fact, QString());
        const QString parents = parentsText(who, sheet, none);
        if (!parents.isEmpty())
            html +=
                QStringLiteral("<br/>Parents: ") + parents.section(QStringLiteral(" of "), 1, -1);
        paragraph(html);
    };
    heading(QStringLiteral("Family %1").arg(sheet), 2);
    partnerBlock(person);
    if (family.partner >= 0)
        partnerBlock(family.partner);
    else if (!family.partnerName.isEmpty())
        paragraph(QStringLiteral("<b>%1</b>").arg(esc(family.partnerName)));
    QString facts = cite(family.citations);
    for (const Fact &fact : family.facts)
        facts += QLatin1Char(' ') + factSentence(fact, QString());
    if (!facts.trimmed().isEmpty())
        paragraph(QStringLiteral("The family: ") + facts);
    if (family.children.empty())
        return;
    heading(QStringLiteral("Children"), 3);
    int i = 0;
    for (int child : family.children) {
        QString html =
            QStringLiteral("%1. <b>%2</b>%3<br/>")
                .arg(Phrases::roman(++i), mention(child, sheet), cite(m_tree.ownCitations(child)));
        html += birthSentence(child);
        bool diedKnown = false;
        const Fact death = m_tree.death(child, &diedKnown);
        if (diedKnown)
            html += QLatin1Char(' ') + factSentence(death, QString());
        for (const Fact &fact : m_tree.otherFacts(child))
            html += QLatin1Char(' ') + factSentence(fact, QString());
        html += partnerSentences(child, sheet, none);
        paragraph(html);
    }
}

QString Writer::endnoteText(quint32 citation) const
{
    const TreeModel &m = m_tree.model();
    const Citation &c = m.citations[citation];
    QStringList parts;
    if (c.source != kNoIndex && c.source < m.sources.size()) {
        const Source &s = m.sources[c.source];
        const QString title = m.string(s.title);
        parts << (title.isEmpty() ? m.string(s.abbreviation) : title);
        if (!s.author.isEmpty())
            parts << m.string(s.author);
        if (!s.publication.isEmpty())
            parts << m.string(s.publication);
    } else {
        parts << QStringLiteral("(a source not named)");
    }
    if (!c.page.isEmpty())
        parts << m.string(c.page);
    if (!c.date.isEmpty())
        parts << Phrases::dateWords(m.string(c.date));
    parts.removeAll(QString());
    QString text = esc(parts.join(QStringLiteral(", ")));
    if (!c.text.isEmpty())
        text += QStringLiteral(": \u201c") + esc(m.string(c.text)) + QStringLiteral("\u201d");
    return text + QLatin1Char('.');
}

QString Writer::finish(int *endnotes, int *names)
{
    if (!m_notes.empty()) {
        heading(QStringLiteral("Sources"), 2);
        QString list;
        for (size_t i = 0; i < m_notes.size(); ++i)
            list += QStringLiteral("<p>%1. %2</p>\n").arg(i + 1).arg(endnoteText(m_notes[i]));
        raw(list);
    }
    heading(QStringLiteral("Index of names"), 2);
    std::vector<int> persons;
    for (auto it = m_index.cbegin(); it != m_index.cend(); ++it)
        persons.push_back(it.key());
    std::sort(persons.begin(), persons.end(), [this](int a, int b) {
        const int byName =
            QString::compare(m_tree.indexName(a), m_tree.indexName(b), Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a < b;
    });
    QString list;
    for (int p : persons) {
        const QString years = m_tree.years(p);
        list += QStringLiteral("<p>%1%2 \u2014 %3</p>\n")
                    .arg(esc(m_tree.indexName(p)),
                         years.isEmpty() ? QString() : QLatin1Char(' ') + esc(years),
                         esc(m_index.value(p).join(QStringLiteral(", "))));
    }
    raw(list);
    *endnotes = int(m_notes.size());
    *names = int(persons.size());
    return QStringLiteral("<html><body>") + m_html + QStringLiteral("</body></html>");
}

// The descendants of `root` by generations, numbered in turn: a person reached again keeps the
// first number.
void descendants(Writer &w, const ReportTree &tree, int root, int generations, int *told)
{
    QHash<int, QString> numbers;
    std::vector<std::vector<int>> byGeneration(static_cast<size_t>(generations));
    byGeneration[0].push_back(root);
    numbers.insert(root, QStringLiteral("1"));
    int next = 2;
    for (int g = 0; g + 1 < generations; ++g) {
        for (int person : byGeneration[size_t(g)]) {
            for (int child : tree.links().children(person)) {
                if (numbers.contains(child))
                    continue;
                numbers.insert(child, QString::number(next++));
                byGeneration[size_t(g) + 1].push_back(child);
            }
        }
    }
    for (int g = 0; g < generations; ++g) {
        if (byGeneration[size_t(g)].empty())
            break;
        w.heading(QStringLiteral("Generation %1").arg(g + 1), 2);
        for (int person : byGeneration[size_t(g)]) {
            const QString number = numbers.value(person);
            w.narrative(person, number, numbers);
            ++*told;
            if (g + 1 >= generations)
                continue;
            for (const ReportTree::Partnership &p : tree.partnerships(person)) {
                if (p.children.empty())
                    continue;
                const QString with =
                    p.partner >= 0 ? esc(tree.givenName(p.partner)) : esc(p.partnerName);
                QString html =
                    QStringLiteral("<i>Children of %1%2:</i>")
                        .arg(esc(tree.givenName(person)),
                             with.isEmpty() ? QString() : QStringLiteral(" and ") + with);
                int i = 0;
                for (int child : p.children) {
                    html += QStringLiteral("<br/>&nbsp;&nbsp;%1. %2 %3")
                                .arg(Phrases::roman(++i), numbers.value(child),
                                     w.mention(child, number));
                }
                w.paragraph(html);
            }
        }
    }
}

// The ancestors of `root`, Ahnentafel numbers; a person reached twice is told at the first.
void ancestors(Writer &w, const ReportTree &tree, int root, int generations, int *told)
{
    QHash<int, QString> numbers;
    std::vector<std::vector<std::pair<quint64, int>>> byGeneration(
        static_cast<size_t>(generations));
    byGeneration[0].push_back({1, root});
    numbers.insert(root, QStringLiteral("1"));
    for (int g = 0; g + 1 < generations; ++g) {
        for (const auto &[n, person] : byGeneration[size_t(g)]) {
            const auto [father, mother] = tree.parents(person);
            const int both[2] = {father, mother};
            for (int s = 0; s < 2; ++s) {
                const int parent = both[s];
                if (parent < 0 || numbers.contains(parent))
                    continue;
                const quint64 number = 2 * n + quint64(s);
                numbers.insert(parent, QString::number(number));
                byGeneration[size_t(g) + 1].push_back({number, parent});
            }
        }
        std::sort(byGeneration[size_t(g) + 1].begin(), byGeneration[size_t(g) + 1].end());
    }
    for (int g = 0; g < generations; ++g) {
        if (byGeneration[size_t(g)].empty())
            break;
        w.heading(QStringLiteral("Generation %1").arg(g + 1), 2);
        for (const auto &[n, person] : byGeneration[size_t(g)]) {
            w.narrative(person, QString::number(n), numbers);
            ++*told;
        }
    }
}

QString kindTitle(ReportKind kind)
{
    switch (kind) {
    case ReportKind::FamilyGroup:
        return QStringLiteral("Family group sheet of %1");
    case ReportKind::Descendants:
        return QStringLiteral("Descendants of %1");
    case ReportKind::Ancestors:
        return QStringLiteral("Ancestors of %1");
    }
    return QString();
}

} // namespace

int defaultGenerations(ReportKind kind)
{
    switch (kind) {
    case ReportKind::FamilyGroup:
        return 1;
    case ReportKind::Descendants:
        return 3;
    case ReportKind::Ancestors:
        return 5;
    }
    return 1;
}

bool kindFromWord(const QString &word, ReportKind &kind)
{
    const QString w = word.trimmed().toLower();
    if (w == QLatin1String("family"))
        kind = ReportKind::FamilyGroup;
    else if (w == QLatin1String("descendants"))
        kind = ReportKind::Descendants;
    else if (w == QLatin1String("ancestors"))
        kind = ReportKind::Ancestors;
    else
        return false;
    return true;
}

ReportResult buildReport(const ReportTree &tree, const ReportRequest &request)
{
    ReportResult result;
    if (request.person < 0 || request.person >= tree.count())
        return result;
    const int generations =
        std::clamp(request.generations > 0 ? request.generations : defaultGenerations(request.kind),
                   1, ReportRequest::kMaxGenerations);
    result.title = request.title.isEmpty()
                       ? kindTitle(request.kind).arg(tree.fullName(request.person))
                       : request.title;
    Writer w(tree);
    w.heading(result.title, 1);
    switch (request.kind) {
    case ReportKind::FamilyGroup: {
        int sheet = 0;
        std::set<int> told;
        for (const ReportTree::Partnership &p : tree.partnerships(request.person)) {
            w.familySheet(request.person, p, QString::number(++sheet));
            told.insert(request.person);
            if (p.partner >= 0)
                told.insert(p.partner);
            told.insert(p.children.begin(), p.children.end());
        }
        if (sheet == 0) {
            w.familySheet(request.person, ReportTree::Partnership(), QStringLiteral("1"));
            told.insert(request.person);
        }
        result.persons = int(told.size());
        break;
    }
    case ReportKind::Descendants:
        descendants(w, tree, request.person, generations, &result.persons);
        break;
    case ReportKind::Ancestors:
        ancestors(w, tree, request.person, generations, &result.persons);
        break;
    }
    const QString html = w.finish(&result.endnotes, &result.names);
    result.document = std::make_unique<QTextDocument>();
    result.document->setHtml(html);
    result.document->setMetaInformation(QTextDocument::DocumentTitle, result.title);
    return result;
}

} // namespace Reports
