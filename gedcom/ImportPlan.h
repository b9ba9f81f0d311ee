#pragma once

#include "PersonRecord.h"
#include "Result.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>

namespace Gedcom {

// What an import needs to know of the world outside the file.
struct ImportContext
{
    // Whether a key is already used: by a person of another tree, or as a photo folder.
    std::function<bool(const QString &key)> isKeyTaken;
    // The folder of the GEDCOM file, for relative OBJE paths (planImportFile sets it).
    QString gedcomFolder;
    // Whether an opened regular file decodes as an image; without it every regular file of at
    // most maxPhotoSize bytes is taken.
    std::function<bool(QIODevice &file)> isImage;
    qint64 maxPhotoSize = qint64(100) * 1024 * 1024;
};

// One photo to copy into the person's folder: from where, and under which file name.
struct PhotoCopy
{
    QString source;
    QString name;
    bool operator==(const PhotoCopy &) const = default;
};

struct PlannedRow
{
    PersonRecord record;
    QList<PhotoCopy> photos;
};

// The figures of an import, for its summary.
struct ImportCounts
{
    qsizetype persons = 0;  // N: INDI records read (the first of each id)
    qsizetype rows = 0;     // R: persons with a row
    qsizetype partners = 0; // P: persons without a row who are the partner of a row
    qsizetype noted = 0;    // M: persons kept only in the notes of a row
    qsizetype families = 0;

    qsizetype brokenPointers = 0;
    qsizetype duplicateXrefs = 0;
    qsizetype malformedLines = 0;
    qsizetype levelJumps = 0;
    qsizetype strayContinuations = 0;
    QList<QPair<QByteArray, qsizetype>> unknownTags; // by name
    bool trailerMissing = false;

    qsizetype photos = 0;          // to copy
    qsizetype photosMissing = 0;   // not found
    qsizetype photosRefused = 0;   // not a regular file, too large, unreadable, not an image
    qsizetype photosRemote = 0;    // web addresses, not fetched
    qsizetype unreachableRows = 0; // rows in a cycle of parents: no root leads to them

    QString encodingRemark;
};

// The rows one import creates, in order, with their photos and the figures.
struct ImportPlan
{
    Error error; // when the file could not be read or mapping was cancelled; then no rows
    QList<PlannedRow> rows;
    ImportCounts counts;

    bool isValid() const { return !error; }
    // One text for the user: persons read and how they were kept, then what was skipped. With
    // the figures of a run (photosCopied >= 0), the photos copied and those that failed; else
    // the photos to copy. `readLine`, when given, is the first paragraph instead of the persons,
    // rows, partners and noted persons read.
    QString summary(qsizetype photosCopied = -1, qsizetype photosFailed = 0,
                    const QString &readLine = QString()) const;
};

} // namespace Gedcom
