#include "status/StatusFeed.h"

namespace tavlor {

namespace {

double rate(double grown, double seconds)
{
    // A reset shrinks the totals: no traffic of its own.
    return grown > 0 && seconds > 0 ? grown / seconds : 0.0;
}

} // namespace

StatusSnapshot StatusFeed::next(const TickFigures& tick, const StatusPeriod& period)
{
    const UsageState& s = tick.state;
    StatusSnapshot snapshot;
    snapshot.running = true;
    snapshot.online = tick.online;
    snapshot.link = tick.online ? tick.link : std::string();
    snapshot.connection = tick.online ? tick.connection : std::string();
    if (tick.online && m_havePrevious) {
        const double seconds = static_cast<double>(tick.monotonicMs - m_previousMs) / 1000.0;
        snapshot.downloadBps = rate(s.totalDownBytes - m_previousDown, seconds);
        snapshot.uploadBps = rate(s.totalUpBytes - m_previousUp, seconds);
    }
    m_havePrevious = tick.online;
    m_previousDown = s.totalDownBytes;
    m_previousUp = s.totalUpBytes;
    m_previousMs = tick.monotonicMs;

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
