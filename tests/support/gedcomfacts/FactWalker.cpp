#include "FactWalker.h"

#include "Tags.h"

#include <QRegularExpression>

#include <algorithm>

namespace GedcomFacts {

namespace {

const QSet<QByteArray> &personEvents()
{
    static const QSet<QByteArray> tags{
        "BIRT", "CHR",  "BAPM", "BARM", "BASM", "BLES", "CHRA", "CONF", "FCOM", "ORDN", "NATU",
        "EMIG", "IMMI", "CENS", "PROB", "WILL", "GRAD", "RETI", "DEAT", "BURI", "CREM", "ADOP",
        "EVEN", "CAST", "DSCR", "EDUC", "IDNO", "NATI", "NCHI", "NMR",  "OCCU", "PROP", "RELI",
        "RESI", "SSN",  "TITL", "FACT", "BAPL", "CONL", "ENDL", "INIL", "SLGC", "NO"};
    return tags;
}

const QSet<QByteArray> &familyEvents()
{
    static const QSet<QByteArray> tags{"MARR", "DIV",  "ENGA", "MARB", "MARC", "MARL",
                                       "MARS", "ANUL", "DIVF", "CENS", "EVEN", "RESI",
                                       "NCHI", "FACT", "SLGS", "NO"};
    return tags;
}

// Attributes carry their value; an event's "Y" only says that it happened.
const QSet<QByteArray> &attributes()
{
    static const QSet<QByteArray> tags{"CAST", "DSCR", "EDUC", "IDNO", "NATI", "NCHI",
                                       "NMR",  "OCCU", "PROP", "RELI", "RESI", "SSN",
                                       "TITL", "FACT", "EVEN", "NO"};
    return tags;
}

Category personEventCategory(const QByteArray &tag)
{
    if (tag == "BIRT")
        return Category::Birth;
    if (tag == "DEAT")
        return Category::Death;
    if (tag == "RESI")
        return Category::Residence;
    return Category::OtherEvents;
}

bool isKeptAsRead(const QByteArray &tag)
{
    return tag.startsWith('_') || Gedcom::standardTagId(tag) == Gedcom::kTagOther;
}

QString join(const QString &context, const QString &text)
{
    return context.isEmpty() ? text : context + QLatin1String(" > ") + text;
}

QString withValue(const QByteArray &tag, const QString &value)
{
    const QString name = QString::fromLatin1(tag);
    return value.isEmpty() ? name : name + QLatin1Char(' ') + value;
}

// A date as compared: blanks collapsed, upper case, calendar escapes written as 7.0 writes them.
QString dateText(const GedcomTree &t, int event)
{
    const int date = t.child(event, "DATE");
    if (date < 0)
        return {};
    QString text = normalised(t.node(date).value).toUpper();
    text.replace(QLatin1String("@#DGREGORIAN@"), QString());
    text.replace(QLatin1String("@#DJULIAN@"), QLatin1String("JULIAN"));
    text.replace(QLatin1String("@#DHEBREW@"), QLatin1String("HEBREW"));
    text.replace(QLatin1String("@#DFRENCH R@"), QLatin1String("FRENCH_R"));
    text = normalised(text);
    const QString phrase = normalised(t.childValue(date, "PHRASE"));
    if (!phrase.isEmpty())
        text += QLatin1String(" PHRASE ") + phrase;
    return text;
}

QString placeText(const GedcomTree &t, int event)
{
    static const QRegularExpression comma(QStringLiteral("\\s*,\\s*"));
    return normalised(t.childValue(event, "PLAC")).replace(comma, QStringLiteral(", "));
}

QString baseName(const QString &file)
{
    const qsizetype slash =
        std::max(file.lastIndexOf(QLatin1Char('/')), file.lastIndexOf(QLatin1Char('\\')));
    return normalised(file.mid(slash + 1));
}

} // namespace

void FactFile::collect()
{
    m_facts.clear();
    m_parentLinks.clear();
    m_partnerLinks.clear();
    m_notes.clear();
    FactWalker(*this).run();
}

void FactWalker::run()
{
    for (const Person &p : m_file.m_persons)
        person(p);
    for (const int record : m_tree.records()) {
        const QByteArray &tag = m_tree.node(record).tag;
        if (tag == "FAM")
            family(record);
        else if (tag == "SOUR" || tag == "REPO")
            sourceOrRepository(record);
        else if (isKeptAsRead(tag))
            keptRecord(record);
    }
    links();
}

void FactWalker::add(Category category, const QByteArray &tag, const Owner &owner,
                     const QString &text, const QStringList &needles)
{
    Fact fact;
    fact.category = category;
    fact.tag = tag;
    fact.text = owner.key + QLatin1String(": ") + text;
    for (const QString &needle : needles) {
        if (!needle.isEmpty())
            fact.needles.append(needle.toCaseFolded());
    }
    fact.owners = owner.persons;
    m_file.m_facts.push_back(std::move(fact));
}

void FactWalker::person(const Person &p)
{
    const Owner owner{p.key, {p.key}};
    add(Category::Persons, "INDI", owner, QStringLiteral("person"));
    for (int c = m_tree.node(p.node).firstChild; c >= 0; c = m_tree.node(c).nextSibling) {
        const GedcomTree::Node &n = m_tree.node(c);
        if (personEvents().contains(n.tag)) {
            event(c, owner, personEventCategory(n.tag));
        } else if (n.tag == "NAME") {
            name(c, owner);
        } else if (n.tag == "SEX") {
            add(Category::Sex, n.tag, owner, withValue(n.tag, normalised(n.value).toUpper()));
            children(c, owner, QStringLiteral("SEX"), Category::OtherStructures);
        } else if (n.tag == "FAMC" || n.tag == "FAMS") {
            const int family = m_tree.record(n.pointer);
            const QString context = withValue(n.tag, describe(c));
            QString pedigree = normalised(m_tree.childValue(c, "PEDI")).toLower();
            if (n.tag == "FAMC" && !pedigree.isEmpty() && pedigree != QLatin1String("birth")) {
                const int pedi = m_tree.child(c, "PEDI");
                const QString phrase = normalised(m_tree.childValue(pedi, "PHRASE"));
                if (!phrase.isEmpty())
                    pedigree += QLatin1String(" (") + phrase + QLatin1Char(')');
                QStringList parents;
                for (int f = family < 0 ? -1 : m_tree.node(family).firstChild; f >= 0;
                     f = m_tree.node(f).nextSibling) {
                    const QByteArray &tag = m_tree.node(f).tag;
                    const QString parent = m_file.keyOf(m_tree.node(f).pointer);
                    if ((tag == "HUSB" || tag == "WIFE") && !parent.isEmpty())
                        parents.append(parent);
                }
                if (parents.isEmpty())
                    parents.append(describe(c));
                for (const QString &parent : parents)
                    add(Category::Pedigree, "PEDI", owner,
                        QStringLiteral("child of %1: PEDI %2").arg(parent, pedigree));
            }
            children(c, owner, context, Category::OtherStructures, {"PEDI"});
        } else if (n.tag == "ASSO" || n.tag == "ALIA") {
            association(c, owner);
        } else {
            structure(c, owner, QString(), Category::OtherStructures);
        }
    }
}

void FactWalker::family(int record)
{
    Owner owner{QLatin1String("family ") + familyKey(record), {}};
    QString husband;
    QString wife;
    for (int c = m_tree.node(record).firstChild; c >= 0; c = m_tree.node(c).nextSibling) {
        const GedcomTree::Node &n = m_tree.node(c);
        const QString key = m_file.keyOf(n.pointer);
        if (n.tag == "HUSB" || n.tag == "WIFE") {
            if (!key.isEmpty())
                owner.persons.append(key);
            (n.tag == "HUSB" ? husband : wife) = key;
        }
    }
    if (!husband.isEmpty() && !wife.isEmpty())
        m_file.m_partnerLinks.insert(husband < wife ? qMakePair(husband, wife)
                                                    : qMakePair(wife, husband));
    for (int c = m_tree.node(record).firstChild; c >= 0; c = m_tree.node(c).nextSibling) {
        const GedcomTree::Node &n = m_tree.node(c);
        if (n.tag == "HUSB" || n.tag == "WIFE" || n.tag == "CHIL")
            children(c, owner, withValue(n.tag, describe(c)), Category::OtherStructures);
        else if (familyEvents().contains(n.tag))
            event(c, owner, Category::FamilyEvents);
        else
            structure(c, owner, QString(), Category::OtherStructures);
    }
}

void FactWalker::sourceOrRepository(int record)
{
    const bool source = m_tree.node(record).tag == "SOUR";
    const Owner owner{source ? QLatin1String("source ") + sourceTitle(record)
                             : QLatin1String("repository ") +
                                   normalised(m_tree.childValue(record, "NAME")),
                      {}};
    add(Category::Sources, m_tree.node(record).tag, owner,
        source ? QStringLiteral("source record") : QStringLiteral("repository record"));
    children(record, owner, QString(), Category::Sources, {source ? "TITL" : "NAME"});
}

void FactWalker::keptRecord(int record)
{
    kept(record, Owner{QStringLiteral("(file)"), {}}, QString());
}

void FactWalker::links()
{
    QHash<QString, QString> display;
    for (const Person &p : m_file.m_persons)
        display.insert(p.key, p.display);
    for (const Person &child : m_file.m_persons) {
        if (child.xref.isEmpty())
            continue;
        for (const int family : m_file.m_childOf.value(child.xref)) {
            for (int c = m_tree.node(family).firstChild; c >= 0; c = m_tree.node(c).nextSibling) {
                const GedcomTree::Node &n = m_tree.node(c);
                const QString parent = m_file.keyOf(n.pointer);
                if ((n.tag == "HUSB" || n.tag == "WIFE") && !parent.isEmpty())
                    m_file.m_parentLinks.insert({child.key, parent});
            }
        }
    }
    QList<QPair<QString, QString>> parents(m_file.m_parentLinks.cbegin(),
                                           m_file.m_parentLinks.cend());
    std::sort(parents.begin(), parents.end());
    for (const auto &[child, parent] : parents)
        add(Category::ParentLinks, "FAMC", Owner{child, {child}},
            QLatin1String("child of ") + parent, {display.value(parent)});
    QList<QPair<QString, QString>> partners(m_file.m_partnerLinks.cbegin(),
                                            m_file.m_partnerLinks.cend());
    std::sort(partners.begin(), partners.end());
    for (const auto &[a, b] : partners)
        add(Category::PartnerLinks, "FAMS", Owner{a, {a, b}}, QLatin1String("partner of ") + b,
            {display.value(b)});
}

void FactWalker::structure(int node, const Owner &owner, const QString &context, Category category)
{
    const GedcomTree::Node &n = m_tree.node(node);
    if (isKeptAsRead(n.tag)) {
        kept(node, owner, context);
    } else if (n.tag == "SOUR") {
        citation(node, owner, context);
    } else if (n.tag == "NOTE" || n.tag == "SNOTE") {
        note(node, owner, context);
    } else if (n.tag == "OBJE") {
        media(node, owner, context);
    } else {
        const QString value = describe(node);
        if (n.tag == "RESN")
            category = Category::Privacy;
        add(category, n.tag, owner, join(context, withValue(n.tag, value)), {value});
        children(node, owner, join(context, QString::fromLatin1(n.tag)), category);
    }
}

void FactWalker::children(int node, const Owner &owner, const QString &context, Category category,
                          std::initializer_list<const char *> skip)
{
    for (int c = m_tree.node(node).firstChild; c >= 0; c = m_tree.node(c).nextSibling) {
        const QByteArray &tag = m_tree.node(c).tag;
        if (std::none_of(skip.begin(), skip.end(), [&tag](const char *s) { return tag == s; }))
            structure(c, owner, context, category);
    }
}

void FactWalker::event(int node, const Owner &owner, Category category)
{
    const GedcomTree::Node &n = m_tree.node(node);
    QString value = describe(node);
    if (!attributes().contains(n.tag) &&
        value.compare(QLatin1String("Y"), Qt::CaseInsensitive) == 0)
        value.clear();
    QString head = withValue(n.tag, value);
    const QString type = normalised(m_tree.childValue(node, "TYPE"));
    if (!type.isEmpty())
        head += QLatin1String(" (TYPE ") + type + QLatin1Char(')');
    const QString date = dateText(m_tree, node);
    const QString place = placeText(m_tree, node);
    add(category, n.tag, owner, head + QLatin1String(" | ") + date + QLatin1String(" | ") + place,
        {value, type, normalised(m_tree.childValue(node, "DATE")), place});
    const QString context = date.isEmpty() ? head : head + QLatin1Char(' ') + date;
    if (const int d = m_tree.child(node, "DATE"); d >= 0)
        children(d, owner, context + QLatin1String(" > DATE"), Category::EventDetails, {"PHRASE"});
    if (const int p = m_tree.child(node, "PLAC"); p >= 0)
        children(p, owner, context + QLatin1String(" > PLAC"), Category::EventDetails);
    children(node, owner, context, Category::EventDetails, {"DATE", "PLAC", "TYPE"});
}

void FactWalker::name(int node, const Owner &owner)
{
    const QString value = normalisedName(m_tree.node(node).value);
    QString text = QLatin1String("NAME ") + value;
    if (const int type = m_tree.child(node, "TYPE"); type >= 0) {
        text += QLatin1String(" (TYPE ") + normalised(m_tree.node(type).value).toUpper();
        const QString phrase = normalised(m_tree.childValue(type, "PHRASE"));
        text += (phrase.isEmpty() ? QString() : QLatin1Char(' ') + phrase) + QLatin1Char(')');
    }
    add(Category::Names, "NAME", owner, text, {QString(value).remove(QLatin1Char('/'))});
    children(node, owner, QLatin1String("NAME ") + value, Category::NamePieces, {"TYPE"});
}

void FactWalker::citation(int node, const Owner &owner, const QString &context)
{
    const GedcomTree::Node &n = m_tree.node(node);
    QString title;
    if (!n.pointer.isEmpty()) {
        const int record = m_tree.record(n.pointer);
        title = record < 0 ? QStringLiteral("(missing source)") : sourceTitle(record);
    } else {
        title = QLatin1String("text: ") + normalised(n.value);
    }
    const QString page = normalised(m_tree.childValue(node, "PAGE"));
    add(Category::Citations, "SOUR", owner,
        join(context, QStringLiteral("SOUR %1 | PAGE %2").arg(title, page)), {title, page});
    children(node, owner, join(context, QLatin1String("SOUR ") + title), Category::CitationDetails,
             {"PAGE"});
}

void FactWalker::note(int node, const Owner &owner, const QString &context)
{
    const QString text = noteText(node);
    add(Category::Notes, "NOTE", owner, join(context, QLatin1String("NOTE ") + text), {text});
    for (const QString &person : owner.persons)
        m_file.m_notes[person] += QLatin1Char(' ') + text.toCaseFolded();
    children(node, owner, join(context, QStringLiteral("NOTE")), Category::OtherStructures);
}

void FactWalker::media(int node, const Owner &owner, const QString &context)
{
    const GedcomTree::Node &n = m_tree.node(node);
    const int holder = n.pointer.isEmpty() ? node : m_tree.record(n.pointer);
    QStringList files;
    for (int c = holder < 0 ? -1 : m_tree.node(holder).firstChild; c >= 0;
         c = m_tree.node(c).nextSibling) {
        if (m_tree.node(c).tag == "FILE")
            files.append(baseName(m_tree.node(c).value));
    }
    if (files.isEmpty())
        files.append(QStringLiteral("(no file)"));
    for (const QString &file : files)
        add(Category::Media, "OBJE", owner, join(context, QLatin1String("OBJE ") + file), {file});
    children(node, owner, join(context, QStringLiteral("OBJE")), Category::OtherStructures,
             {"FILE"});
}

void FactWalker::association(int node, const Owner &owner)
{
    const GedcomTree::Node &n = m_tree.node(node);
    QString text = withValue(n.tag, describe(node));
    const int relation = m_tree.child(node, m_tree.child(node, "RELA") >= 0 ? "RELA" : "ROLE");
    if (relation >= 0) {
        QString role = normalised(m_tree.node(relation).value);
        const QString phrase = normalised(m_tree.childValue(relation, "PHRASE"));
        if (!phrase.isEmpty())
            role += QLatin1Char(' ') + phrase;
        text += QLatin1String(" (") + role + QLatin1Char(')');
    }
    add(Category::Associations, n.tag, owner, text);
    children(node, owner, withValue(n.tag, describe(node)), Category::Associations,
             {"RELA", "ROLE"});
}

void FactWalker::kept(int node, const Owner &owner, const QString &context)
{
    const GedcomTree::Node &n = m_tree.node(node);
    add(Category::KeptAsRead, n.tag, owner, join(context, withValue(n.tag, describe(node))));
    for (int c = n.firstChild; c >= 0; c = m_tree.node(c).nextSibling)
        kept(c, owner, join(context, QString::fromLatin1(n.tag)));
}

QString FactWalker::describe(int node) const
{
    const GedcomTree::Node &n = m_tree.node(node);
    return n.pointer.isEmpty() ? normalised(n.value) : describePointer(n.pointer);
}

QString FactWalker::describePointer(const QByteArray &xref) const
{
    const int record = m_tree.record(xref);
    if (record < 0)
        return QStringLiteral("(missing record)");
    const QByteArray &tag = m_tree.node(record).tag;
    if (tag == "INDI")
        return m_file.keyOf(xref);
    if (tag == "FAM")
        return QLatin1String("family ") + familyKey(record);
    if (tag == "SOUR")
        return QLatin1String("source ") + sourceTitle(record);
    if (tag == "NOTE" || tag == "SNOTE")
        return QLatin1String("note ") + normalised(m_tree.node(record).value).left(60);
    if (tag == "OBJE")
        return QLatin1String("media ") + baseName(m_tree.childValue(record, "FILE"));
    QString name = normalised(m_tree.childValue(record, "NAME"));
    if (name.isEmpty())
        name = normalised(m_tree.node(record).value);
    return withValue(tag, name);
}

QString FactWalker::familyKey(int record) const
{
    QStringList partners;
    QStringList children;
    for (int c = m_tree.node(record).firstChild; c >= 0; c = m_tree.node(c).nextSibling) {
        const GedcomTree::Node &n = m_tree.node(c);
        if (n.tag == "HUSB" || n.tag == "WIFE" || n.tag == "CHIL") {
            const QString key = m_file.keyOf(n.pointer);
            if (!key.isEmpty())
                (n.tag == "CHIL" ? children : partners).append(key);
        }
    }
    std::sort(partners.begin(), partners.end());
    if (partners.size() == 2)
        return QStringLiteral("{%1 & %2}").arg(partners[0], partners[1]);
    if (partners.size() == 1)
        return QStringLiteral("{%1 & ?}").arg(partners[0]);
    std::sort(children.begin(), children.end());
    return QStringLiteral("{? & ?: children %1}").arg(children.join(QLatin1String(", ")));
}

QString FactWalker::sourceTitle(int record) const
{
    QString title = normalised(m_tree.childValue(record, "TITL"));
    if (title.isEmpty())
        title = normalised(m_tree.childValue(record, "ABBR"));
    return title.isEmpty() ? QStringLiteral("(untitled)") : title;
}

QString FactWalker::noteText(int node) const
{
    const GedcomTree::Node &n = m_tree.node(node);
    if (n.pointer.isEmpty())
        return normalised(n.value);
    const int record = m_tree.record(n.pointer);
    return record < 0 ? QStringLiteral("(missing note)") : normalised(m_tree.node(record).value);
}

} // namespace GedcomFacts
