#pragma once

#include "history/History.h"
#include "history/VolumeWarner.h"
#include "text/KvString.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tavlor {

// What tavlor-status tells scripts and panels, from the running program or from its files.
struct StatusFigures
{
    std::uint64_t down = 0; // bytes
    std::uint64_t up = 0;   // bytes
    std::uint64_t seconds = 0;
    friend bool operator==(const StatusFigures&, const StatusFigures&) = default;
};

struct StatusPeriod
{
    CalendarDay first;
    CalendarDay last;
    StatusFigures used;
    std::optional<std::uint64_t> limitBytes;   // none = no volume limit
    std::optional<std::uint64_t> limitSeconds; // none = no time limit
    bool downloadOnly = false;                 // the volume limit counts download only
    // The larger share of the limits set, in percent; none without a limit.
    std::optional<double> percent;
    WarnLevel level = WarnLevel::Normal;
    friend bool operator==(const StatusPeriod&, const StatusPeriod&) = default;
};

struct StatusSnapshot
{
    bool running = false;
    bool online = false;
    std::string link;       // the counted link ("wlan0"), empty while none is
    std::string connection; // the dial-up or metered connection, "Internet Gateway", or empty
    double downloadBps = 0; // bytes per second
    double uploadBps = 0;
    StatusFigures session; // counted in the current online session
    StatusFigures total;   // since the last reset
    std::uint64_t todaySeconds = 0;
    StatusPeriod period;
    friend bool operator==(const StatusSnapshot&, const StatusSnapshot&) = default;
};

// The billing period containing today, with its sums from the history and the limits.
StatusPeriod PeriodStatus(const WarnerSettings& settings, const UsageHistory& history,
                          const CalendarDay& today);

// A time counter set (hours, minutes, seconds) as seconds; never below 0.
std::uint64_t StatusSeconds(std::int32_t hours, std::int32_t minutes, std::int32_t seconds);

// Bytes and seconds kept as doubles by the counters, as whole non-negative amounts.
std::uint64_t WholeAmount(double value);

// One JSON object on one line, keys in a fixed order; bytes and seconds as integers.
std::string StatusJson(const StatusSnapshot& status);

// The short German summary of tavlor-status without options, lines ended by "\n".
std::string StatusSummary(const StatusSnapshot& status, const NumberFormat& numbers);

// vnStat's convention: 2 once a Volumenwarner threshold of the period is reached, else 0.
int AlertExitCode(const StatusSnapshot& status);

} // namespace tavlor
