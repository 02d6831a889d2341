#pragma once

#include "platform/DialupService.h"

#include <optional>
#include <string>

namespace tavlor {

// How the system rates a connection's cost. NetworkManager says yes, no, guess-yes or guess-no
// (mobile broadband and phone hotspots are guess-yes by themselves); Windows' connection cost
// maps fixed and variable cost to Yes and unrestricted to No.
enum class Metering
{
    Unknown,
    Yes,
    No,
    GuessYes,
    GuessNo
};

// A connection the user pays for by volume or time.
inline bool IsMetered(Metering metering)
{
    return metering == Metering::Yes || metering == Metering::GuessYes;
}

// The system's primary connection (the one that carries the default route), as the connection
// service keeps it.
struct PrimaryConnection
{
    std::string id;            // what deactivate() takes (NetworkManager's active-connection path)
    std::string profileId;     // the profile's identity (NetworkManager's UUID)
    std::string name;          // the profile's name as the user sees it
    std::string interfaceName; // the kernel interface that carries its traffic
    Metering metering = Metering::Unknown;

    friend bool operator==(const PrimaryConnection&, const PrimaryConnection&) = default;
};

// What the tick asks about metered connections. The answers come from state the service keeps
// and updates from the system's signals: no call waits on a bus, and nothing polls.
class MeteredLinkSource
{
public:
    virtual ~MeteredLinkSource() = default;
    // nullopt while there is none or the service is not there.
    virtual std::optional<PrimaryConnection> primaryConnection() const = 0;
    // The name of the active profile running over this kernel interface; "" when none is known.
    virtual std::string connectionNameOf(const std::string& interfaceName) const = 0;
    // Takes the connection down without touching the profile: the user may bring it up again.
    virtual void deactivate(const std::string& id, DialupService::Done done) = 0;
};

} // namespace tavlor
