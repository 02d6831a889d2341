#include "views/CpuGauge.h"

#include <algorithm>
#include <cmath>

namespace tavlor {

namespace {
constexpr int kLastPicture = 11;

// The load from the growth of idle time against elapsed time. Counters that stand still or
// run backwards (a clock step, the kernel's iowait figure, which may shrink) give 0 instead
// of a division by zero; the result stays in 0..100 so that the gauge's picture index is valid.
std::int32_t LoadBetween(const CpuTimes& now, std::int64_t prevIdle, std::int64_t prevSystem)
{
    const double idle = static_cast<double>(now.idleTime100ns - prevIdle);
    const double elapsed = static_cast<double>(now.systemTime100ns - prevSystem);
    if (elapsed <= 0 || now.processors <= 0) {
        return 0;
    }
    const double load = 100.0 - (idle / elapsed) * 100.0 / now.processors + 0.5;
    return static_cast<std::int32_t>(std::clamp(std::trunc(load), 0.0, 100.0));
}
} // namespace

CpuLoadMeter::CpuLoadMeter(SystemTimesSource& source) : m_source(source) {}

std::int32_t CpuLoadMeter::GetCpuLoad()
{
    const std::optional<CpuTimes> now = m_source.cpuTimes();
    if (!now) {
        return 0;
    }
    const std::int32_t load = m_prevIdleTime != 0 ? LoadBetween(*now, m_prevIdleTime, m_prevSystemTime) : 0;
    m_prevIdleTime = now->idleTime100ns;
    m_prevSystemTime = now->systemTime100ns;
    return load;
}

GaugeDisplay GaugeFor(std::int32_t load)
{
    const std::int32_t shown = std::clamp<std::int32_t>(load, 0, 100);
    const long index = std::lround((shown + 1) / 11.0);
    GaugeDisplay display;
    display.pictureIndex = static_cast<int>(std::clamp<long>(index, 0, kLastPicture));
    display.text = std::to_string(shown) + "%";
    return display;
}

} // namespace tavlor
