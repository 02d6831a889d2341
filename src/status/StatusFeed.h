#pragma once

#include "model/UsageState.h"
#include "status/StatusSnapshot.h"

#include <cstdint>
#include <string>

namespace tavlor {

// What one tick left behind, as the running program hands it to the status snapshot.
struct TickFigures
{
    const UsageState& state;
    bool online = false;
    std::string link;
    std::string connection;
    // The second's speeds in bytes per second, as the tick measured them over the real time
    // between its two readings.
    double downloadBps = 0;
    double uploadBps = 0;
};

// The running program's snapshot of one second: numbers of the tick, never read back from a label.
StatusSnapshot LiveStatus(const TickFigures& tick, const StatusPeriod& period);

} // namespace tavlor
