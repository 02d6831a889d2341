#pragma once

#include "model/Settings.h"
#include "model/TickReading.h"

#include <string>

namespace tavlor {

// What the tick asks of the world around it. Each is answered by the part that owns the
// answer (the dial-up service, the address labels, the connection manager, the system
// times); the shell only wires them. An exception thrown by one ends the tick (the caller
// reports it).
// What the online test found for this second: whether the machine is online, the connection it
// counts and the kernel name of the link that carries it. An empty link name leaves the choice
// to the sampler: the default route's link in gateway mode, else the dial-up link it is told of.
struct OnlineDecision
{
    bool online = false;
    CountedConnection connection;
    std::string linkName;
    friend bool operator==(const OnlineDecision&, const OnlineDecision&) = default;
};

class OnlineProbe
{
public:
    virtual ~OnlineProbe() = default;
    virtual OnlineDecision IsOnline(const Settings& settings) = 0;
    // The name of the profile running over a link, for a link counted in gateway mode; "" when
    // none is known.
    virtual std::string ConnectionNameOf(const std::string& /*linkName*/) { return {}; }
};

class AddressDisplay
{
public:
    virtual ~AddressDisplay() = default;
    virtual void ShowIpAddresses() = 0;
};

// Shows the connection (or "Internet Gateway") from kept state; asked on every tick.
class ConnectionDisplay
{
public:
    virtual ~ConnectionDisplay() = default;
    virtual void RefreshConnectionStatus() = 0;
};

class UptimeDisplay
{
public:
    virtual ~UptimeDisplay() = default;
    virtual void ShowWindowsUptime() = 0;
};

// Told at the end of every tick what it measured; the history counts exactly what the totals
// count.
class ReadingListener
{
public:
    virtual ~ReadingListener() = default;
    virtual void readingTaken(const TickReading& reading) = 0;
};

struct TickParts
{
    OnlineProbe& online;
    AddressDisplay& addresses;
    ConnectionDisplay& connection;
    UptimeDisplay& uptime;
    ReadingListener* listener = nullptr;
};

} // namespace tavlor
