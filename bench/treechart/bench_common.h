#pragma once

#include "cPeople.h"

#include <QFile>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

// Clocks and memory for the chart's benchmarks.

inline long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// CPU time of this thread: the machine is shared, so wall-clock figures swing with the load.
inline double CpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

inline double WallMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// The first run, the median and the worst of `runs` runs.
struct Timing
{
    double first = 0;
    double median = 0;
    double worst = 0;
};

template <typename F> Timing TimeRuns(int runs, F &&work, double (*clock)() = CpuMs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = clock();
        work(i);
        times.push_back(clock() - start);
    }
    const double first = times.front();
    std::sort(times.begin(), times.end());
    return Timing{first, times[times.size() / 2], times.back()};
}

// Persons with names as a real tree has them (a few common surnames and first names, most
// rare; children carry a parent's surname), or with every caption and every word in it distinct.
enum class Names { Realistic, Distinct };
cPeople NamedPeople(int count, const std::function<int(int)> &parentOf,
                    Names names = Names::Realistic);

void BenchFind();
void BenchDescendantLayout();
void BenchDescendantViews();
