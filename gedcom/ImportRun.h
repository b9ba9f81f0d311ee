#pragma once

#include "ImportPlan.h"
#include "Progress.h"
#include "RowSink.h"

namespace Gedcom {

struct RunResult
{
    Error error;        // why the run failed; Cancelled when progress stopped it
    qsizetype rows = 0; // written (and committed when done)
    qsizetype photosCopied = 0;
    qsizetype photosFailed = 0; // could not be copied (the import goes on without them)

    bool isDone() const { return !error; }
    bool isCancelled() const { return error.is(ErrorCode::Cancelled); }
};

// Carries out a plan: its rows into the sink and its photos into <photosRoot>/<ID>/, one row
// after the other, telling `progress` after each row. Photo copies never replace a file; a
// source is opened only when it is still a regular file within the plan's size limit.
// Cancelled by progress, or failed (sink or folder), the run rolls the sink back and removes
// every file and folder it created: nothing is left of the import.
RunResult runImport(const ImportPlan &plan, RowSink &sink, const QString &photosRoot,
                    const Progress &progress = {}, qint64 maxPhotoSize = qint64(100) * 1024 * 1024);

} // namespace Gedcom
