#include "platform/win32/WinHostAddressSource.h"

// clang-format off
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>
// clang-format on

#include <cstring>

namespace tavlor::win32 {

namespace {
constexpr WORD kSocketsVersion = 0x0102;
constexpr std::uint64_t kLongestTrustMs = 60000;

void CALLBACK interfaceChanged(PVOID context, PMIB_IPINTERFACE_ROW, MIB_NOTIFICATION_TYPE)
{
    static_cast<WinHostAddressSource*>(context)->markStale();
}

void CALLBACK addressChanged(PVOID context, PMIB_UNICASTIPADDRESS_ROW, MIB_NOTIFICATION_TYPE)
{
    static_cast<WinHostAddressSource*>(context)->markStale();
}

// Ends Windows Sockets on every path once it has started.
class SocketsSession
{
public:
    SocketsSession()
    {
        WSADATA data;
        m_started = WSAStartup(kSocketsVersion, &data) == 0;
    }
    ~SocketsSession()
    {
        if (m_started) {
            WSACleanup();
        }
    }
    SocketsSession(const SocketsSession&) = delete;
    SocketsSession& operator=(const SocketsSession&) = delete;
    bool started() const { return m_started; }

private:
    bool m_started = false;
};
} // namespace

WinHostAddressSource::WinHostAddressSource()
{
    HANDLE interfaces = nullptr;
    HANDLE addresses = nullptr;
    if (NotifyIpInterfaceChange(AF_INET, interfaceChanged, this, FALSE, &interfaces) == NO_ERROR) {
        m_interfaceNotification = interfaces;
    }
    if (NotifyUnicastIpAddressChange(AF_INET, addressChanged, this, FALSE, &addresses) == NO_ERROR) {
        m_addressNotification = addresses;
    }
}

WinHostAddressSource::~WinHostAddressSource()
{
    // Waits for a callback that is running, so `this` outlives every one of them.
    for (void* handle : {m_interfaceNotification, m_addressNotification}) {
        if (handle != nullptr) {
            CancelMibChangeNotify2(static_cast<HANDLE>(handle));
        }
    }
}

std::vector<std::string> WinHostAddressSource::ipv4Addresses()
{
    const bool following = m_interfaceNotification != nullptr && m_addressNotification != nullptr;
    const std::uint64_t now = GetTickCount64();
    // Cleared before reading: a change during the read marks the list stale again.
    if (m_stale.exchange(false) || !following || now - m_readAtMs >= kLongestTrustMs) {
        m_cache = read();
        m_readAtMs = now;
    }
    return m_cache;
}

std::vector<std::string> WinHostAddressSource::read()
{
    std::vector<std::string> addresses;
    SocketsSession sockets;
    if (!sockets.started()) {
        return addresses;
    }
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) {
        return addresses;
    }
    const hostent* host = gethostbyname(name);
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_addr_list == nullptr) {
        return addresses;
    }
    for (char** entry = host->h_addr_list; *entry != nullptr; ++entry) {
        in_addr address;
        std::memcpy(&address, *entry, sizeof address);
        if (const char* text = inet_ntoa(address)) {
            addresses.emplace_back(text);
        }
    }
    return addresses;
}

} // namespace tavlor::win32
