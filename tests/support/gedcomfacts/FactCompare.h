#pragma once

#include "FactFile.h"

#include <QMap>

#include <array>

namespace GedcomFacts {

struct Figures
{
    qsizetype kept = 0;
    qsizetype total = 0;
    qsizetype inNotes = 0; // lost, but every value of it is in a note of its owner

    double percent() const { return total ? 100.0 * double(kept) / double(total) : 100.0; }
    double percentWithNotes() const
    {
        return total ? 100.0 * double(kept + inNotes) / double(total) : 100.0;
    }
    Figures &operator+=(const Figures &other)
    {
        kept += other.kept;
        total += other.total;
        inNotes += other.inNotes;
        return *this;
    }
};

struct LostFact
{
    Category category = Category::Persons;
    QByteArray tag;
    QString text;
    bool inNotes = false;
};

// What the second file keeps of the first: each fact of the first is kept when the second has
// the same fact (as many times as the first has it). A parent or partner link of the second
// that the first lacks is wrong.
struct Comparison
{
    qsizetype personsFirst = 0;
    qsizetype personsSecond = 0;
    std::array<Figures, kCategoryCount> categories{};
    std::vector<LostFact> lost;                       // in the first file's order
    QList<QPair<QString, QString>> wrongParentLinks;  // child, parent
    QList<QPair<QString, QString>> wrongPartnerLinks; // both partners
    QStringList onlyInSecond;                         // persons matching none of the first

    Figures overall(bool coreOnly) const;
    // The children that have a wrong parent link.
    qsizetype childrenWithWrongParent() const;
    // Lost facts per tag, in each category ("other events" and "OCCU" -> 5).
    QMap<QPair<Category, QByteArray>, qsizetype> lostPerTag() const;
    bool isComplete() const
    {
        return lost.empty() && wrongParentLinks.isEmpty() && wrongPartnerLinks.isEmpty();
    }
};

// Matches the persons of both files, reads their facts and compares them.
Comparison compare(FactFile &first, FactFile &second);
// The same for two files on disk; false (and the reason) when one cannot be read.
bool compareFiles(const QString &first, const QString &second, Comparison *comparison,
                  QString *error);

// The report for people: figures per category, overall, lost facts per tag, the wrong links
// (always) and, when `verbose`, every lost fact and every person only in the second file.
QString report(const Comparison &comparison, bool verbose);
// The figures for scripts, one per line, fields separated by tabs:
//   category NAME KEPT TOTAL IN_NOTES core|detail | wrong-parent-links N CHILDREN |
//   wrong-partner-links N | persons FIRST SECOND ONLY_IN_SECOND | lost-tag CATEGORY TAG N
QString tabular(const Comparison &comparison);

} // namespace GedcomFacts
