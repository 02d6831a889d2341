#include "platform/win32/WinHostAddressSource.h"

#include "netmeter/KvonlineProbes.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace tavlor::win32 {
namespace {

// The IPv4 addresses the adapters carry, loopback included.
std::set<std::string> adapterAddresses()
{
    std::set<std::string> result{"127.0.0.1"};
    ULONG size = 0;
    GetAdaptersInfo(nullptr, &size);
    std::vector<unsigned char> buffer(size);
    auto* adapter = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    if (size == 0 || GetAdaptersInfo(adapter, &size) != NO_ERROR) {
        return result;
    }
    for (; adapter != nullptr; adapter = adapter->Next) {
        for (const IP_ADDR_STRING* a = &adapter->IpAddressList; a != nullptr; a = a->Next) {
            result.insert(a->IpAddress.String);
        }
    }
    return result;
}

TEST(WinHostAddressSource, ListsTheAddressesTheNameServiceKnowsForTheHost)
{
    WinHostAddressSource source;
    const std::vector<std::string> addresses = source.ipv4Addresses();

    ASSERT_FALSE(addresses.empty());
    const std::set<std::string> known = adapterAddresses();
    for (const std::string& address : addresses) {
        EXPECT_TRUE(known.count(address)) << address << " is no address of this host";
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
