#include "platform/linux/LinuxHostAddresses.h"

#include "platform/Platform.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace tavlor::platform {

namespace {
constexpr std::size_t kReceiveBytes = 64 * 1024;
// Room for the notifications of a burst of changes; beyond it the kernel reports an overflow
// and everything is read afresh.
constexpr int kSocketBufferBytes = 1024 * 1024;
constexpr int kResyncAttempts = 3;

struct IndexedAddress
{
    unsigned index;
    std::string address;
};

bool wanted(const ifaddrs& entry)
{
    // Point-to-point links may come without an address record; only IPv4 records count here.
    return entry.ifa_addr != nullptr && entry.ifa_addr->sa_family == AF_INET &&
           (entry.ifa_flags & IFF_UP) != 0 && (entry.ifa_flags & IFF_LOOPBACK) == 0;
}

bool wantedLink(unsigned flags)
{
    return (flags & IFF_UP) != 0 && (flags & IFF_LOOPBACK) == 0;
}

// Where netlink is out of reach: the whole list from getifaddrs, as before the cache.
std::vector<std::string> readWithGetifaddrs()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return {};
    }
    std::vector<IndexedAddress> found;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (!wanted(*entry)) {
            continue;
        }
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr) {
            found.push_back({if_nametoindex(entry->ifa_name), text});
        }
    }
    freeifaddrs(list);
    // Stable: several addresses of one interface keep the kernel's order.
    std::stable_sort(found.begin(), found.end(),
                     [](const IndexedAddress& a, const IndexedAddress& b) { return a.index < b.index; });
    std::vector<std::string> result;
    result.reserve(found.size());
    for (auto& item : found) {
        result.push_back(std::move(item.address));
    }
    return result;
}

// The interface's own address: IFA_LOCAL where the kernel gives one (on a point-to-point link
// IFA_ADDRESS is the peer), as getifaddrs reports it.
bool ownAddress(const nlmsghdr* message, std::uint32_t& address)
{
    const auto* info = static_cast<const ifaddrmsg*>(NLMSG_DATA(message));
    bool found = false;
    int length = static_cast<int>(IFA_PAYLOAD(message));
    for (const rtattr* attr = IFA_RTA(info); RTA_OK(attr, length); attr = RTA_NEXT(attr, length)) {
        const bool local = attr->rta_type == IFA_LOCAL;
        if ((local || (attr->rta_type == IFA_ADDRESS && !found)) && RTA_PAYLOAD(attr) >= sizeof address) {
            std::memcpy(&address, RTA_DATA(attr), sizeof address);
            found = true;
            if (local) {
                return true;
            }
        }
    }
    return found;
}
} // namespace

LinuxHostAddresses::LinuxHostAddresses() : m_buffer(kReceiveBytes)
{
    m_socket = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (m_socket < 0) {
        return;
    }
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR;
    const timeval timeout{1, 0};
    ::setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, &kSocketBufferBytes, sizeof kSocketBufferBytes);
    // Only the first reading and a resync wait for an answer, and never long.
    ::setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (::bind(m_socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(m_socket);
        m_socket = -1;
    }
}

LinuxHostAddresses::~LinuxHostAddresses()
{
    if (m_socket >= 0) {
        ::close(m_socket);
    }
}

std::vector<std::string> LinuxHostAddresses::ipv4Addresses()
{
    const std::vector<std::string>* list = current();
    return list != nullptr ? *list : readWithGetifaddrs();
}

std::vector<std::string> LinuxHostAddresses::firstIpv4Addresses(std::size_t count)
{
    const std::vector<std::string>* list = current();
    if (list == nullptr) {
        return HostAddressSource::firstIpv4Addresses(count);
    }
    return {list->begin(), list->begin() + static_cast<std::ptrdiff_t>(std::min(count, list->size()))};
}

const std::vector<std::string>* LinuxHostAddresses::current()
{
    if (m_socket < 0) {
        return nullptr;
    }
    if (m_inSync && !drain()) {
        m_inSync = false; // notifications were lost: read everything again
    }
    for (int attempt = 0; !m_inSync && attempt < kResyncAttempts; ++attempt) {
        m_inSync = resync();
    }
    if (!m_inSync) {
        return nullptr;
    }
    if (m_listDirty) {
        m_list.clear();
        for (const auto& [index, addresses] : m_addresses) {
            const auto link = m_linkFlags.find(index);
            if (link == m_linkFlags.end() || !wantedLink(link->second)) {
                continue;
            }
            for (const Address& address : addresses) {
                m_list.push_back(address.text);
            }
        }
        m_listDirty = false;
    }
    return &m_list;
}

