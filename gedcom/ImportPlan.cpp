#include "ImportPlan.h"

#include <QStringList>

namespace Gedcom {

namespace {

QString count(qsizetype n, const char *one, const char *many)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

} // namespace

QString ImportPlan::summary(qsizetype photosCopied, qsizetype photosFailed,
                           const QString &readLine) const
{
    if (!isValid())
        return error.text();
    const ImportCounts &c = counts;
    QStringList paragraphs;
    if (!readLine.isEmpty())
        paragraphs.append(readLine);
    else
        paragraphs.append(
            QStringLiteral("Read %1: %2, %3, %4.")
                .arg(count(c.persons, "person", "persons"), count(c.rows, "row", "rows"),
                     count(c.partners, "partner", "partners"),
                     count(c.noted, "noted in the notes of a row", "noted in the notes of rows")));

    QStringList skipped;
    if (c.brokenPointers)
        skipped.append(
            count(c.brokenPointers, "pointer to a missing record", "pointers to missing records"));
    if (c.duplicateXrefs)
        skipped.append(count(c.duplicateXrefs, "record with an id used before",
                             "records with an id used before"));
    if (c.malformedLines)
        skipped.append(
            count(c.malformedLines, "line that is not GEDCOM", "lines that are not GEDCOM"));
    if (c.strayContinuations)
        skipped.append(count(c.strayContinuations, "continuation line with nothing to continue",
                             "continuation lines with nothing to continue"));
    if (!c.unknownTags.isEmpty()) {
        QStringList tags;
        for (const auto &tag : c.unknownTags)
            tags.append(QString::fromUtf8(tag.first) + QStringLiteral(" (") +
                        QString::number(tag.second) + QLatin1Char(')'));
        skipped.append(QStringLiteral("unknown tags: ") + tags.join(QStringLiteral(", ")));
    }
    if (!skipped.isEmpty())
        paragraphs.append(QStringLiteral("Skipped: ") + skipped.join(QStringLiteral("; ")) +
                          QLatin1Char('.'));

    QStringList photos;
    if (photosCopied < 0) {
        photos.append(count(c.photos, "photo to copy", "photos to copy"));
    } else {
        photos.append(count(photosCopied, "copied", "copied"));
        if (photosFailed)
            photos.append(count(photosFailed, "could not be copied", "could not be copied"));
    }
    if (c.photosMissing)
        photos.append(count(c.photosMissing, "not found", "not found"));
    if (c.photosRefused)
        photos.append(count(c.photosRefused, "not an image file", "not image files"));
    if (c.photosRemote)
        photos.append(count(c.photosRemote, "on the web, not fetched", "on the web, not fetched"));
    if (c.photos || c.photosMissing || c.photosRefused || c.photosRemote)
        paragraphs.append(QStringLiteral("Photos: ") + photos.join(QStringLiteral(", ")) +
                          QLatin1Char('.'));

    QStringList notes;
    if (c.levelJumps)
        notes.append(QStringLiteral("%1 read one level below the line before them.")
                         .arg(count(c.levelJumps, "line that skipped levels was",
                                    "lines that skipped levels were")));
    if (c.unreachableRows)
        notes.append(QStringLiteral("%1 a cycle of parents (a person their own ancestor): no root "
                                    "leads to them.")
                         .arg(count(c.unreachableRows, "row is in", "rows are in")));
    if (c.trailerMissing)
        notes.append(QStringLiteral("The file ends without its trailer: it may be cut off; what "
                                    "it holds was read."));
    if (!c.encodingRemark.isEmpty())
        notes.append(c.encodingRemark);
    if (!notes.isEmpty())
        paragraphs.append(notes.join(QLatin1Char(' ')));
    return paragraphs.join(QLatin1Char('\n'));
}

} // namespace Gedcom
