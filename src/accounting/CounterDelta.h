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

// The bytes a counter of `bits` width counted from `older` to `newer`: newer - older modulo
// the width. A full-width (64-bit) counter that goes backwards started again: what it counted
// since is `newer`. Only a 32-bit counter can wrap within a link's lifetime, so only there the
// drop is judged by what the link could carry in `elapsedMs` (0 when the time between the
// readings says nothing, for instance after failed samples: the drop is then a restart).
double CountedBytes(std::uint64_t older, std::uint64_t newer, unsigned bits, std::uint64_t linkSpeedBps,
                    std::int64_t elapsedMs);

} // namespace tavlor
