#pragma once

#include "model/TickParts.h"
#include "platform/DialupService.h"
#include "platform/HostAddressSource.h"
#include "platform/MeteredLinkSource.h"
#include "text/ViewModel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// The online decision of one second. Gateway mode counts whatever carries the default route;
// otherwise the first active dial-up connection, counted over its interface; otherwise, with
// countMetered, the primary connection while it is metered (yes or guess-yes) and its interface
// is known. Anything else is offline.
OnlineDecision DecideOnline(const Settings& settings, const std::vector<ActiveDialup>& dialups,
                            const std::optional<PrimaryConnection>& primary);

// The tick's online test over the dial-up service and, where there is one, the metered-link
// source. Both answer from state they keep; the metered source is asked only while metered
// counting is on and no dial-up connection decides.
class DialupOnlineProbe final : public OnlineProbe
{
public:
    explicit DialupOnlineProbe(const DialupService& dialup, const MeteredLinkSource* metered = nullptr)
        : m_dialup(dialup), m_metered(metered)
    {
    }
    OnlineDecision IsOnline(const Settings& settings) override;
    std::string ConnectionNameOf(const std::string& linkName) override;

private:
    const DialupService& m_dialup;
    const MeteredLinkSource* m_metered;
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
