#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>

namespace tavlor {

// Failures found where nobody may be waited for (the tick, its periodic save, the choice of the
// data file's place), held until a message box can show them outside the slot that found them.
// Each cause is reported once while it lasts: a save that fails every five minutes for the same
// reason shows one box; after the cause has ended (a save succeeded), a new failure shows again.
class FailureReports
{
public:
    enum class Cause
    {
        Tick,
        Save,
        DataFilePlace
    };

    void report(Cause cause, const std::string& text);
    // The cause is over: a report of it that is still waiting is dropped, and a later failure
    // is reported anew.
    void resolved(Cause cause);
    // The next text to show, oldest first.
    std::optional<std::string> next();
    bool empty() const { return m_waiting.empty(); }

private:
    std::map<Cause, std::string> m_lasting;
    std::deque<std::pair<Cause, std::string>> m_waiting;
};

} // namespace tavlor
