#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace Pixtile {

// One listed file with the information the host asked for. The control keeps them in display
// order; sorting and painting run over this list.
struct FileRecord
{
    QString Path;      // folder with trailing separator
    QString Name;      // file name
    QString Extension; // upper case, no dot (GetExt)
    QString FileType;  // type name (GetType)
    qint64 Size = 0;   // bytes (GetSize)
    int Width = 0;     // stored pixel size from the header (GetDims)
    int Height = 0;
    QString DateMdf; // d/m/yyyy h:m:s (GetDate)
};

using FileRecords = QList<FileRecord>;

} // namespace Pixtile
