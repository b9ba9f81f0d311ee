#pragma once

#include "PrivacyFilter.h"
#include "ReportDocument.h"

// A report of a person of a whole tree (its rows and model as read), as the privacy choice
// leaves the tree: the one way the window and the command line make one.
namespace Reports {

struct MadeReport
{
    ReportResult result;
    QString error; // why there is no report: no such person, a private one left out
};

// `request.person` is ignored: the person is the row with the key `key`.
MadeReport makeReport(Genealogy::ModelSlice tree, const QString &key, ReportRequest request,
                      const Genealogy::PrivacyOptions &privacy);

} // namespace Reports
