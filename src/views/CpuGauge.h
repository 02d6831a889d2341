#pragma once

#include "platform/SystemTimesSource.h"

#include <cstdint>
#include <string>

namespace tavlor {

// Processor load from the growth of the system's total idle time between two measurements.
class CpuLoadMeter
{
public:
    explicit CpuLoadMeter(SystemTimesSource& source);
    // 0..100; 0 on the first call and whenever the times cannot be read.
    std::int32_t GetCpuLoad();

private:
    SystemTimesSource& m_source;
    std::int64_t m_prevIdleTime = 0;
    std::int64_t m_prevSystemTime = 0;
};

struct GaugeDisplay
{
    int pictureIndex = 0; // 0..11 into the twelve bar-meter pictures
    std::string text;     // lCpu, e.g. "25%"
};

// tGraphTimer's rule: n = load + 1, picture = round(n / 11); the text shows the load itself.
GaugeDisplay GaugeFor(std::int32_t load);

} // namespace tavlor
