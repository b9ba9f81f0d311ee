#include "ModelImport.h"

#include <QStringList>

namespace Gedcom {

namespace {

QString count(qsizetype n, const char *one, const char *many)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

} // namespace

QString MappedTree::summary(qsizetype photosCopied, qsizetype photosFailed) const
{
    ImportPlan plan;
    plan.error = error;
    plan.counts = counts;
    // Every partner is a person of the tree and nothing is put into notes: what was read is
    // told by the model's figures.
    const ModelCounts &m = modelCounts;
    const QString readLine =
        QStringLiteral("Read %1: %2, %3, %4, %5, %6.")
            .arg(count(counts.persons, "person", "persons"), count(counts.rows, "row", "rows"),
                 count(m.families, "family", "families"), count(m.eventsRead, "event", "events"),
                 count(m.sources, "source", "sources"),
                 count(m.citations, "citation", "citations"));
    QString text = plan.summary(photosCopied, photosFailed, readLine);
    if (!isValid() || modelCounts.keptByTag.isEmpty())
        return text;
    QStringList tags;
    for (const auto &tag : modelCounts.keptByTag)
        // One substitution for both: a tag holding "%1" must not take the count's place.
        tags.append(QStringLiteral("%1 (%2)").arg(QString::fromUtf8(tag.first),
                                                  QString::number(tag.second)));
    return text + QStringLiteral("\nKept as read: ") + tags.join(QStringLiteral(", ")) +
           QLatin1Char('.');
}

QString MappedTree::resultLineTail() const
{
    const ModelCounts &c = modelCounts;
    return QStringLiteral("; %1 families, %2 events, %3 sources, %4 citations, %5 kept as read")
        .arg(c.families)
        .arg(c.events)
        .arg(c.sources)
        .arg(c.citations)
        .arg(c.kept);
}

} // namespace Gedcom
