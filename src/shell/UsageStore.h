#pragma once

namespace tavlor {

struct UsageState;
class ViewModel;

// Where the counters and settings are loaded from and saved to. The program uses the data
// file; tests count saves.
class UsageStore
{
public:
    virtual ~UsageStore() = default;
    virtual void load(UsageState& state, ViewModel& view) = 0;
    // May throw (SaveError); the caller reports it.
    virtual void save(const UsageState& state, const ViewModel& view, int windowX, int windowY) = 0;
};

} // namespace tavlor