// Notifications that arrive during the dumps are applied in order with them: each message
// carries the whole state of its link or address, so the last one wins either way.
bool LinuxHostAddresses::resync()
{
    m_linkFlags.clear();
    m_addresses.clear();
    m_listDirty = true;
    return dump(RTM_GETLINK, AF_UNSPEC) && dump(RTM_GETADDR, AF_INET);
}

bool LinuxHostAddresses::dump(int type, unsigned char family)
{
    struct
    {
        nlmsghdr header;
        rtgenmsg body;
    } request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(rtgenmsg));
    request.header.nlmsg_type = static_cast<std::uint16_t>(type);
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = ++m_sequence;
    request.body.rtgen_family = family;
    if (::send(m_socket, &request, request.header.nlmsg_len, 0) < 0) {
        return false;
    }
    for (;;) {
        const ssize_t got = ::recv(m_socket, m_buffer.data(), m_buffer.size(), 0);
        if (got <= 0) {
            return false; // an overflow (ENOBUFS), the timeout or a closed socket
        }
        int length = static_cast<int>(got);
        for (auto* msg = reinterpret_cast<const nlmsghdr*>(m_buffer.data()); NLMSG_OK(msg, length);
             msg = NLMSG_NEXT(msg, length)) {
            const bool ours = msg->nlmsg_seq == m_sequence && msg->nlmsg_pid != 0;
            if (ours && (msg->nlmsg_type == NLMSG_DONE || msg->nlmsg_type == NLMSG_ERROR)) {
                return msg->nlmsg_type == NLMSG_DONE;
            }
            apply(msg);
        }
    }
}

bool LinuxHostAddresses::drain()
{
    for (;;) {
        const ssize_t got = ::recv(m_socket, m_buffer.data(), m_buffer.size(), MSG_DONTWAIT);
        if (got < 0) {
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        }
        if (got == 0) {
            return true;
        }
        int length = static_cast<int>(got);
        for (auto* msg = reinterpret_cast<const nlmsghdr*>(m_buffer.data()); NLMSG_OK(msg, length);
             msg = NLMSG_NEXT(msg, length)) {
            apply(msg);
        }
    }
}

void LinuxHostAddresses::apply(const nlmsghdr* message)
{
    switch (message->nlmsg_type) {
    case RTM_NEWLINK:
    case RTM_DELLINK: {
        const auto* info = static_cast<const ifinfomsg*>(NLMSG_DATA(message));
        if (message->nlmsg_type == RTM_NEWLINK) {
            m_linkFlags[info->ifi_index] = info->ifi_flags;
        } else {
            m_linkFlags.erase(info->ifi_index);
            m_addresses.erase(info->ifi_index);
        }
        m_listDirty = true;
        break;
    }
    case RTM_NEWADDR:
    case RTM_DELADDR:
        applyAddress(message);
        break;
    default:
        break;
    }
}

void LinuxHostAddresses::applyAddress(const nlmsghdr* message)
{
    const auto* info = static_cast<const ifaddrmsg*>(NLMSG_DATA(message));
    Address address;
    if (info->ifa_family != AF_INET || !ownAddress(message, address.local)) {
        return;
    }
    address.prefixLength = info->ifa_prefixlen;
    const int index = static_cast<int>(info->ifa_index);
    std::vector<Address>& addresses = m_addresses[index];
    auto same = std::find_if(addresses.begin(), addresses.end(), [&](const Address& known) {
        return known.local == address.local && known.prefixLength == address.prefixLength;
    });
    if (message->nlmsg_type == RTM_DELADDR) {
        if (same != addresses.end()) {
            addresses.erase(same);
        }
    } else if (same == addresses.end()) {
        char text[INET_ADDRSTRLEN] = {};
        if (inet_ntop(AF_INET, &address.local, text, sizeof text) == nullptr) {
            return;
        }
        address.text = text;
        addresses.push_back(std::move(address));
    }
    if (addresses.empty()) {
        m_addresses.erase(index);
    }
    m_listDirty = true;
}

std::unique_ptr<HostAddressSource> makeHostAddressSource()
{
    return std::make_unique<LinuxHostAddresses>();
}

} // namespace tavlor::platform
