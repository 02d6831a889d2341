#pragma once

#include "accounting/ViewModel.h"
#include "platform/DialupService.h"
#include "platform/HostAddressSource.h"

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

} // namespace tavlor
