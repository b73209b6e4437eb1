#pragma once

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <ctime>
#include <vector>

// What the benchmarks share: times as a user waits for them and as the processor spends them, and the large
// catalogues they run on.

// Wall time as a user waits, and the process's processor time, which other work on a busy machine does not
// inflate. Milliseconds.
struct Time {
    double wall = 0;
    double processor = 0;
};

template <typename Work> Time timed(Work&& work) {
    QElapsedTimer timer;
    timer.start();
    const std::clock_t started = std::clock();
    work();
    return {timer.nsecsElapsed() / 1e6, double(std::clock() - started) * 1000 / CLOCKS_PER_SEC};
}

// The median wall time and the median processor time of several runs.
Time median(std::vector<Time> runs);

// A table of times: the heading of its two columns, then a line for each time with what was timed and a note
// (a ratio to a floor, a goal).
void printHeading();
void print(const char* what, Time time, const QString& note = {});
// A time against the floor measured in the same run: "x1.18 x1.30 of the floor", wall time and processor time.
QString ofTheFloor(Time time, Time floor);

// A catalogue at `path` of the shipped stations and `stations` more, spread evenly over the ten browsed
// categories by tools/grow-catalogue.sql, without the program's indexes, like a catalogue copied from elsewhere.
void makeCatalogue(const QString& path, int stations);

// The resident memory of this process, in megabytes: now, and the most it has held.
double residentMegabytes();
double peakResidentMegabytes();
