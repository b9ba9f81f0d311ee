#include "FactCompare.h"

#include "PersonMatch.h"

#include <QTextStream>

#include <algorithm>

namespace GedcomFacts {

namespace {

QString identity(const Fact &fact)
{
    return QString::number(int(fact.category)) + QChar(0x1f) + fact.text;
}

bool inNotes(const Fact &fact, const FactFile &second)
{
    if (fact.needles.isEmpty())
        return false;
    QString haystack;
    for (const QString &owner : fact.owners)
        haystack += second.notesOf(owner);
    if (haystack.isEmpty())
        return false;
    return std::all_of(fact.needles.cbegin(), fact.needles.cend(),
                       [&haystack](const QString &needle) { return haystack.contains(needle); });
}

template <typename Links>
QList<QPair<QString, QString>> missingFrom(const Links &links, const Links &reference)
{
    QList<QPair<QString, QString>> missing;
    for (const auto &link : links) {
        if (!reference.contains(link))
            missing.append(link);
    }
    std::sort(missing.begin(), missing.end());
    return missing;
}

QString percent(double value)
{
    return QString::number(value, 'f', 1);
}

} // namespace

Figures Comparison::overall(bool coreOnly) const
{
    Figures sum;
    for (int c = 0; c < kCategoryCount; ++c) {
        if (!coreOnly || isCoreCategory(Category(c)))
            sum += categories[size_t(c)];
    }
    return sum;
}

qsizetype Comparison::childrenWithWrongParent() const
{
    QSet<QString> children;
    for (const auto &link : wrongParentLinks)
        children.insert(link.first);
    return children.size();
}

QMap<QPair<Category, QByteArray>, qsizetype> Comparison::lostPerTag() const
{
    QMap<QPair<Category, QByteArray>, qsizetype> counts;
    for (const LostFact &fact : lost)
        ++counts[{fact.category, fact.tag}];
    return counts;
}

Comparison compare(FactFile &first, FactFile &second)
{
    matchPersons(first, second);
    first.collect();
    second.collect();

    Comparison result;
    result.personsFirst = qsizetype(first.persons().size());
    result.personsSecond = qsizetype(second.persons().size());
    QHash<QString, qsizetype> available;
    for (const Fact &fact : second.facts())
        ++available[identity(fact)];
    for (const Fact &fact : first.facts()) {
        Figures &figures = result.categories[size_t(fact.category)];
        ++figures.total;
        qsizetype &count = available[identity(fact)];
        if (count > 0) {
            --count;
            ++figures.kept;
            continue;
        }
        const bool noted = inNotes(fact, second);
        if (noted)
            ++figures.inNotes;
        result.lost.push_back({fact.category, fact.tag, fact.text, noted});
    }
    result.wrongParentLinks = missingFrom(second.parentLinks(), first.parentLinks());
    result.wrongPartnerLinks = missingFrom(second.partnerLinks(), first.partnerLinks());
    for (const Person &person : second.persons()) {
        if (!person.matched)
            result.onlyInSecond.append(person.key);
    }
    return result;
}

bool compareFiles(const QString &firstPath, const QString &secondPath, Comparison *comparison,
                  QString *error)
{
    FactFile first;
    FactFile second;
    QString reason;
    if (!first.load(firstPath, &reason)) {
        *error = QStringLiteral("%1: %2").arg(firstPath, reason);
        return false;
    }
    if (!second.load(secondPath, &reason)) {
        *error = QStringLiteral("%1: %2").arg(secondPath, reason);
        return false;
    }
    *comparison = compare(first, second);
    return true;
}

QString report(const Comparison &c, bool verbose)
{
    QString text;
    QTextStream out(&text);
    out << "persons: " << c.personsFirst << " in the first file, " << c.personsSecond
        << " in the second (" << c.onlyInSecond.size() << " matching none of the first)\n\n";
    const auto line = [&out](const QString &name, const Figures &f) {
        out << name.leftJustified(20) << QString::number(f.kept).rightJustified(8) << " / "
            << QString::number(f.total).leftJustified(8) << percent(f.percent()).rightJustified(6)
            << " %";
        if (f.inNotes)
            out << "   (" << percent(f.percentWithNotes()) << " % with " << f.inNotes
                << " in notes)";
        out << '\n';
    };
    out << QStringLiteral("category").leftJustified(20) << "    kept / total\n";
    for (int i = 0; i < kCategoryCount; ++i) {
        if (c.categories[size_t(i)].total)
            line(categoryName(Category(i)), c.categories[size_t(i)]);
    }
    out << '\n';
    line(QStringLiteral("core facts"), c.overall(true));
    line(QStringLiteral("all facts"), c.overall(false));

    const auto perTag = c.lostPerTag();
    if (!perTag.isEmpty()) {
        QList<QPair<qsizetype, QString>> ranked;
        for (auto it = perTag.cbegin(); it != perTag.cend(); ++it)
            ranked.append(
                {-it.value(), QStringLiteral("%1 %2").arg(QString::fromLatin1(it.key().second),
                                                          categoryName(it.key().first))});
        std::sort(ranked.begin(), ranked.end());
        out << "\nlost per tag:";
        for (const auto &[count, name] : ranked)
            out << "\n  " << QString::number(-count).rightJustified(7) << "  " << name;
        out << '\n';
    }
    out << "\nwrong parent links (in the second file only): " << c.wrongParentLinks.size()
        << ", of " << c.childrenWithWrongParent() << " children\n";
    for (const auto &[child, parent] : c.wrongParentLinks)
        out << "  " << child << ": child of " << parent << '\n';
    out << "wrong partner links (in the second file only): " << c.wrongPartnerLinks.size() << '\n';
    for (const auto &[a, b] : c.wrongPartnerLinks)
        out << "  " << a << ": partner of " << b << '\n';
    if (verbose) {
        out << "\nlost facts: " << c.lost.size() << '\n';
        for (const LostFact &fact : c.lost)
            out << "  [" << categoryName(fact.category) << "] " << fact.text
                << (fact.inNotes ? "   (in notes)" : "") << '\n';
        out << "\npersons of the second file matching none of the first: " << c.onlyInSecond.size()
            << '\n';
        for (const QString &person : c.onlyInSecond)
            out << "  " << person << '\n';
    }
    return text;
}

QString tabular(const Comparison &c)
{
    QString text;
    QTextStream out(&text);
    for (int i = 0; i < kCategoryCount; ++i) {
        const Figures &f = c.categories[size_t(i)];
        out << "category\t" << categoryName(Category(i)) << '\t' << f.kept << '\t' << f.total
            << '\t' << f.inNotes << '\t' << (isCoreCategory(Category(i)) ? "core" : "detail")
            << '\n';
    }
    out << "wrong-parent-links\t" << c.wrongParentLinks.size() << '\t'
        << c.childrenWithWrongParent() << '\n';
    out << "wrong-partner-links\t" << c.wrongPartnerLinks.size() << '\n';
    out << "persons\t" << c.personsFirst << '\t' << c.personsSecond << '\t' << c.onlyInSecond.size()
        << '\n';
    const auto perTag = c.lostPerTag();
    for (auto it = perTag.cbegin(); it != perTag.cend(); ++it)
        out << "lost-tag\t" << categoryName(it.key().first) << '\t'
            << QString::fromLatin1(it.key().second) << '\t' << it.value() << '\n';
    return text;
}

} // namespace GedcomFacts
