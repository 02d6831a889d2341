#pragma once

#include "model/TickReading.h"

namespace tavlor {

// What the tick asks of the world around it. Each is answered by the part that owns the
// answer (the dial-up service, the address labels, the connection manager, the system
// times); the shell only wires them. An exception thrown by one ends the tick (the caller
// reports it).
class OnlineProbe
{
public:
    virtual ~OnlineProbe() = default;
    virtual bool IsOnline(bool onLAN) = 0;
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
