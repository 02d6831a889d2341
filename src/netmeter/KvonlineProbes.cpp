#include "netmeter/KvonlineProbes.h"
#include "text/WidgetNames.h"

#include "text/KvString.h"

namespace tavlor {

namespace {
constexpr std::uint8_t kDialUpActive = 2;
} // namespace

std::int32_t RasConnectionCount(const DialupService& dialup)
{
    return static_cast<std::int32_t>(dialup.activeConnections().size());
}

std::uint8_t DetectConnection(const DialupService& dialup)
{
    return RasConnectionCount(dialup) > 0 ? kDialUpActive : 0;
}

bool IsOnline(bool onLAN, const DialupService& dialup)
{
    if (onLAN) {
        return true;
    }
    return DetectConnection(dialup) == kDialUpActive;
}

OnlineDecision DecideOnline(const Settings& settings, const std::vector<ActiveDialup>& dialups,
                            const std::optional<PrimaryConnection>& primary)
{
    if (settings.onLAN) {
        return {true, {CountedKind::Gateway, {}, {}}, {}};
    }
    // A dial-up connection is what the provider bills first: it wins over a metered primary.
    if (!dialups.empty()) {
        const ActiveDialup& first = dialups.front();
        return {true, {CountedKind::Dialup, first.id, first.entry}, first.interfaceName};
    }
    // A metered connection is counted only by its own link: without one it is not online.
    if (settings.countMetered && primary && IsMetered(primary->metering) && !primary->interfaceName.empty()) {
        return {true, {CountedKind::Metered, primary->id, primary->name}, primary->interfaceName};
    }
    return {};
}

OnlineDecision DialupOnlineProbe::IsOnline(const Settings& settings)
{
    if (settings.onLAN) {
        return DecideOnline(settings, {}, std::nullopt);
    }
    const std::vector<ActiveDialup> dialups = m_dialup.activeConnections();
    const bool askMetered = settings.countMetered && dialups.empty() && m_metered != nullptr;
    return DecideOnline(settings, dialups, askMetered ? m_metered->primaryConnection() : std::nullopt);
}

std::string DialupOnlineProbe::ConnectionNameOf(const std::string& linkName)
{
    return m_metered != nullptr ? m_metered->connectionNameOf(linkName) : std::string();
}

std::string GetLocalIpList(HostAddressSource& addresses)
{
    std::string list;
    for (const std::string& address : addresses.ipv4Addresses()) {
        if (!list.empty()) {
            list += ';';
        }
        list += address;
    }
    return list;
}

void ShowIpAddresses(ViewModel& view, HostAddressSource& addresses)
{
    // Only the first two fields of the list are shown; asking for two keeps the cost of a tick
    // independent of the number of addresses.
    std::string list;
    for (const std::string& address : addresses.firstIpv4Addresses(2)) {
        list += (list.empty() ? "" : ";") + address;
    }
    view.setText(names::lLokal, ExtractToken(list, 1, ';'));
    const std::string second = ExtractToken(list, 2, ';');
    view.setText(names::lremote, second.empty() ? "---" : second);
}

} // namespace tavlor
