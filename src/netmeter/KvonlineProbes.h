#pragma once

#include "model/TickParts.h"
#include "platform/DialupService.h"
#include "platform/HostAddressSource.h"
#include "text/ViewModel.h"

#include <cstdint>
#include <string>

namespace tavlor {

// Number of active dial-up connections, as the dial-up service keeps them: no call leaves the
// program. 0 while the service is not there.
std::int32_t RasConnectionCount(const DialupService& dialup);
// 2 when at least one dial-up connection is active, else 0.
std::uint8_t DetectConnection(const DialupService& dialup);
bool IsOnline(bool onLAN, const DialupService& dialup);

// "a;b;c" of the host's IPv4 addresses; empty when none.
std::string GetLocalIpList(HostAddressSource& addresses);
// lLokal = first address, lremote = second or "---".
void ShowIpAddresses(ViewModel& view, HostAddressSource& addresses);

// The tick's online test: gateway mode, or an active dial-up connection.
class DialupOnlineProbe final : public OnlineProbe
{
public:
    explicit DialupOnlineProbe(const DialupService& dialup) : m_dialup(dialup) {}
    bool IsOnline(bool onLAN) override { return tavlor::IsOnline(onLAN, m_dialup); }

private:
    const DialupService& m_dialup;
};

// The address labels, refreshed on every tick.
class AddressLabels final : public AddressDisplay
{
public:
    AddressLabels(ViewModel& view, HostAddressSource& addresses) : m_view(view), m_addresses(addresses) {}
    void ShowIpAddresses() override { tavlor::ShowIpAddresses(m_view, m_addresses); }

private:
    ViewModel& m_view;
    HostAddressSource& m_addresses;
};

} // namespace tavlor
