#include "accounting/AccountingTick.h"
#include "text/WidgetNames.h"

#include "accounting/CounterDelta.h"
#include "netmeter/Kvonline.h"
#include "text/DayCount.h"

#include <limits>

namespace tavlor {

namespace {
constexpr std::int32_t kSavePeriodTicks = 300;
constexpr std::int32_t kSpeedPhaseDue = 3;

// The fields of UsageState that belong to one direction.
struct DirectionFields
{
    char letter;
    double& reading;
    double& lastReading;
    double& offset;
    double& start;
    double& base;
    double& total;
};

DirectionFields upFields(UsageState& s)
{
    return {'o',           s.sessionUpBytes, s.lastUpReading, s.upWrapOffset, s.sessionUpStart,
            s.baseUpBytes, s.totalUpBytes};
}

DirectionFields downFields(UsageState& s)
{
    return {'i',
            s.sessionDownBytes,
            s.lastDownReading,
            s.downWrapOffset,
            s.sessionDownStart,
            s.baseDownBytes,
            s.totalDownBytes};
}

// One second more. Equality tests: a loaded value above 59 counts on and is never carried.
// At the largest time the fields hold the counters stay put instead of overflowing.
void addSecond(std::int32_t& hours, std::int32_t& minutes, std::int32_t& seconds)
{
    constexpr std::int32_t kMost = std::numeric_limits<std::int32_t>::max();
    if (seconds == kMost || (seconds == 59 && minutes == kMost) ||
        (seconds == 59 && minutes == 59 && hours == kMost)) {
        return;
    }
    if (++seconds == 60) {
        seconds = 0;
        if (++minutes == 60) {
            minutes = 0;
            ++hours;
        }
    }
}
} // namespace

AccountingTick::AccountingTick(UsageState& state, ViewModel& view, InterfaceSampler& sampler,
                               const Clock& clock, const NumberFormat& numbers, TickParts parts)
    : m_state(state), m_view(view), m_sampler(sampler), m_clock(clock), m_numbers(numbers), m_parts(parts)
{
}

void AccountingTick::methodsChanged()
{
    m_links.rechoose();
}

void AccountingTick::resetSessionBase()
{
    m_state.sessionUpStart = kSessionNotStarted;
    m_state.sessionDownStart = kSessionNotStarted;
    m_totalsCleared = true;
}

bool AccountingTick::takeSaveDue()
{
    if (m_state.saveTickCount != kSavePeriodTicks) {
        return false;
    }
    m_state.saveTickCount = 0;
    rollDay();
    return true;
}

void AccountingTick::tCheckTimer()
{
    m_downBytes = 0;
    m_upBytes = 0;
    m_decision = m_parts.online.IsOnline(m_state);
    m_online = m_decision.online;
    if (m_online) {
        onlineTick();
    } else {
        offlineTick();
    }
    m_parts.uptime.ShowWindowsUptime();
    if (m_parts.listener != nullptr) {
        m_parts.listener->readingTaken(reading());
    }
}

TickReading AccountingTick::reading() const
{
    const UsageState& s = m_state;
    TickReading r;
    r.online = m_online;
    r.downLink = m_downLink;
    r.upLink = m_upLink;
    r.connection = m_online ? m_connection : CountedConnection{};
    r.downBytes = m_downBytes;
    r.upBytes = m_upBytes;
    r.downSpeed = m_online ? m_downSpeed : 0;
    r.upSpeed = m_online ? m_upSpeed : 0;
    r.sessionDownBytes = s.sessionDownBytes;
    r.sessionUpBytes = s.sessionUpBytes;
    r.totalDownBytes = s.totalDownBytes;
    r.totalUpBytes = s.totalUpBytes;
    r.totalsCleared = m_totalsCleared;
    r.total = {s.totalHours, s.totalMinutes, s.totalSeconds};
    r.today = {s.todayHours, s.todayMinutes, s.todaySeconds};
    r.session = {s.sessionHours, s.sessionMinutes, s.sessionSeconds};
    r.dayStamp = s.dayStamp;
    r.onlineSeconds = m_online ? 1 : 0;
    return r;
}

void AccountingTick::rollDay()
{
    UsageState& s = m_state;
    const CivilDateTime now = m_clock.nowLocal();
    if (IsNewDay(s.dayStamp, now)) {
        s.dayStamp = ToDayCount(now);
        s.todayHours = 0;
        s.todayMinutes = 0;
        s.todaySeconds = 0;
    }
}

void AccountingTick::onlineTick()
{
    m_parts.addresses.ShowIpAddresses();
    m_view.setReadOnly(names::eUser, true);
    m_view.setReadOnly(names::ePass, true);
    m_view.setReadOnly(names::eNum, true);
    m_view.setEnabled(names::btnDialEntry, false);
    m_view.setEnabled(names::btnHangup, true);
    // Read from the state the dial-up service keeps: no label text decides anything.
    m_parts.connection.RefreshConnectionStatus();
    m_view.setColor(kLed, kRgbGreen);
    m_view.setHint(kLed, "Online");
    // One snapshot of the links serves the speed text and both counters.
    m_sampler.refresh();
    CountedLinks::Picks picks =
        m_links.choose(m_sampler, m_state.downloadMethod, m_state.uploadMethod, m_state.onLAN,
                       m_decision.linkName, m_decision.connection.kind == CountedKind::Metered);
    readPickedCounters(picks);
    m_downLink = picks.down.row != nullptr ? LinkIdentity{picks.down.row->index, picks.down.row->name}
                                           : LinkIdentity{};
    m_upLink =
        picks.up.row != nullptr ? LinkIdentity{picks.up.row->index, picks.up.row->name} : LinkIdentity{};
    nameConnection();
    m_view.setText(names::lSpeed, m_sampler.speedText(picks.speed));
    ++m_state.saveTickCount;
    ++m_state.speedPhase;

    const std::int64_t now = m_clock.monotonicMs();
    const double upBefore = m_state.totalUpBytes;
    const double downBefore = m_state.totalDownBytes;
    countDirection(Dir::Up, picks.up, now);
    countDirection(Dir::Down, picks.down, now);
    m_state.totalBytes = m_state.totalUpBytes + m_state.totalDownBytes;
    m_totalsCleared = false;
    m_downBytes = m_state.totalDownBytes - downBefore;
    m_upBytes = m_state.totalUpBytes - upBefore;
    const bool speedsMeasured = m_state.speedPhase == kSpeedPhaseDue;
    if (speedsMeasured) {
        m_state.speedPhase = 1;
        updateSpeed(Dir::Down);
        updateSpeed(Dir::Up);
    }
    showTraffic(speedsMeasured);
    advanceTime();
}

// A connection counted in gateway mode is known by the profile over its link, or by the link.
void AccountingTick::nameConnection()
{
    m_connection = m_decision.connection;
    if (m_connection.kind != CountedKind::Gateway) {
        return;
    }
    const std::string& link = m_downLink.name.empty() ? m_upLink.name : m_downLink.name;
    const std::string profile = link.empty() ? std::string() : m_parts.online.ConnectionNameOf(link);
    m_connection.name = profile.empty() ? link : profile;
}

// The labels of one second, made from its reading by the text helpers.
// The speeds change only when they are measured (the offline tick shows them as 0).
void AccountingTick::showTraffic(bool speedsMeasured)
{
    const TickReading r = reading();
    m_view.setText(names::lIn, TrafficText(r, Traffic::TotalDown, m_numbers));
    m_view.setText(names::lOut, TrafficText(r, Traffic::TotalUp, m_numbers));
    m_view.setText(names::lAll, TrafficText(r, Traffic::Total, m_numbers));
    m_view.setText(names::lInS, TrafficText(r, Traffic::SessionDown, m_numbers));
    m_view.setText(names::lOutS, TrafficText(r, Traffic::SessionUp, m_numbers));
    if (speedsMeasured) {
        m_view.setText(names::lDownS, FormatSpeed(m_numbers, r.downSpeed));
        m_view.setText(names::lUpS, FormatSpeed(m_numbers, r.upSpeed));
    }
}

// Only the counted links are read each second. A link that cannot be read is no reading this
// tick. One chosen just now is chosen again next tick: a counter from before the choice would
// count traffic that was never this connection's.
void AccountingTick::readPickedCounters(CountedLinks::Picks& picks)
{
    for (LinkPick* pick : {&picks.down, &picks.up}) {
        if (pick->row == nullptr || m_sampler.readCounters(pick->row)) {
            continue;
        }
        if (pick->event != LinkEvent::Same) {
            m_links.forget(pick == &picks.down);
        }
        pick->row = nullptr;
    }
}

void AccountingTick::countDirection(Dir dir, const LinkPick& pick, std::int64_t now)
{
    Direction& d = dir == Dir::Up ? m_up : m_down;
    const DirectionFields f = dir == Dir::Up ? upFields(m_state) : downFields(m_state);
    d.fresh = false;
    if (pick.row == nullptr) {
        d.missed = true;
        d.haveSpeedSample = false;
        return; // a failed sample is no reading: everything stays as it was
    }
    const std::uint64_t counter = CounterOf(*pick.row, f.letter);
    if (!d.haveReading) {
        f.reading = static_cast<double>(counter) + f.offset;
    } else if (pick.event == LinkEvent::Same) {
        // The time the link was out of sight is no capacity: a drop after it is a restart.
        const std::int64_t elapsed = d.missed ? 0 : now - d.readingMs;
        f.reading += CountedBytes(d.counter, counter, pick.row->counterBits, pick.row->speedBps, elapsed);
    } else if (pick.event == LinkEvent::Recreated) {
        f.reading += static_cast<double>(counter); // all of it counted since the link was created
    } // Switched: another link's counter says nothing about this one's traffic; the reading goes on
    f.offset = f.reading - static_cast<double>(counter);
    f.lastReading = f.reading;
    d.haveReading = true;
    d.counter = counter;
    d.readingMs = now;
    d.missed = false;
    d.fresh = true;
    if (f.start == kSessionNotStarted) {
        // A new session carries on from the current totals, so earlier sessions of this run count.
        f.start = f.reading;
        f.base = f.total;
    }
    f.total = f.reading - f.start + f.base;
}

void AccountingTick::updateSpeed(Dir dir)
{
    Direction& d = dir == Dir::Up ? m_up : m_down;
    const double reading = dir == Dir::Up ? m_state.sessionUpBytes : m_state.sessionDownBytes;
    double& prevSample = dir == Dir::Up ? m_state.prevUpSample : m_state.prevDownSample;
    double& speed = dir == Dir::Up ? m_upSpeed : m_downSpeed;
    speed = 0;
    if (!d.fresh) {
        return; // no figure from a link that is gone: the next good reading is a new baseline
    }
    if (d.haveSpeedSample) {
        const double bytes = reading - prevSample;
        const double seconds = static_cast<double>(d.readingMs - d.speedSampleMs) / 1000.0;
        if (bytes > 0 && seconds > 0) {
            speed = bytes / seconds;
        }
    }
    prevSample = reading;
    d.speedSampleMs = d.readingMs;
    d.haveSpeedSample = true;
}

void AccountingTick::advanceTime()
{
    UsageState& s = m_state;
    rollDay();
    addSecond(s.totalHours, s.totalMinutes, s.totalSeconds);
    addSecond(s.todayHours, s.todayMinutes, s.todaySeconds);
    addSecond(s.sessionHours, s.sessionMinutes, s.sessionSeconds);
    m_view.setText(names::lotAll,
                   FormatDuration(TimeSet{s.totalHours, s.totalMinutes, s.totalSeconds}, true));
    m_view.setText(names::lOtDay,
                   FormatDuration(TimeSet{s.todayHours, s.todayMinutes, s.todaySeconds}, true));
    m_view.setText(names::lOTS,
                   FormatDuration(TimeSet{s.sessionHours, s.sessionMinutes, s.sessionSeconds}, true));
}

void AccountingTick::offlineTick()
{
    UsageState& s = m_state;
    s.lastUpReading = 0;
    s.upWrapOffset = 0;
    s.lastDownReading = 0;
    s.downWrapOffset = 0;
    m_up = Direction{};
    m_down = Direction{};
    m_links.release();
    m_downLink = {};
    m_upLink = {};
    m_connection = {};
    m_downSpeed = 0;
    m_upSpeed = 0;
    m_parts.addresses.ShowIpAddresses();
    m_view.setEnabled(names::btnDialEntry, true);
    m_view.setEnabled(names::btnHangup, false);
    m_parts.connection.RefreshConnectionStatus();
    m_view.setHint(kTrayIcon, "Offline");
    s.sessionHours = 0;
    m_view.setColor(kLed, kRgbRed);
    m_view.setHint(kLed, "Offline");
    s.sessionMinutes = 0;
    s.sessionSeconds = 0;
    m_view.setText(names::lOTS, "-");
    m_view.setText(names::lDownS, "0 kb/s");
    m_view.setText(names::lUpS, "0 kb/s");
    m_view.setText(names::lInS, "0 kb");
    m_view.setText(names::lOutS, "0 kb");
    s.sessionUpStart = kSessionNotStarted;
    s.sessionDownStart = kSessionNotStarted;
    s.sessionUpBytes = 0;
    s.sessionDownBytes = 0;
    // Offline after midnight the today counters are the new day's: none yet.
    const double stampBefore = s.dayStamp;
    rollDay();
    if (s.dayStamp != stampBefore) {
        m_view.setText(names::lOtDay,
                       FormatDuration(TimeSet{s.todayHours, s.todayMinutes, s.todaySeconds}, true));
    }
    m_view.setReadOnly(names::eUser, false);
    m_view.setReadOnly(names::ePass, false);
    m_view.setReadOnly(names::eNum, false);
}

} // namespace tavlor
