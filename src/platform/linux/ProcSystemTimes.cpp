#include "platform/linux/ProcSystemTimes.h"

#include "platform/Platform.h"

#include <ctime>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tavlor::platform {

namespace {
constexpr std::int64_t kUnitsPerSecond = 10000000; // 100 ns units

// Idle plus iowait jiffies of the aggregate "cpu" line; nullopt when the line is missing or bad.
std::optional<std::uint64_t> IdleJiffies(const std::string& statPath)
{
    std::ifstream in(statPath);
    std::string line;
    if (!in || !std::getline(in, line)) {
        return std::nullopt;
    }
    std::istringstream fields(line);
    std::string label;
    std::uint64_t user = 0, nice = 0, system = 0, idle = 0;
    if (!(fields >> label >> user >> nice >> system >> idle) || label != "cpu") {
        return std::nullopt;
    }
    std::uint64_t iowait = 0;
    if (!(fields >> iowait)) {
        iowait = 0; // kernels before 2.5.41 have no iowait column
    }
    return idle + iowait;
}

std::int64_t To100ns(std::uint64_t ticks, long ticksPerSecond)
{
    const auto perSecond = static_cast<std::uint64_t>(ticksPerSecond);
    const std::uint64_t whole = ticks / perSecond;
    const std::uint64_t rest = ticks % perSecond;
    return static_cast<std::int64_t>(whole * kUnitsPerSecond + rest * kUnitsPerSecond / perSecond);
}

std::int64_t ClockIn100ns(clockid_t clock)
{
    timespec ts{};
    if (clock_gettime(clock, &ts) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(ts.tv_sec) * kUnitsPerSecond + ts.tv_nsec / 100;
}
} // namespace

ProcSystemTimes::ProcSystemTimes(std::string statPath, long ticksPerSecond, int processors)
    : m_statPath(std::move(statPath)),
      m_ticksPerSecond(ticksPerSecond > 0 ? ticksPerSecond : sysconf(_SC_CLK_TCK)), m_processors(processors)
{
}

std::optional<CpuTimes> ProcSystemTimes::cpuTimes()
{
    const std::optional<std::uint64_t> idle = IdleJiffies(m_statPath);
    // The monotonic clock stands still during suspend, as the idle counter does; the boot
    // clock would show the first second after a resume as a burst of load.
    const std::int64_t now = ClockIn100ns(CLOCK_MONOTONIC);
    // Asked each time: processors taken offline stop adding idle time.
    const int processors = m_processors > 0 ? m_processors : static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
    if (!idle || now < 0 || m_ticksPerSecond <= 0 || processors <= 0) {
        return std::nullopt;
    }
    CpuTimes times;
    times.idleTime100ns = To100ns(*idle, m_ticksPerSecond);
    times.systemTime100ns = now;
    times.processors = processors;
    return times;
}

std::uint64_t ProcSystemTimes::millisecondsSinceBoot()
{
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) != 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

std::unique_ptr<SystemTimesSource> makeSystemTimesSource()
{
    return std::make_unique<ProcSystemTimes>();
}

} // namespace tavlor::platform
