#include "platform/win32/WinMeteredLinkSource.h"

// Before the RAS headers: it brings winsock2.h, which must come before windows.h.
#include "platform/win32/NlmCostEvents.h"

#include "FakeRasLibrary.h"
#include "platform/win32/WinDefaultRouteSource.h"
#include "platform/win32/WinInterfaceRowSource.h"
#include "platform/win32/ras/RasDialupService.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace tavlor::win32 {
namespace {

using Status = DialupResult::Status;

bool waitUntil(const std::function<bool()>& condition)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// The system's side where Wine has none: a list the test changes and whose change signal the
// test sends, as Windows' connection cost events would.
struct FakeSystem
{
    std::mutex mutex;
    NetworkListSnapshot list;
    std::function<void()> changed;
    int reads = 0;

    void change(const std::function<void(NetworkListSnapshot&)>& edit)
    {
        std::function<void()> signal;
        {
            std::lock_guard lock(mutex);
            edit(list);
            signal = changed;
        }
        signal();
    }
};

class FakeNetworkList final : public NetworkList
{
public:
    explicit FakeNetworkList(FakeSystem& system) : m_system(system) {}
    int subscribe(std::function<void()> changed) override
    {
        std::lock_guard lock(m_system.mutex);
        m_system.changed = std::move(changed);
        return 1;
    }
    bool read(NetworkListSnapshot& list) override
    {
        std::lock_guard lock(m_system.mutex);
        ++m_system.reads;
        list = m_system.list;
        return true;
    }

private:
    FakeSystem& m_system;
};

NetworkListSnapshot oneLan(std::uint32_t costFlags)
{
    NetworkListSnapshot list;
    list.adapters = {{"{00000004-0000-0000-0000-4E6574446576}", "Ethernet", 4, false},
                     {"{00000007-0000-0000-0000-4E6574446576}", "T-Online", 7, true}};
    list.connections = {
        {"{C4}", "{00000004-0000-0000-0000-4E6574446576}", "{N4}", "Netzwerk", true, costFlags},
        {"{C7}", "{00000007-0000-0000-0000-4E6574446576}", "{N7}", "", true, cost::kVariable}};
    list.defaultRouteIndex = 4;
    return list;
}

WinMeteredLinkSource::ListFactory over(FakeSystem& system)
{
    return [&system] { return std::make_unique<FakeNetworkList>(system); };
}

DialupResult deactivated(MeteredLinkSource& source, const std::string& id)
{
    DialupResult result = DialupResult::failure(Status::Failed, "(no answer)");
    source.deactivate(id, [&result](const DialupResult& r) { result = r; });
    return result;
}

TEST(WinMeteredLinkSource, TheCostFollowsTheSystemsSignalsAndIsReadOnlyOnThem)
{
    FakeSystem system;
    system.list = oneLan(cost::kUnrestricted);
    WinMeteredLinkSource source(nullptr, over(system));
    ASSERT_TRUE(waitUntil([&] { return source.readings() == 1; }));
    EXPECT_EQ(source.signalsSubscribed(), 1);
    ASSERT_TRUE(source.primaryConnection());
    EXPECT_EQ(source.primaryConnection()->metering, Metering::No);
    EXPECT_EQ(source.connectionNameOf("Ethernet"), "Netzwerk");

    // The plan became metered: the connection's cost event.
    system.change([](NetworkListSnapshot& list) { list.connections[0].cost = cost::kFixed; });
    ASSERT_TRUE(waitUntil([&] { return source.readings() == 2; }));
    EXPECT_EQ(source.primaryConnection()->metering, Metering::Yes);

    // The default route moved to the dial-up link: a connectivity event.
    system.change([](NetworkListSnapshot& list) { list.defaultRouteIndex = 7; });
    ASSERT_TRUE(waitUntil([&] { return source.readings() == 3; }));
    EXPECT_EQ(source.primaryConnection()->interfaceName, "T-Online");
    EXPECT_EQ(source.primaryConnection()->metering, Metering::Yes);

    system.change([](NetworkListSnapshot& list) { list.defaultRouteIndex = 0; });
    ASSERT_TRUE(waitUntil([&] { return source.readings() == 4; }));
    EXPECT_FALSE(source.primaryConnection());
    std::lock_guard lock(system.mutex);
    EXPECT_EQ(system.reads, 4) << "one reading at the start and one per signal, nothing in between";
}

TEST(WinMeteredLinkSource, HangsUpADialUpPrimaryAndRefusesALan)
{
    test::FakeRas ras;
    ras.connections = {{0x4711, "T-Online", "ISDN1"}};
    test::FakeRasLoader loader(ras);
    FakeSystem system;
    system.list = oneLan(cost::kUnrestricted);
    WinMeteredLinkSource source(std::make_unique<RasDialupService>(loader), over(system));
    ASSERT_TRUE(waitUntil([&] { return source.readings() == 1; }));

    EXPECT_EQ(deactivated(source, "{C4}").status, Status::Refused) << "Windows keeps a LAN up";
    EXPECT_EQ(deactivated(source, "{C7}").status, Status::NotFound) << "not the primary connection";
    EXPECT_TRUE(ras.hungUp.empty());

    system.change([](NetworkListSnapshot& list) { list.defaultRouteIndex = 7; });
    ASSERT_TRUE(waitUntil([&] { return source.readings() == 2; }));
    EXPECT_TRUE(deactivated(source, "{c7}").ok());
    EXPECT_EQ(ras.hungUp, std::vector<RasHandle>{0x4711});
}

TEST(WinMeteredLinkSource, ADialUpPrimaryWithoutAUsableRasIsRefusedNotHungUpBlindly)
{
    FakeSystem system;
    system.list = oneLan(cost::kUnrestricted);
    system.list.defaultRouteIndex = 7;
    for (const bool loadable : {false, true}) {
        test::FakeRas ras;
        ras.rasLoadable = loadable;
        ras.missing = {"RasEnumConnectionsA"}; // throws in activeConnections where the library loads
        ras.connections = {{0x4711, "T-Online", "ISDN1"}};
        test::FakeRasLoader loader(ras);
        WinMeteredLinkSource source(std::make_unique<RasDialupService>(loader), over(system));
        ASSERT_TRUE(waitUntil([&] { return source.readings() == 1; }));
        EXPECT_EQ(deactivated(source, "{C7}").status, Status::Refused) << "RAS loadable: " << loadable;
        EXPECT_TRUE(ras.hungUp.empty());
    }
}

TEST(WinMeteredLinkSource, OneSinkTakesEverySignalOfTheNetworkListManager)
{
    std::atomic<int> signals{0};
    IUnknown* sink = MakeNetworkEventSink([&signals] { ++signals; });
    const GUID id{};
    auto as = [sink](REFIID iid, auto* typed) {
        void* object = nullptr;
        EXPECT_EQ(sink->QueryInterface(iid, &object), S_OK);
        *typed = static_cast<std::remove_pointer_t<decltype(typed)>>(object);
        return *typed != nullptr;
    };
    INetworkListManagerEvents* list = nullptr;
    INetworkConnectionEvents* connection = nullptr;
    INetworkEvents* network = nullptr;
    INetworkCostManagerEvents* costs = nullptr;
    ConnectionCostEvents* connectionCost = nullptr;
    ASSERT_TRUE(as(IID_INetworkListManagerEvents, &list));
    ASSERT_TRUE(as(IID_INetworkConnectionEvents, &connection));
    ASSERT_TRUE(as(IID_INetworkEvents, &network));
    ASSERT_TRUE(as(IID_INetworkCostManagerEvents, &costs));
    ASSERT_TRUE(as(kIidConnectionCostEvents, &connectionCost));
    void* other = nullptr;
    EXPECT_EQ(sink->QueryInterface(IID_IDispatch, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);

    list->ConnectivityChanged(NLM_CONNECTIVITY_IPV4_INTERNET);
    connection->NetworkConnectionConnectivityChanged(id, NLM_CONNECTIVITY_DISCONNECTED);
    connection->NetworkConnectionPropertyChanged(id, NLM_CONNECTION_PROPERTY_CHANGE_AUTHENTICATION);
    network->NetworkAdded(id);
    network->NetworkDeleted(id);
    network->NetworkConnectivityChanged(id, NLM_CONNECTIVITY_IPV4_INTERNET);
    network->NetworkPropertyChanged(id, NLM_NETWORK_PROPERTY_CHANGE_CATEGORY_VALUE);
    costs->CostChanged(cost::kVariable, nullptr);
    costs->DataPlanStatusChanged(nullptr);
    connectionCost->ConnectionCostChanged(id, cost::kFixed);
    connectionCost->ConnectionDataPlanStatusChanged(id);
    EXPECT_EQ(signals, 11);

    for (IUnknown* held :
         {static_cast<IUnknown*>(list), static_cast<IUnknown*>(connection), static_cast<IUnknown*>(network),
          static_cast<IUnknown*>(costs), static_cast<IUnknown*>(connectionCost)}) {
        held->Release();
    }
    EXPECT_EQ(sink->Release(), 0u);
}

// What the system's own network list manager answers (Wine's, here).
TEST(WinMeteredLinkSource, TheSystemsListMapsEveryConnectionToAnInterfaceRow)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    {
        std::unique_ptr<NetworkList> list = MakeSystemNetworkList();
        ASSERT_TRUE(list) << "no network list manager";
        NetworkListSnapshot snapshot;
        ASSERT_TRUE(list->read(snapshot));
        std::vector<LinkRow> rows;
        ASSERT_TRUE(WinInterfaceRowSource().readLinks(rows));
        ASSERT_FALSE(snapshot.connections.empty());
        for (const ListedConnection& connection : snapshot.connections) {
            const AdapterIdentity* adapter = AdapterOf(snapshot, connection);
            ASSERT_NE(adapter, nullptr) << connection.adapterId;
            const auto row = std::find_if(rows.begin(), rows.end(),
                                          [&](const LinkRow& r) { return r.index == adapter->index; });
            ASSERT_NE(row, rows.end()) << adapter->alias;
            EXPECT_EQ(row->name, adapter->alias) << "the rows the program counts carry the adapter's alias";
            EXPECT_EQ(adapter->pointToPoint, row->kind == LinkKind::PointToPoint) << adapter->alias;
        }
    }
    CoUninitialize();
}

TEST(WinMeteredLinkSource, TheSystemsPrimaryIsTheDefaultRoutesLinkWithACost)
{
    WinMeteredLinkSource source(nullptr);
    ASSERT_TRUE(waitUntil([&] { return source.readings() >= 1; }));
    // Wine accepts the connectivity, connection, network and cost manager signals, not the
    // connections' own cost signal.
    EXPECT_GE(source.signalsSubscribed(), 4);
    const std::uint32_t route = WinDefaultRouteSource().defaultRouteInterface();
    const std::optional<PrimaryConnection> primary = source.primaryConnection();
    if (route == 0) {
        EXPECT_FALSE(primary) << "no default route here";
        return;
    }
    ASSERT_TRUE(primary) << "the default route is on interface " << route;
    std::vector<LinkRow> rows;
    ASSERT_TRUE(WinInterfaceRowSource().readLinks(rows));
    const auto row =
        std::find_if(rows.begin(), rows.end(), [&](const LinkRow& r) { return r.index == route; });
    ASSERT_NE(row, rows.end());
    EXPECT_EQ(primary->interfaceName, row->name);
    EXPECT_NE(primary->metering, Metering::Unknown) << "the system rates the connection's cost";
    EXPECT_FALSE(primary->id.empty());
    EXPECT_EQ(source.connectionNameOf(row->name), primary->name);
    EXPECT_EQ(deactivated(source, primary->id).status, Status::Refused);
}

} // namespace
} // namespace tavlor::win32
