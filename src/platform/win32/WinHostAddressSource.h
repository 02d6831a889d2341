#pragma once

#include "platform/HostAddressSource.h"

namespace tavlor::win32 {

// The host's addresses as the name service lists them for the host's own name (Windows Sockets).
class WinHostAddressSource final : public HostAddressSource
{
public:
    std::vector<std::string> ipv4Addresses() override;
};

} // namespace tavlor::win32
