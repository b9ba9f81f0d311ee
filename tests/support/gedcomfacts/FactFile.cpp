#include "FactFile.h"

#include <QRegularExpression>

#include <algorithm>

namespace GedcomFacts {

namespace {

struct CategoryInfo
{
    const char *name;
    bool core;
};

constexpr CategoryInfo kCategories[kCategoryCount] = {
    {"persons", true},
    {"names", true},
    {"name pieces", false},
    {"sex", true},
    {"birth", true},
    {"death", true},
    {"residence", true},
    {"other events", true},
    {"event details", false},
    {"parent links", true},
    {"pedigree", false},
    {"partner links", true},
    {"family events", true},
    {"associations", false},
    {"citations", true},
    {"citation details", false},
    {"notes", true},
    {"media links", true},
    {"sources", false},
    {"privacy", false},
    {"other structures", false},
    {"kept as read", false},
};

QString displayName(const GedcomTree &tree, int name)
{
    QString text = tree.node(name).value;
    if (text.trimmed().isEmpty())
        text = tree.childValue(name, "GIVN") + QLatin1Char(' ') + tree.childValue(name, "SURN");
    return normalised(text.replace(QLatin1Char('/'), QLatin1Char(' ')));
}

// The year of a date: the first number of three or four digits ("ABT 1969", "1700/01",
// "BET 1900 AND 1910"), or empty.
QString yearOf(const QString &date)
{
    static const QRegularExpression year(QStringLiteral("(?<![0-9])([0-9]{3,4})(?![0-9])"));
    const QRegularExpressionMatch match = year.match(date);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

QString categoryName(Category category)
{
    return QLatin1String(kCategories[int(category)].name);
}

bool isCoreCategory(Category category)
{
    return kCategories[int(category)].core;
}

QString normalised(const QString &text)
{
    return text.simplified();
}

QString normalisedName(const QString &name)
{
    const QStringList parts = name.split(QLatin1Char('/'));
    if (parts.size() < 3)
        return normalised(name);
    // given /surname/ suffix, each part's blanks collapsed; an empty surname is no surname.
    const QString given = normalised(parts[0]);
    const QString surname = normalised(parts[1]);
    const QString suffix = normalised(parts.mid(2).join(QLatin1Char('/')));
    QStringList pieces;
    if (!given.isEmpty())
        pieces.append(given);
    if (!surname.isEmpty())
        pieces.append(QLatin1Char('/') + surname + QLatin1Char('/'));
    if (!suffix.isEmpty())
        pieces.append(suffix);
    return pieces.join(QLatin1Char(' '));
}

bool FactFile::load(const QString &path, QString *error)
{
    if (!m_tree.load(path, error))
        return false;
    readPersons();
    return true;
}

bool FactFile::loadBytes(const QByteArray &bytes, QString *error)
{
    if (!m_tree.loadBytes(bytes, error))
        return false;
    readPersons();
    return true;
}

QString FactFile::keyOf(const QByteArray &xref) const
{
    const int person = m_personIndex.value(xref, -1);
    return person < 0 ? QString() : m_persons[size_t(person)].key;
}

void FactFile::readPersons()
{
    const GedcomTree &t = m_tree;
    // A child belongs to a family when either side says so: the family's CHIL or the child's
    // FAMC.
    for (const int record : t.records()) {
        if (t.node(record).tag != "FAM")
            continue;
        for (int c = t.node(record).firstChild; c >= 0; c = t.node(c).nextSibling) {
            if (t.node(c).tag == "CHIL" && !t.node(c).pointer.isEmpty()) {
                QList<int> &families = m_childOf[t.node(c).pointer];
                if (!families.contains(record))
                    families.append(record);
            }
        }
    }
    for (const int record : t.records()) {
        const GedcomTree::Node &node = t.node(record);
        if (node.tag != "INDI")
            continue;
        if (!node.xref.isEmpty() && m_personIndex.contains(node.xref))
            continue; // the first record with an id is the person, as for every reader
        Person person;
        person.node = record;
        person.xref = node.xref;
        if (const int name = t.child(record, "NAME"); name >= 0) {
            person.display = displayName(t, name);
            person.name = person.display.toCaseFolded();
            const QString value = t.node(name).value;
            const qsizetype surnameEnd =
                value.indexOf(QLatin1Char('/'), value.indexOf(QLatin1Char('/')) + 1);
            person.core =
                surnameEnd < 0
                    ? person.name
                    : normalised(value.left(surnameEnd).replace(QLatin1Char('/'), QLatin1Char(' ')))
                          .toCaseFolded();
        }
        if (const int birth = t.child(record, "BIRT"); birth >= 0)
            person.year = yearOf(t.childValue(birth, "DATE"));
        if (!node.xref.isEmpty()) {
            m_personIndex.insert(node.xref, int(m_persons.size()));
            for (int c = node.firstChild; c >= 0; c = t.node(c).nextSibling) {
                if (t.node(c).tag != "FAMC")
                    continue;
                const int family = t.record(t.node(c).pointer);
                QList<int> &families = m_childOf[node.xref];
                if (family >= 0 && t.node(family).tag == "FAM" && !families.contains(family))
                    families.append(family);
            }
        }
        m_persons.push_back(person);
    }
    // The partners' and children's names, once every person has a name.
    QHash<QByteArray, QStringList> kin;
    for (const int record : t.records()) {
        if (t.node(record).tag != "FAM")
            continue;
        QList<QByteArray> partners;
        QStringList names;
        for (int c = t.node(record).firstChild; c >= 0; c = t.node(c).nextSibling) {
            const QByteArray &tag = t.node(c).tag;
            const int person = m_personIndex.value(t.node(c).pointer, -1);
            if (person < 0 || (tag != "HUSB" && tag != "WIFE" && tag != "CHIL"))
                continue;
            names.append(m_persons[size_t(person)].name);
            if (tag != "CHIL")
                partners.append(t.node(c).pointer);
        }
        for (const QByteArray &partner : partners) {
            QStringList others = names;
            others.removeOne(m_persons[size_t(m_personIndex.value(partner))].name);
            kin[partner] += others;
        }
    }
    // The parents' names, once every person has a name.
    for (Person &person : m_persons) {
        QStringList others = kin.value(person.xref);
        std::sort(others.begin(), others.end());
        person.kin = others.join(QLatin1String(" & "));
        if (person.xref.isEmpty())
            continue;
        QStringList names;
        for (const int family : m_childOf.value(person.xref)) {
            for (int c = t.node(family).firstChild; c >= 0; c = t.node(c).nextSibling) {
                const QByteArray &tag = t.node(c).tag;
                if (tag != "HUSB" && tag != "WIFE")
                    continue;
                const int parent = m_personIndex.value(t.node(c).pointer, -1);
                if (parent >= 0)
                    names.append(m_persons[size_t(parent)].name);
            }
        }
        std::sort(names.begin(), names.end());
        person.parents = names.join(QLatin1String(" & "));
    }
}

} // namespace GedcomFacts
