#pragma once

#include <QString>

// The floor of loading a tree: every value of the table read once by the engine's own C
// interface, as text, and nothing kept. Returns the milliseconds taken, or a negative number
// when the table cannot be read; `rows` receives the number of rows read.
double ReadFloorMs(const QString &databaseFile, const QString &tree, long long *rows = nullptr);

// Resident memory of this process, in KiB: now (VmRSS) and the peak so far (VmHWM).
long long ResidentKiB();
long long PeakResidentKiB();
