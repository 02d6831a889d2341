#pragma once

#include "platform/HostAddressSource.h"

#include <cstdint>
#include <map>
#include <vector>

struct nlmsghdr;

namespace tavlor::platform {

// The IPv4 addresses of the interfaces that are up, loopback excluded, in interface-index
// order. The name service is not asked: Debian answers 127.0.1.1 for the host's own name.
//
// The addresses are read once and then kept current from the kernel's link and address
// notifications (rtnetlink), which are picked up without waiting at every call: a call costs
// the same with one link or a thousand, and a change shows at the next call. Where no netlink
// socket can be had, every call reads the addresses afresh.
class LinuxHostAddresses final : public HostAddressSource
{
public:
    LinuxHostAddresses();
    ~LinuxHostAddresses() override;
    LinuxHostAddresses(const LinuxHostAddresses&) = delete;
    LinuxHostAddresses& operator=(const LinuxHostAddresses&) = delete;

    std::vector<std::string> ipv4Addresses() override;
    std::vector<std::string> firstIpv4Addresses(std::size_t count) override;

private:
    struct Address
    {
        std::uint32_t local = 0; // network byte order
        std::uint8_t prefixLength = 0;
        std::string text;
    };

    // The current list, or nullptr when the notifications cannot be followed.
    const std::vector<std::string>* current();
    bool resync();
    bool dump(int type, unsigned char family);
    // Applies every message that is waiting, without waiting for more; false on overflow.
    bool drain();
    void apply(const nlmsghdr* message);
    void applyAddress(const nlmsghdr* message);

    int m_socket = -1;
    std::uint32_t m_sequence = 0;
    bool m_inSync = false;
    bool m_listDirty = true;
    std::vector<char> m_buffer;
    std::map<int, unsigned> m_linkFlags;
    std::map<int, std::vector<Address>> m_addresses; // by interface index, in the kernel's order
    std::vector<std::string> m_list;
};

} // namespace tavlor::platform
