#pragma once

#include "platform/SystemTimesSource.h"

#include <string>

namespace tavlor::platform {

// Processor idle time from the kernel's "cpu" line in /proc/stat (idle plus iowait, all
// processors together), the system time from the monotonic clock, both in 100 ns units.
class ProcSystemTimes final : public SystemTimesSource
{
public:
    // ticksPerSecond and processors of 0 mean: ask the system (the online count at each call).
    explicit ProcSystemTimes(std::string statPath = "/proc/stat", long ticksPerSecond = 0,
                             int processors = 0);

    std::optional<CpuTimes> cpuTimes() override;
    std::uint64_t millisecondsSinceBoot() override;

private:
    std::string m_statPath;
    long m_ticksPerSecond;
    int m_processors;
};

} // namespace tavlor::platform
