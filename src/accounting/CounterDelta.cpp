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

double CountedBytes(std::uint64_t older, std::uint64_t newer, unsigned bits, std::uint64_t linkSpeedBps,
                    std::int64_t elapsedMs)
{
    if (bits >= 64) {
        return static_cast<double>(newer >= older ? newer - older : newer);
    }
    const auto previous = static_cast<std::uint32_t>(older);
    const auto current = static_cast<std::uint32_t>(newer);
    switch (ClassifyCounterChange(previous, current, linkSpeedBps, elapsedMs)) {
    case CounterChange::Growth:
        return static_cast<double>(current - previous);
    case CounterChange::Wrap:
        return kCounterSpan - previous + current;
    case CounterChange::Restart:
        break;
    }
    return static_cast<double>(current);
}

} // namespace tavlor
