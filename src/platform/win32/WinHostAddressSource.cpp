#include "platform/win32/WinHostAddressSource.h"

#include <winsock2.h>

#include <cstring>

namespace tavlor::win32 {

namespace {
constexpr WORD kSocketsVersion = 0x0102;

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

std::vector<std::string> WinHostAddressSource::ipv4Addresses()
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
