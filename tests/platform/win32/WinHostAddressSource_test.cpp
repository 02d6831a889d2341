#include "platform/win32/WinHostAddressSource.h"

#include "netmeter/KvonlineProbes.h"

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace tavlor::win32 {
namespace {

// The host's IPv4 addresses by the modern resolver, as a set to compare with.
std::set<std::string> resolverAddresses()
{
    std::set<std::string> result;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return result;
    }
    char name[256] = {};
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    addrinfo* list = nullptr;
    if (gethostname(name, sizeof name - 1) == 0 && getaddrinfo(name, nullptr, &hints, &list) == 0) {
        for (addrinfo* entry = list; entry != nullptr; entry = entry->ai_next) {
            char text[INET_ADDRSTRLEN] = {};
            const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
            inet_ntop(AF_INET, &address->sin_addr, text, sizeof text);
            result.insert(text);
        }
        freeaddrinfo(list);
    }
    WSACleanup();
    return result;
}

TEST(WinHostAddressSource, ListsTheAddressesTheNameServiceKnowsForTheHost)
{
    WinHostAddressSource source;
    const std::vector<std::string> addresses = source.ipv4Addresses();

    ASSERT_FALSE(addresses.empty());
    const std::set<std::string> expected = resolverAddresses();
    EXPECT_EQ(std::set<std::string>(addresses.begin(), addresses.end()), expected);
    for (const std::string& address : addresses) {
        EXPECT_EQ(std::count(address.begin(), address.end(), '.'), 3) << address;
    }
}

TEST(WinHostAddressSource, EveryCallStartsAndEndsSocketsOnItsOwn)
{
    WinHostAddressSource source;
    const auto first = source.ipv4Addresses();
    const auto second = source.ipv4Addresses();
    EXPECT_EQ(first, second);
    // After the calls the process holds no Sockets session: a cleanup now has nothing to end.
    EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
}

TEST(WinHostAddressSource, FeedsTheAddressListOfTheMainWindow)
{
    WinHostAddressSource source;
    const std::string list = GetLocalIpList(source);
    EXPECT_EQ(list.substr(0, list.find(';')), source.ipv4Addresses().front());
}

} // namespace
} // namespace tavlor::win32
