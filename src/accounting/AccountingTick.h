#pragma once

#include "accounting/KvString.h"
#include "accounting/UsageState.h"
#include "accounting/ViewModel.h"
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

private:
    // Per direction: what the last good reading of this session was, for the wrap test,
    // the row-change test and the speed.
    struct Direction
    {
        bool haveReading = false;
        std::uint32_t counter = 0; // unsigned counter of the last good reading
        std::uint32_t ifIndex = 0;
        std::int32_t position = 0;
        std::int64_t readingMs = 0;
        bool recheckRow = false; // the adapter methods changed since that reading
        bool fresh = false;      // this tick's sample succeeded
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
    void countDirection(Dir dir);
    void updateSpeed(Dir dir);
    void advanceTime();

    Direction m_up;
    Direction m_down;
    UsageState& m_state;
    ViewModel& m_view;
    InterfaceSampler& m_sampler;
    const Clock& m_clock;
    const NumberFormat& m_numbers;
    TickHooks& m_hooks;
};

} // namespace tavlor
