#pragma once

#include "platform/HostAddressSource.h"

#include <atomic>
#include <cstdint>

namespace tavlor::win32 {

// The host's addresses as the name service lists them for the host's own name (Windows Sockets).
//
// The list is read again only after the system reported a change of an interface or of an
// address (NotifyIpInterfaceChange, NotifyUnicastIpAddressChange), and at the latest after a
// minute, so that a system whose notifications never arrive still catches up. Where the
// notifications cannot be registered, every call reads the list.
class WinHostAddressSource final : public HostAddressSource
{
public:
    WinHostAddressSource();
    ~WinHostAddressSource() override;
    WinHostAddressSource(const WinHostAddressSource&) = delete;
    WinHostAddressSource& operator=(const WinHostAddressSource&) = delete;

    std::vector<std::string> ipv4Addresses() override;

    // Called from the system's notification thread.
    void markStale() { m_stale.store(true); }

private:
    static std::vector<std::string> read();

    void* m_interfaceNotification = nullptr;
    void* m_addressNotification = nullptr;
    std::atomic<bool> m_stale{true};
    std::uint64_t m_readAtMs = 0;
    std::vector<std::string> m_cache;
};

} // namespace tavlor::win32
