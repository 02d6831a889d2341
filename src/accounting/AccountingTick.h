#pragma once

#include "accounting/KvString.h"
#include "accounting/UsageState.h"
#include "accounting/ViewModel.h"
#include "netmeter/CountedLinks.h"
#include "platform/Clock.h"

#include <cstdint>

namespace tavlor {

class InterfaceSampler;

// What the tick calls outside the accounting. Implemented by the main window's wiring;
// tests supply fakes. An exception thrown here ends the tick (the caller reports it).
class TickHooks
{
public:
    virtual ~TickHooks() = default;
    virtual bool IsOnline(bool onLAN) = 0;
    virtual void ShowIpAddresses() = 0;
    // Shows the connection (or "Internet Gateway") from kept state; called on every tick.
    virtual void RefreshConnectionStatus() = 0;
    virtual void ShowWindowsUptime() = 0;
    virtual void SaveUsageData() = 0;
    // The growth of the download and upload totals in this online tick, and its online second:
    // the history counts exactly what the totals count.
    virtual void TrafficCounted(double /*downBytes*/, double /*upBytes*/, int /*onlineSeconds*/) {}
};

// The once-a-second accounting tick, free of any window: reads the sampler, counts, and
// writes the label texts, LED, button and field states into the view model.
class AccountingTick
{
public:
    AccountingTick(UsageState& state, ViewModel& view, InterfaceSampler& sampler, const Clock& clock,
                   const NumberFormat& numbers, TickHooks& hooks);

    void tCheckTimer();

    // The rows behind the directions may have changed (adapter methods edited); the next
    // reading continues the totals instead of counting the difference between two rows.
    void methodsChanged();
    // After a reset: the next online tick takes a new session start.
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
        bool haveSpeedSample = false;
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

    Direction m_up;
    Direction m_down;
    CountedLinks m_links;
    UsageState& m_state;
    ViewModel& m_view;
    InterfaceSampler& m_sampler;
    const Clock& m_clock;
    const NumberFormat& m_numbers;
    TickHooks& m_hooks;
};

} // namespace tavlor
