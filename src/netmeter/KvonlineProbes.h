#pragma once

#include "accounting/ViewModel.h"
#include "platform/HostAddressSource.h"
#include "platform/LibraryLoader.h"

#include <cstdint>
#include <string>

namespace tavlor {

// Number of active dial-up connections through "rasapi32.dll" (loaded and released on every
// call). 0 when the library cannot be loaded; throws ERasError (dialup/Ras.h) when the library
// lacks RasEnumConnectionsA.
std::int32_t RasConnectionCount(LibraryLoader& loader);
// 2 when at least one dial-up connection is active, else 0.
std::uint8_t DetectConnection(LibraryLoader& loader);
bool IsOnline(bool onLAN, LibraryLoader& loader);

// "a;b;c" of the host's IPv4 addresses; empty when none.
std::string GetLocalIpList(HostAddressSource& addresses);
// lLokal = first address, lremote = second or "---".
void ShowIpAddresses(ViewModel& view, HostAddressSource& addresses);

} // namespace tavlor
