#pragma once

#include "accounting/UsageState.h"
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
    std::int64_t monotonicMs = 0; // when the tick ran
};

// Builds the running program's snapshot once a second. The speeds are what the totals grew by
// over the real time between two ticks, so they are numbers of their own, never read back from
// a label.
class StatusFeed
{
public:
    StatusSnapshot next(const TickFigures& tick, const StatusPeriod& period);

private:
    bool m_havePrevious = false;
    double m_previousDown = 0;
    double m_previousUp = 0;
    std::int64_t m_previousMs = 0;
};

} // namespace tavlor
