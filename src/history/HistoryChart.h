#pragma once

#include <string>

namespace tavlor {

// The value axis of the history chart: round ticks a person reads at a glance (0, 100, 200 MB;
// 1, 2 GB) instead of the highest bar split into equal parts.
struct HistoryChartScale
{
    std::string unit;    // "MB" or "GB"
    double bytesPerUnit; // 1e6 or 1e9, as the table's texts count
    double maximum;      // top of the axis, in units: a whole number of steps
    double step;         // 1, 2 or 5 times a power of ten, in units
    int ticks;           // tick lines from 0 to maximum, both included
};

// The scale for the highest bar (in bytes): MB below a gigabyte, GB from there on, at most
// seven steps to the axis. Nothing counted (0, negative or not a number) gives 0 to 1 MB.
HistoryChartScale ScaleForHighestBar(double highestBytes);

} // namespace tavlor
