#pragma once

#include <string>
#include <vector>

namespace tavlor {

// The host's own IPv4 addresses in dotted form, in the order the system lists them.
// Empty when none can be found; never throws.
class HostAddressSource
{
public:
    virtual ~HostAddressSource() = default;
    virtual std::vector<std::string> ipv4Addresses() = 0;
};

} // namespace tavlor
