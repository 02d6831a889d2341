#include "accounting/CounterDelta.h"

namespace tavlor {

CounterChange ClassifyCounterChange(std::uint32_t previous, std::uint32_t current, std::uint64_t linkSpeedBps,
                                    std::int64_t elapsedMs)
{
    if (current >= previous) {
        return CounterChange::Growth;
    }
    const double implied = kCounterSpan - previous + current;
    const double speed = static_cast<double>(linkSpeedBps != 0 ? linkSpeedBps : kUnknownLinkSpeedBps);
    const double seconds = elapsedMs > 0 ? static_cast<double>(elapsedMs) / 1000.0 : 0.0;
    const double capacity = speed / 8.0 * seconds * 1.02;
    return implied <= capacity ? CounterChange::Wrap : CounterChange::Restart;
}

double OffsetAfterChange(double offset, std::uint32_t previous, CounterChange change)
{
    switch (change) {
    case CounterChange::Wrap:
        return offset + kCounterSpan;
    case CounterChange::Restart:
        return offset + previous;
    case CounterChange::Growth:
        break;
    }
    return offset;
}

} // namespace tavlor
