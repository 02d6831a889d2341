#pragma once

#include "model/Settings.h"

#include <cstdint>

namespace tavlor {

inline constexpr double kSessionNotStarted = -99.0;

// The counters and settings the main window owns for the whole run. The settings are its
// base: the one copy the data file, the window's controls and the tick all work on.
struct UsageState : Settings
{
    std::int32_t totalHours = 0;
    std::int32_t totalMinutes = 0;
    std::int32_t totalSeconds = 0;
    std::int32_t todayHours = 0;
    std::int32_t todayMinutes = 0;
    std::int32_t todaySeconds = 0;
    std::int32_t sessionHours = 0;
    std::int32_t sessionMinutes = 0;
    std::int32_t sessionSeconds = 0;
    double dayStamp = 0.0; // day count (see DayCount.h)
    std::int32_t saveTickCount = 0;
    double sessionUpBytes = 0.0;
    double prevUpSample = 0.0;
    double sessionDownBytes = 0.0;
    double prevDownSample = 0.0;
    double lastUpReading = 0.0;
    double lastDownReading = 0.0;
    double upWrapOffset = 0.0;
    double downWrapOffset = 0.0;
    std::int32_t speedPhase = 2;
    double sessionUpStart = kSessionNotStarted;
    double sessionDownStart = kSessionNotStarted;
    double baseUpBytes = 0.0;
    double baseDownBytes = 0.0;
    double totalUpBytes = 0.0;
    double totalDownBytes = 0.0;
    double totalBytes = 0.0;

    // Bookkeeping of the tick beyond the fields above (wrap test, row identity, speed timing)
    // lives in the accounting engine, not here: nothing of it is persisted.
};

} // namespace tavlor
