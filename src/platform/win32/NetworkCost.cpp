#include "platform/win32/NetworkCost.h"

#include <algorithm>
#include <cctype>

namespace tavlor::win32 {

namespace {
// Windows compares GUIDs, interface aliases and phonebook names without case.
bool sameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view unbraced(std::string_view guid)
{
    if (guid.size() >= 2 && guid.front() == '{' && guid.back() == '}') {
        guid = guid.substr(1, guid.size() - 2);
    }
    return guid;
}

const AdapterIdentity* adapterNamed(const NetworkListSnapshot& list, std::string_view alias)
{
    for (const AdapterIdentity& adapter : list.adapters) {
        if (!alias.empty() && sameText(adapter.alias, alias)) {
            return &adapter;
        }
    }
    return nullptr;
}
} // namespace

Metering MeteringOfCost(std::optional<std::uint32_t> costFlags)
{
    if (!costFlags) {
        return Metering::Unknown;
    }
    const std::uint32_t flags = *costFlags;
    if ((flags & (cost::kFixed | cost::kVariable | cost::kRoaming | cost::kOverDataLimit)) != 0) {
        return Metering::Yes;
    }
    if ((flags & cost::kUnrestricted) != 0) {
        return Metering::No;
    }
    return Metering::Unknown;
}

bool SameGuid(std::string_view a, std::string_view b)
{
    a = unbraced(a);
    b = unbraced(b);
    return !a.empty() && sameText(a, b);
}

const AdapterIdentity* AdapterOf(const NetworkListSnapshot& list, const ListedConnection& connection)
{
    for (const AdapterIdentity& adapter : list.adapters) {
        if (SameGuid(adapter.id, connection.adapterId)) {
            return &adapter;
        }
    }
    return nullptr;
}

std::optional<PrimaryConnection> ChoosePrimary(const NetworkListSnapshot& list)
{
    if (list.defaultRouteIndex == 0) {
        return std::nullopt;
    }
    for (const ListedConnection& connection : list.connections) {
        const AdapterIdentity* adapter = AdapterOf(list, connection);
        if (!connection.connected || adapter == nullptr || adapter->index != list.defaultRouteIndex) {
            continue;
        }
        PrimaryConnection primary;
        primary.id = connection.connectionId;
        primary.profileId = connection.networkId;
        primary.name = connection.networkName.empty() ? adapter->alias : connection.networkName;
        primary.interfaceName = adapter->alias;
        primary.metering = MeteringOfCost(connection.cost);
        return primary;
    }
    return std::nullopt;
}

std::string ConnectionNameOf(const NetworkListSnapshot& list, std::string_view interfaceName)
{
    const AdapterIdentity* adapter = adapterNamed(list, interfaceName);
    if (adapter == nullptr) {
        return {};
    }
    for (const ListedConnection& connection : list.connections) {
        if (connection.connected && SameGuid(connection.adapterId, adapter->id)) {
            return connection.networkName.empty() ? adapter->alias : connection.networkName;
        }
    }
    return {};
}

std::optional<std::string> DialledConnectionOf(const NetworkListSnapshot& list,
                                               const PrimaryConnection& primary,
                                               const std::vector<DialledConnection>& dialled)
{
    const AdapterIdentity* adapter = adapterNamed(list, primary.interfaceName);
    if (adapter == nullptr || !adapter->pointToPoint || dialled.empty()) {
        return std::nullopt;
    }
    for (const DialledConnection& connection : dialled) {
        if (sameText(connection.entry, primary.interfaceName) || sameText(connection.entry, primary.name)) {
            return connection.id;
        }
    }
    // One dial-up connection and the default route on a PPP adapter: that connection is the one,
    // whatever the adapter was renamed to.
    if (dialled.size() == 1) {
        return dialled.front().id;
    }
    return std::nullopt;
}

} // namespace tavlor::win32
