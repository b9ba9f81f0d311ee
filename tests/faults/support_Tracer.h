#pragma once

#include <QString>
#include <QStringList>

// Runs a program under the system's process tracer and counts its writes, to kill it with
// SIGKILL just before one of them: the crash of the crash test, at a point chosen by number.
//
// Writes are the system calls that change files: write, pwrite, writev and pwritev, ftruncate,
// fallocate, fsync and fdatasync on a file inside `folder` (the folder itself included), and
// every rename and unlink. A write to the standard output is a marker instead: the program says
// with it which operation begins.
namespace Tracer {

struct Result
{
    bool traced = false; // the program ran under the tracer
    bool killed = false; // killed just before its k-th write
    int exitCode = -1;   // when it ended by itself
    int writes = 0;      // writes seen (the k-th included when killed)
    int markers = 0;     // markers seen before the end
    QString error;       // why the program could not be traced
};

// k = 0: never kill, only count.
Result Run(const QString &program, const QStringList &arguments, const QString &folder, int k);

} // namespace Tracer
