#pragma once

#include "model/TickReading.h"

#include <optional>
#include <string>

namespace tavlor {

// What the limit decides about the connection of one second.
struct LimitSecond
{
    bool online = false;
    CountedConnection connection;
    bool limitReached = false; // the period's volume or online time is at 100 %
    bool cutOff = false;       // Trennen
    bool released = false;     // released for the rest of the period
};

// When a limit that acts takes the counted connection down. A connection is cut once per
// activation: a new activation (another active path, another name, or the same one after it was
// gone) is cut again, and so is one that is still counted a few seconds after its cut was
// answered, or long after a cut that was never answered. A connection counted only because of
// gateway mode is never cut.
class LimitCut
{
public:
    static constexpr int kSecondsBeforeRetry = 3; // after an answer, ok or not
    static constexpr int kSecondsWithoutAnswer = 30;

    // Once a second, after the second has been counted: the connection to cut now, if any.
    std::optional<CountedConnection> decide(const LimitSecond& second);

    enum class Outcome
    {
        Cut,      // the service took it down
        Vanished, // the service failed, but the connection went away by itself
        Failed    // it is still there
    };
    // The service's answer for a cut. `counted` is the connection of the latest second.
    Outcome answered(const CountedConnection& cut, bool ok, const CountedConnection& counted);
    // Whether a failure of this activation is the first one (the user is told once).
    bool firstFailure() const { return m_failures == 1; }

private:
    static bool cuttable(const CountedConnection& connection);

    std::optional<CountedConnection> m_attempt; // the activation last cut
    bool m_answered = false;
    int m_secondsSince = 0; // since the cut was asked for, or since its answer
    int m_failures = 0;     // of the current activation
};

// "Limit erreicht: Verbindung „NAME“ getrennt."
std::string LimitCutText(const std::string& name);
// The connection's name as the user knows it.
std::string LimitCutName(const CountedConnection& connection, const std::string& linkName);

} // namespace tavlor
