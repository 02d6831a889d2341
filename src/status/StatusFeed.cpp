#include "status/StatusFeed.h"

namespace tavlor {

StatusSnapshot LiveStatus(const TickFigures& tick, const StatusPeriod& period)
{
    const UsageState& s = tick.state;
    StatusSnapshot snapshot;
    snapshot.running = true;
    snapshot.online = tick.online;
    snapshot.link = tick.online ? tick.link : std::string();
    snapshot.connection = tick.online ? tick.connection : std::string();
    if (tick.online) {
        snapshot.downloadBps = tick.downloadBps;
        snapshot.uploadBps = tick.uploadBps;
    }

    // The session's traffic is what the totals grew by since it began.
    const bool sessionStarted = s.sessionDownStart != kSessionNotStarted;
    if (tick.online && sessionStarted) {
        snapshot.session = {WholeAmount(s.totalDownBytes - s.baseDownBytes),
                            WholeAmount(s.totalUpBytes - s.baseUpBytes),
                            StatusSeconds(s.sessionHours, s.sessionMinutes, s.sessionSeconds)};
    }
    snapshot.total = {WholeAmount(s.totalDownBytes), WholeAmount(s.totalUpBytes),
                      StatusSeconds(s.totalHours, s.totalMinutes, s.totalSeconds)};
    snapshot.todaySeconds = StatusSeconds(s.todayHours, s.todayMinutes, s.todaySeconds);
    snapshot.period = period;
    return snapshot;
}

} // namespace tavlor
