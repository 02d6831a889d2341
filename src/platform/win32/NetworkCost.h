#pragma once

#include "platform/MeteredLinkSource.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the network list manager and IP Helper say about the system's connections, in plain
// values, and the decisions the metered-link source takes from them. No COM and no Windows
// records here: this part is the same whichever way the values were read.
namespace tavlor::win32 {

// The connection cost flags of the network list manager (NLM_CONNECTION_COST_*).
namespace cost {
constexpr std::uint32_t kUnknown = 0x0;
constexpr std::uint32_t kUnrestricted = 0x1;
constexpr std::uint32_t kFixed = 0x2;
constexpr std::uint32_t kVariable = 0x4;
constexpr std::uint32_t kOverDataLimit = 0x10000;
constexpr std::uint32_t kCongested = 0x20000;
constexpr std::uint32_t kRoaming = 0x40000;
constexpr std::uint32_t kApproachingDataLimit = 0x80000;
} // namespace cost

// A connection of the network list: its own id, the adapter it runs over and the network it
// belongs to. GUIDs in their braced text form.
struct ListedConnection
{
    std::string connectionId;
    std::string adapterId;
    std::string networkId;
    std::string networkName; // "" where the system names none
    bool connected = false;
    std::optional<std::uint32_t> cost; // nullopt: the system did not tell
};

// An adapter as IP Helper lists it: the interface GUID, the alias (the name the interface rows
// carry, "Ethernet 2"), the interface index the route table uses.
struct AdapterIdentity
{
    std::string id;
    std::string alias;
    std::uint32_t index = 0;
    bool pointToPoint = false; // a PPP adapter: what a RAS connection runs over
};

struct NetworkListSnapshot
{
    std::vector<ListedConnection> connections;
    std::vector<AdapterIdentity> adapters;
    std::uint32_t defaultRouteIndex = 0; // 0: no default route
};

// Fixed and variable cost are paid by volume or time; so is roaming and a plan over its limit,
// whatever the base cost says.
Metering MeteringOfCost(std::optional<std::uint32_t> costFlags);

// "{0a1b...}", "0A1B..." and "{0A1B...}" name the same GUID.
bool SameGuid(std::string_view a, std::string_view b);

// The adapter a connection runs over; null when IP Helper does not list it.
const AdapterIdentity* AdapterOf(const NetworkListSnapshot& list, const ListedConnection& connection);

// The connected connection whose adapter carries the default route.
std::optional<PrimaryConnection> ChoosePrimary(const NetworkListSnapshot& list);

// The network's name of the connected connection over this interface; the interface's own alias
// where the system gives the network no name; "" when no connection runs over it.
std::string ConnectionNameOf(const NetworkListSnapshot& list, std::string_view interfaceName);

// A RAS connection as the dial-up service lists it.
struct DialledConnection
{
    std::string id; // what DialupService::hangUp takes
    std::string entry;
};

// The dial-up connection that carries `primary`, where it runs over a PPP adapter: Windows names
// a RAS connection's adapter and network after the phonebook entry. nullopt for a LAN.
std::optional<std::string> DialledConnectionOf(const NetworkListSnapshot& list,
                                               const PrimaryConnection& primary,
                                               const std::vector<DialledConnection>& dialled);

} // namespace tavlor::win32
