#include "ModelImport.h"

#include <QStringList>

namespace Gedcom {

QString MappedTree::summary(qsizetype photosCopied, qsizetype photosFailed) const
{
    ImportPlan plan;
    plan.error = error;
    plan.counts = counts;
    QString text = plan.summary(photosCopied, photosFailed);
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
