#pragma once

#include "platform/HostAddressSource.h"

namespace tavlor::platform {

// The IPv4 addresses of the interfaces that are up, loopback excluded, in interface-index
// order. The name service is not asked: Debian answers 127.0.1.1 for the host's own name.
class LinuxHostAddresses final : public HostAddressSource
{
public:
    std::vector<std::string> ipv4Addresses() override;
};

} // namespace tavlor::platform
