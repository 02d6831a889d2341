#pragma once

#include "platform/SystemTimesSource.h"

namespace tavlor::win32 {

// Processor times from NtQuerySystemInformation (classes 0, 3 and 2), uptime from GetTickCount64.
class WinSystemTimesSource final : public SystemTimesSource
{
public:
    std::optional<CpuTimes> cpuTimes() override;
    std::uint64_t millisecondsSinceBoot() override;
};

} // namespace tavlor::win32
