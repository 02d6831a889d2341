// Exact counter figures from the kernel, on links this test creates in a fresh network
// namespace: nothing else sends there, IPv6 is off and the neighbour entry is static.
#include "platform/linux/NetlinkRowSource.h"

#include "accounting/AccountingTick.h"
#include "netmeter/Kvonline.h"

#include "FakeClock.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fstream>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tavlor {
namespace {

std::vector<IfRow> readTable(NetlinkRowSource& source)
{
    std::vector<IfRow> rows(64);
    std::uint32_t entries = 0;
    std::uint32_t size = ifTableBytesFor(64);
    EXPECT_EQ(source.getIfTable(rows, entries, size, true), kNoError);
    rows.resize(entries);
    return rows;
}

const IfRow* find(const std::vector<IfRow>& rows, const char* name)
{
    const unsigned index = if_nametoindex(name);
    for (const IfRow& row : rows) {
        if (index != 0 && row.dwIndex == index) {
            return &row;
        }
    }
    return nullptr;
}

// The kernel's full 64-bit counter of a link ("rx" or "tx"), as iproute2 reports it.
std::uint64_t kernelBytes(const char* link, const char* direction)
{
    const std::string command = std::string("ip -j -s link show dev ") + link;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string json;
    char chunk[4096];
    for (std::size_t got; pipe != nullptr && (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        json.append(chunk, got);
    }
    if (pipe != nullptr) {
        ::pclose(pipe);
    }
    const std::string key = std::string("\"") + direction + "\":{\"bytes\":";
    const std::size_t at = json.find(key);
    return at == std::string::npos ? 0 : std::stoull(json.substr(at + key.size()));
}

class AlwaysOnline final : public TickHooks
{
public:
    bool IsOnline(bool) override { return true; }
    void ShowIpAddresses() override {}
    void RefreshConnectionStatus() override {}
    void ShowWindowsUptime() override {}
    void SaveUsageData() override {}
};

void sendDatagrams(int count, std::size_t bytes)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    ::inet_pton(AF_INET, "10.9.0.2", &to.sin_addr);
    const std::vector<char> payload(bytes, 'x');
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(
            ::sendto(fd, payload.data(), payload.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to),
            static_cast<ssize_t>(bytes));
    }
    ::close(fd);
}

class NetlinkCounters : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (std::system("command -v ip >/dev/null 2>&1") != 0) {
            GTEST_SKIP() << "the ip command (iproute2) is not installed";
        }
        if (::unshare(CLONE_NEWNET) != 0) {
            GTEST_SKIP() << "cannot create a network namespace (needs root)";
        }
        std::ofstream("/proc/sys/net/ipv6/conf/default/disable_ipv6") << "1";
        std::ofstream("/proc/sys/net/ipv6/conf/all/disable_ipv6") << "1";
        const int rc =
            std::system("ip link add tva type veth peer name tvb"
                        " && ip addr add 10.9.0.1/24 dev tva && ip link set tva up && ip link set tvb up"
                        " && ip neigh replace 10.9.0.2 lladdr 02:00:00:00:00:02 dev tva nud permanent");
        ASSERT_EQ(rc, 0) << "could not set up the veth pair";
    }
};

TEST_F(NetlinkCounters, UdpTrafficIsCountedToTheByteOnBothEnds)
{
    NetlinkRowSource source;
    const std::vector<IfRow> before = readTable(source);
    ASSERT_NE(find(before, "tva"), nullptr);
    ASSERT_NE(find(before, "tvb"), nullptr);
    sendDatagrams(100, 1000);
    const std::vector<IfRow> after = readTable(source);
    // 1000 bytes of payload + 8 UDP + 20 IPv4 + 14 Ethernet per datagram.
    EXPECT_EQ(find(after, "tva")->dwOutOctets - find(before, "tva")->dwOutOctets, 104200u);
    EXPECT_EQ(find(after, "tvb")->dwInOctets - find(before, "tvb")->dwInOctets, 104200u);
    EXPECT_EQ(find(after, "tva")->dwInOctets, find(before, "tva")->dwInOctets);
}

