#pragma once

#include "ModelSlice.h"

#include <QString>
#include <QStringList>

// What a merge of two persons changed, for its entry in the history: the whole tree before and
// after (rows and side records), and the photos: the files copied into KEEP's folder and where
// OTHER's folder was put aside (ChangeHistory::SetAside; "" when it stayed). A merge of two
// families or sources has no keys and no photos.
struct MergeChange
{
    QString tree;
    QString keepKey;
    QString otherKey;
    QString name; // "Merge Georg King into George King"
    Genealogy::ModelSlice before;
    Genealogy::ModelSlice after;
    QString keepFolder; // KEEP's photo folder
    bool keepFolderWasThere = false;
    QStringList copied;  // file names copied into it
    QString otherFolder; // OTHER's photo folder ("" when none)
    QString aside;       // where it went aside
};
