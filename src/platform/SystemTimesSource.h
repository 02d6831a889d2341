#pragma once

#include <cstdint>
#include <optional>

namespace tavlor {

struct CpuTimes
{
    std::int64_t idleTime100ns = 0;   // total idle time of all processors
    std::int64_t systemTime100ns = 0; // current system time, same unit
    int processors = 1;
};

class SystemTimesSource
{
public:
    virtual ~SystemTimesSource() = default;
    // nullopt when the system information cannot be read.
    virtual std::optional<CpuTimes> cpuTimes() = 0;
    // Milliseconds since the system started, 64 bits (never wraps in practice).
    virtual std::uint64_t millisecondsSinceBoot() = 0;
};

} // namespace tavlor
