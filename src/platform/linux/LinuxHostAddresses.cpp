#include "platform/linux/LinuxHostAddresses.h"

#include "platform/Platform.h"

#include <algorithm>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace tavlor::platform {

namespace {
struct IndexedAddress
{
    unsigned index;
    std::string address;
};

bool wanted(const ifaddrs& entry)
{
    // Point-to-point links may come without an address record; only IPv4 records count here.
    return entry.ifa_addr != nullptr && entry.ifa_addr->sa_family == AF_INET &&
           (entry.ifa_flags & IFF_UP) != 0 && (entry.ifa_flags & IFF_LOOPBACK) == 0;
}
} // namespace

std::vector<std::string> LinuxHostAddresses::ipv4Addresses()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return {};
    }
    std::vector<IndexedAddress> found;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (!wanted(*entry)) {
            continue;
        }
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr) {
            found.push_back({if_nametoindex(entry->ifa_name), text});
        }
    }
    freeifaddrs(list);
    // Stable: several addresses of one interface keep the kernel's order.
    std::stable_sort(found.begin(), found.end(),
                     [](const IndexedAddress& a, const IndexedAddress& b) { return a.index < b.index; });
    std::vector<std::string> result;
    result.reserve(found.size());
    for (auto& item : found) {
        result.push_back(std::move(item.address));
    }
    return result;
}

std::unique_ptr<HostAddressSource> makeHostAddressSource()
{
    return std::make_unique<LinuxHostAddresses>();
}

} // namespace tavlor::platform
