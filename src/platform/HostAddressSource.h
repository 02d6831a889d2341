#pragma once

#include <cstddef>
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
    // The first `count` of them. Asked once a second for the address labels, so sources that
    // keep a cache answer without building the whole list.
    virtual std::vector<std::string> firstIpv4Addresses(std::size_t count)
    {
        std::vector<std::string> all = ipv4Addresses();
        if (all.size() > count) {
            all.resize(count);
        }
        return all;
    }
};

} // namespace tavlor