TEST_F(NetlinkCounters, LinksAreDescribedByTypeAddressAndFullSpeed)
{
    NetlinkRowSource source;
    const std::vector<IfRow> rows = readTable(source);
    ASSERT_NE(find(rows, "lo"), nullptr);
    EXPECT_EQ(find(rows, "lo")->dwPhysAddrLen, 0u);
    const IfRow* veth = find(rows, "tva");
    ASSERT_NE(veth, nullptr);
    EXPECT_EQ(veth->dwPhysAddrLen, 6u);
    EXPECT_EQ(veth->speed64, 10000000000ULL);
    EXPECT_EQ(veth->dwSpeed, 0xFFFFFFFFu);

    // The sampler shows the true figure of a 10 Gbit/s adapter.
    const NumberFormat numbers(",");
    InterfaceSampler sampler(source, numbers);
    EXPECT_EQ(sampler.GetAdapterText('s', 0, 1), "10000Mbit");
    EXPECT_EQ(sampler.adapterBase(), 2);
}

TEST_F(NetlinkCounters, ANewPointToPointLinkAppearsAtOnceWithoutAHardwareAddress)
{
    NetlinkRowSource source;
    const std::size_t linksBefore = readTable(source).size();
    ASSERT_EQ(std::system("ip tuntap add dev ttun mode tun && ip link set ttun up"), 0);
    const std::vector<IfRow> rows = readTable(source);
    EXPECT_EQ(rows.size(), linksBefore + 1);
    const IfRow* tun = find(rows, "ttun");
    ASSERT_NE(tun, nullptr);
    EXPECT_EQ(tun->dwPhysAddrLen, 0u);
}

// Real 32-bit wraps: more than 4 GiB pass the veth pair at 10 Gbit/s, and the tick's totals
// still equal the kernel's 64-bit counters.
TEST_F(NetlinkCounters, TotalsFollowTheKernelCountersAcrossARealWrap)
{
    ASSERT_EQ(std::system("ip link set tva mtu 65535 && ip link set tvb mtu 65535"), 0);
    NetlinkRowSource source;
    const NumberFormat numbers(",");
    InterfaceSampler sampler(source, numbers);
    sampler.InitInterfaceTable();
    const std::int32_t base = sampler.adapterBase();
    const std::vector<IfRow> rows = readTable(source);
    UsageState state;
    for (std::int32_t pos = 1; pos <= static_cast<std::int32_t>(rows.size()); ++pos) {
        const unsigned index = rows[static_cast<std::size_t>(pos - 1)].dwIndex;
        if (index == if_nametoindex("tvb")) {
            state.downloadMethod = pos - base;
        } else if (index == if_nametoindex("tva")) {
            state.uploadMethod = pos - base;
        }
    }
    test::FakeClock clock;
    ViewModel view;
    AlwaysOnline hooks;
    AccountingTick tick(state, view, sampler, clock, numbers, hooks);
    tick.tCheckTimer();
    const std::uint64_t txStart = kernelBytes("tva", "tx");
    const std::uint64_t rxStart = kernelBytes("tvb", "rx");
    for (int second = 0; second < 5; ++second) {
        sendDatagrams(15000, 65000); // about 0.98 GB: what 10 Gbit/s carries in 0.8 s
        clock.advanceMs(1000);
        tick.tCheckTimer();
    }
    const std::uint64_t sent = kernelBytes("tva", "tx") - txStart;
    ASSERT_GT(sent, 1ULL << 32);
    EXPECT_EQ(state.totalUpBytes, static_cast<double>(sent));
    EXPECT_EQ(state.totalDownBytes, static_cast<double>(kernelBytes("tvb", "rx") - rxStart));
    EXPECT_EQ(view.text("lSpeed"), "10000Mbit");
}

} // namespace
} // namespace tavlor
