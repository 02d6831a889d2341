#pragma once

#include <cstdint>
#include <string>

namespace tavlor {

// One set of online-time counters as the state holds it.
struct TimeSet
{
    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    std::int32_t seconds = 0;
    friend bool operator==(const TimeSet&, const TimeSet&) = default;
};

// A link as the kernel names it: its index and its name at the reading.
struct LinkIdentity
{
    std::uint32_t index = 0;
    std::string name; // "" while no link is counted
    friend bool operator==(const LinkIdentity&, const LinkIdentity&) = default;
};

// Why the counted link is counted: it decides what a limit may cut (never a link counted only
// because of gateway mode) and which row of the history the second belongs to.
enum class CountedKind
{
    None,    // offline
    Dialup,  // an active dial-up or mobile-broadband connection
    Metered, // the system's primary connection, metered, with metered counting on
    Gateway  // gateway mode: whatever carries the default route
};

// The connection this second is counted for.
struct CountedConnection
{
    CountedKind kind = CountedKind::None;
    // What the connection service takes to take it down (DialupService::hangUp for Dialup,
    // MeteredLinkSource::deactivate for Metered); empty for Gateway.
    std::string id;
    // The history's connection column: the profile's or entry's name, the link's name where no
    // profile is known.
    std::string name;
    friend bool operator==(const CountedConnection&, const CountedConnection&) = default;
};

// What one second measured, in numbers. The tick makes it; the labels, the tray hint, the
// monitor, the history and the Volumenwarner take their figures from it, and texts are made
// from it only where they are shown.
struct TickReading
{
    bool online = false;
    LinkIdentity downLink; // the links read in this second; empty when none could be read
    LinkIdentity upLink;
    CountedConnection connection;
    // The bytes counted in this second: what the totals grew by.
    double downBytes = 0;
    double upBytes = 0;
    // Bytes per second over the real monotonic time between the two readings of the last speed
    // measurement (every second online tick). 0 offline and on a speed tick without a fresh
    // reading.
    double downSpeed = 0;
    double upSpeed = 0;
    double sessionDownBytes = 0;
    double sessionUpBytes = 0;
    double totalDownBytes = 0;
    double totalUpBytes = 0;
    // A reset cleared the totals and no online second has counted since: shown as cleared.
    bool totalsCleared = false;
    TimeSet total;
    TimeSet today;
    TimeSet session;
    double dayStamp = 0;            // the day of the today counters, in the day-count form
    std::int32_t onlineSeconds = 0; // 1 for an online second, 0 offline

    double totalBytes() const { return totalDownBytes + totalUpBytes; }
};

} // namespace tavlor
