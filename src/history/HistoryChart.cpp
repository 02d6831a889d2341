#include "history/HistoryChart.h"

#include <cmath>

namespace tavlor {

namespace {
constexpr double kBytesPerMB = 1e6;
constexpr double kBytesPerGB = 1e9;
constexpr double kMostSteps = 7;

// The smallest 1, 2 or 5 times a power of ten that reaches above the value in at most seven
// steps: 549 gets steps of 100, 137 steps of 20.
double RoundStep(double highest)
{
    double step = std::pow(10.0, std::floor(std::log10(highest / kMostSteps)));
    for (int i = 0;; ++i) {
        const double candidate = step * (i % 3 == 0 ? 1.0 : i % 3 == 1 ? 2.0 : 5.0);
        if (std::floor(highest / candidate + 1e-9) + 1 <= kMostSteps) {
            return candidate;
        }
        if (i % 3 == 2) {
            step *= 10;
        }
    }
}
} // namespace

HistoryChartScale ScaleForHighestBar(double highestBytes)
{
    if (!(highestBytes > 0) || !std::isfinite(highestBytes)) {
        return {"MB", kBytesPerMB, 1, 1, 2};
    }
    const bool inGB = highestBytes >= kBytesPerGB;
    const double perUnit = inGB ? kBytesPerGB : kBytesPerMB;
    const double highest = highestBytes / perUnit;
    const double step = RoundStep(highest);
    // Strictly above the highest bar, so that its top never touches the frame.
    const double steps = std::floor(highest / step + 1e-9) + 1;
    return {inGB ? "GB" : "MB", perUnit, steps * step, step, static_cast<int>(steps) + 1};
}

} // namespace tavlor
