#pragma once

#include <cstdint>

namespace tavlor {

inline constexpr double kCounterSpan = 4294967296.0; // 2^32
inline constexpr std::uint64_t kUnknownLinkSpeedBps = 1000000000;

enum class CounterChange
{
    Growth,
    Wrap,
    Restart
};

// How a 32-bit interface counter got from `previous` to `current` in `elapsedMs`: a drop is a
// wrap only when the bytes it implies fit what the link can carry in that time (2 % slack,
// 1 Gbit/s when the speed is unknown); otherwise the counter started again from zero.
CounterChange ClassifyCounterChange(std::uint32_t previous, std::uint32_t current, std::uint64_t linkSpeedBps,
                                    std::int64_t elapsedMs);

// The offset to add to the new counter value so that the reading continues the previous one: unchanged for
// growth, 2^32 more after a wrap, `previous` more after a restart (its traffic since the
// restart counts, nothing is invented).
double OffsetAfterChange(double offset, std::uint32_t previous, CounterChange change);

} // namespace tavlor
