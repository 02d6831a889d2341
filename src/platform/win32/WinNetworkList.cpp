#include "platform/win32/WinNetworkList.h"

#include "platform/win32/NlmCostEvents.h"
#include "platform/win32/WinDefaultRouteSource.h"
#include "platform/win32/WinText.h"

// clang-format off
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>
#include <netlistmgr.h>
#include <ocidl.h>
#include <oleauto.h>
// clang-format on

#include <atomic>
#include <utility>
#include <vector>

namespace tavlor::win32 {

namespace {

// Holds one COM reference and gives it up when it goes.
template <typename T> class ComRef
{
public:
    ComRef() = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    T** put()
    {
        reset();
        return &m_p;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    void reset()
    {
        if (m_p != nullptr) {
            m_p->Release();
            m_p = nullptr;
        }
    }

private:
    T* m_p = nullptr;
};

std::string guidText(const GUID& guid)
{
    wchar_t text[40] = {};
    return StringFromGUID2(guid, text, 40) > 0 ? WideToUtf8(text) : std::string();
}

class NetworkEventSink final : public INetworkListManagerEvents,
                               public INetworkConnectionEvents,
                               public INetworkEvents,
                               public INetworkCostManagerEvents,
                               public ConnectionCostEvents
{
public:
    explicit NetworkEventSink(std::function<void()> changed) : m_changed(std::move(changed)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_INetworkListManagerEvents) {
            *object = static_cast<INetworkListManagerEvents*>(this);
        } else if (iid == IID_INetworkConnectionEvents) {
            *object = static_cast<INetworkConnectionEvents*>(this);
        } else if (iid == IID_INetworkEvents) {
            *object = static_cast<INetworkEvents*>(this);
        } else if (iid == IID_INetworkCostManagerEvents) {
            *object = static_cast<INetworkCostManagerEvents*>(this);
        } else if (iid == kIidConnectionCostEvents) {
            *object = static_cast<ConnectionCostEvents*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE ConnectivityChanged(NLM_CONNECTIVITY) override { return signal(); }
    HRESULT STDMETHODCALLTYPE NetworkConnectionConnectivityChanged(GUID, NLM_CONNECTIVITY) override
    {
        return signal();
    }
    HRESULT STDMETHODCALLTYPE NetworkConnectionPropertyChanged(GUID, NLM_CONNECTION_PROPERTY_CHANGE) override
    {
        return signal();
    }
    HRESULT STDMETHODCALLTYPE NetworkAdded(GUID) override { return signal(); }
    HRESULT STDMETHODCALLTYPE NetworkDeleted(GUID) override { return signal(); }
    HRESULT STDMETHODCALLTYPE NetworkConnectivityChanged(GUID, NLM_CONNECTIVITY) override { return signal(); }
    HRESULT STDMETHODCALLTYPE NetworkPropertyChanged(GUID, NLM_NETWORK_PROPERTY_CHANGE) override
    {
        return signal();
    }
    HRESULT STDMETHODCALLTYPE CostChanged(DWORD, NLM_SOCKADDR*) override { return signal(); }
    HRESULT STDMETHODCALLTYPE DataPlanStatusChanged(NLM_SOCKADDR*) override { return signal(); }
    HRESULT STDMETHODCALLTYPE ConnectionCostChanged(GUID, DWORD) override { return signal(); }
    HRESULT STDMETHODCALLTYPE ConnectionDataPlanStatusChanged(GUID) override { return signal(); }

private:
    ~NetworkEventSink() = default;
    HRESULT signal()
    {
        m_changed();
        return S_OK;
    }

    std::function<void()> m_changed;
    std::atomic<ULONG> m_references{1};
};

// The signals the list is read again on. A system without one of them (Wine has no connection
// cost events) still sends the others.
const IID* const kSignals[] = {&IID_INetworkListManagerEvents, &IID_INetworkConnectionEvents,
                               &IID_INetworkEvents, &IID_INetworkCostManagerEvents,
                               &kIidConnectionCostEvents};

struct Subscription
{
    ComRef<IConnectionPoint> point;
    DWORD cookie = 0;
};

std::string networkNameOf(INetwork& network)
{
    BSTR name = nullptr;
    std::string text;
    if (SUCCEEDED(network.GetName(&name)) && name != nullptr) {
        text = WideToUtf8(std::wstring_view(name, SysStringLen(name)));
    }
    SysFreeString(name);
    return text;
}

ListedConnection listed(INetworkConnection& connection)
{
    ListedConnection out;
    GUID guid{};
    if (SUCCEEDED(connection.GetConnectionId(&guid))) {
        out.connectionId = guidText(guid);
    }
    if (SUCCEEDED(connection.GetAdapterId(&guid))) {
        out.adapterId = guidText(guid);
    }
    VARIANT_BOOL connected = VARIANT_FALSE;
    out.connected = SUCCEEDED(connection.get_IsConnected(&connected)) && connected != VARIANT_FALSE;
    ComRef<INetwork> network;
    if (SUCCEEDED(connection.GetNetwork(network.put())) && network) {
        if (SUCCEEDED(network->GetNetworkId(&guid))) {
            out.networkId = guidText(guid);
        }
        out.networkName = networkNameOf(*network.get());
    }
    ComRef<INetworkConnectionCost> cost;
    DWORD flags = 0;
    if (SUCCEEDED(connection.QueryInterface(IID_INetworkConnectionCost, cost.putVoid())) && cost &&
        SUCCEEDED(cost->GetCost(&flags))) {
        out.cost = flags;
    }
    return out;
}

bool readAdapters(std::vector<AdapterIdentity>& adapters)
{
    constexpr ULONG kFlags =
        GAA_FLAG_SKIP_UNICAST | GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    std::vector<unsigned char> buffer(16 * 1024);
    ULONG size = static_cast<ULONG>(buffer.size());
    ULONG rc = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && rc == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        rc = GetAdaptersAddresses(AF_UNSPEC, kFlags, nullptr,
                                  reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (rc != NO_ERROR) {
        return rc == ERROR_NO_DATA;
    }
    for (auto* a = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); a != nullptr; a = a->Next) {
        AdapterIdentity adapter;
        adapter.id = a->AdapterName != nullptr ? a->AdapterName : "";
        adapter.alias = a->FriendlyName != nullptr ? WideToUtf8(a->FriendlyName) : "";
        adapter.index = a->IfIndex != 0 ? a->IfIndex : a->Ipv6IfIndex;
        adapter.pointToPoint = a->IfType == IF_TYPE_PPP;
        adapters.push_back(std::move(adapter));
    }
    return true;
}

class SystemNetworkList final : public NetworkList
{
public:
    explicit SystemNetworkList(ComRef<INetworkListManager> manager) : m_manager(std::move(manager)) {}
    ~SystemNetworkList() override
    {
        for (Subscription& subscription : m_subscriptions) {
            subscription.point->Unadvise(subscription.cookie);
        }
        // Waits for a callback that is running: none runs once this returns.
        if (m_routeWatch != nullptr) {
            CancelMibChangeNotify2(m_routeWatch);
        }
    }
    SystemNetworkList(const SystemNetworkList&) = delete;
    SystemNetworkList& operator=(const SystemNetworkList&) = delete;

    int subscribe(std::function<void()> changed) override
    {
        ComRef<IConnectionPointContainer> container;
        if (FAILED(m_manager->QueryInterface(IID_IConnectionPointContainer, container.putVoid())) ||
            !container) {
            return 0;
        }
        ComRef<IUnknown> sink;
        *sink.put() = MakeNetworkEventSink(changed);
        for (const IID* signal : kSignals) {
            Subscription subscription;
            if (SUCCEEDED(container->FindConnectionPoint(*signal, subscription.point.put())) &&
                subscription.point &&
                SUCCEEDED(subscription.point->Advise(sink.get(), &subscription.cookie))) {
                m_subscriptions.push_back(std::move(subscription));
            }
        }
        // A route of lower metric can take the default route from a connection without any
        // connectivity changing: the route table's own signal.
        m_changed = std::move(changed);
        if (NotifyRouteChange2(AF_UNSPEC, &SystemNetworkList::routeChanged, this, FALSE, &m_routeWatch) !=
            NO_ERROR) {
            m_routeWatch = nullptr;
        }
        return static_cast<int>(m_subscriptions.size()) + (m_routeWatch != nullptr ? 1 : 0);
    }

    bool read(NetworkListSnapshot& list) override
    {
        list = {};
        ComRef<IEnumNetworkConnections> connections;
        if (FAILED(m_manager->GetNetworkConnections(connections.put())) || !connections) {
            return false;
        }
        for (;;) {
            ComRef<INetworkConnection> connection;
            ULONG fetched = 0;
            if (connections->Next(1, connection.put(), &fetched) != S_OK || fetched != 1 || !connection) {
                break;
            }
            list.connections.push_back(listed(*connection.get()));
        }
        if (!readAdapters(list.adapters)) {
            return false;
        }
        list.defaultRouteIndex = WinDefaultRouteSource().defaultRouteInterface();
        return true;
    }

private:
    static void WINAPI routeChanged(void* context, MIB_IPFORWARD_ROW2*, MIB_NOTIFICATION_TYPE)
    {
        static_cast<SystemNetworkList*>(context)->m_changed();
    }

    ComRef<INetworkListManager> m_manager;
    std::vector<Subscription> m_subscriptions;
    std::function<void()> m_changed;
    HANDLE m_routeWatch = nullptr;
};

} // namespace

IUnknown* MakeNetworkEventSink(std::function<void()> changed)
{
    return static_cast<INetworkListManagerEvents*>(new NetworkEventSink(std::move(changed)));
}

std::unique_ptr<NetworkList> MakeSystemNetworkList()
{
    ComRef<INetworkListManager> manager;
    if (FAILED(CoCreateInstance(CLSID_NetworkListManager, nullptr, CLSCTX_ALL, IID_INetworkListManager,
                                manager.putVoid())) ||
        !manager) {
        return nullptr;
    }
    return std::make_unique<SystemNetworkList>(std::move(manager));
}

} // namespace tavlor::win32
