#pragma once

#include "model/TickParts.h"
#include "model/TickReading.h"
#include "model/UsageState.h"
#include "netmeter/CountedLinks.h"
#include "platform/Clock.h"
#include "text/KvString.h"
#include "text/ViewModel.h"

#include <cstdint>

namespace tavlor {

class InterfaceSampler;

// The once-a-second accounting tick, free of any window: reads the sampler, counts, makes the
// second's reading, writes the label texts made from it, the LED, button and field states into
// the view model, and tells its listener what it counted.
class AccountingTick
{
public:
    AccountingTick(UsageState& state, ViewModel& view, InterfaceSampler& sampler, const Clock& clock,
                   const NumberFormat& numbers, TickParts parts);

    // True once every 300 online ticks, to be asked before each tick: the caller saves then.
    // Runs the day test first, so the save records the today counters under their own day.
    bool takeSaveDue();
    void tCheckTimer();
    // The day test: a new day restarts the today counters. Runs on every tick, online or not,
    // and belongs before every save.
    void rollDay();
    // The figures as they stand: those of the last tick, with the state's counters as they are
    // now (a load or a reset since counts).
    TickReading reading() const;

    // The rows behind the directions may have changed (adapter methods edited); the next
    // reading continues the totals instead of counting the difference between two rows.
    void methodsChanged();
    // After a reset: the next online tick takes a new session start; until then the reading
    // shows the totals as the reset cleared them.
    void resetSessionBase();
    // The link (or the two links) counted now, "" while none is.
    std::string countedLinkText() const { return m_links.countedText(); }

private:
    // Per direction: the last good reading of this session, for the counting and the speed.
    struct Direction
    {
        bool haveReading = false;
        std::uint64_t counter = 0; // the link's counter at that reading
        std::int64_t readingMs = 0;
        bool missed = false; // a sample failed since: the link may have been away, no wrap is guessed
        bool fresh = false;  // this tick's sample succeeded
        bool haveSpeedSample = false; // a baseline for the next speed: lost with a missed reading
        std::int64_t speedSampleMs = 0;
    };
    enum class Dir
    {
        Up,
        Down
    };

    void onlineTick();
    void offlineTick();
    void countDirection(Dir dir, const LinkPick& pick, std::int64_t now);
    void readPickedCounters(CountedLinks::Picks& picks);
    void updateSpeed(Dir dir);
    void advanceTime();
    void showTraffic(bool speedsMeasured);
    void nameConnection();

    Direction m_up;
    Direction m_down;
    CountedLinks m_links;
    UsageState& m_state;
    ViewModel& m_view;
    InterfaceSampler& m_sampler;
    const Clock& m_clock;
    const NumberFormat& m_numbers;
    TickParts m_parts;
    // What the last tick measured beyond the state's fields.
    bool m_online = false;
    OnlineDecision m_decision;
    CountedConnection m_connection; // the one this second counted for
    LinkIdentity m_downLink;
    LinkIdentity m_upLink;
    double m_downBytes = 0;
    double m_upBytes = 0;
    double m_downSpeed = 0;
    double m_upSpeed = 0;
    bool m_totalsCleared = false;
};

} // namespace tavlor
