#pragma once

namespace tavlor {

struct UsageState;

// Where the counters and settings are loaded from and saved to. The program uses the data
// file; tests count saves.
class UsageStore
{
public:
    virtual ~UsageStore() = default;
    virtual void load(UsageState& state) = 0;
    // windowX, windowY: where the window stands now. May throw (SaveError); the caller reports it.
    virtual void save(const UsageState& state, int windowX, int windowY) = 0;
};

} // namespace tavlor
