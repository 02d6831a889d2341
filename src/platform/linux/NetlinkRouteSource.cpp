#include "platform/linux/NetlinkRouteSource.h"

#include "platform/Platform.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace tavlor {

namespace {
constexpr std::size_t kReceiveBytes = 64 * 1024;

int openSocket(unsigned groups, bool nonBlocking)
{
    const int fd =
        ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | (nonBlocking ? SOCK_NONBLOCK : 0), NETLINK_ROUTE);
    if (fd < 0) {
        return -1;
    }
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = groups;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The first next hop of a multipath route; whether it names a router.
std::uint32_t firstHopInterface(const rtattr* attr, bool& viaGateway)
{
    if (RTA_PAYLOAD(attr) < sizeof(rtnexthop)) {
        return 0;
    }
    const auto* hop = static_cast<const rtnexthop*>(RTA_DATA(attr));
    viaGateway = viaGateway || hop->rtnh_len > RTNH_LENGTH(0);
    return static_cast<std::uint32_t>(hop->rtnh_ifindex);
}
} // namespace

NetlinkRouteSource::NetlinkRouteSource() : m_buffer(kReceiveBytes)
{
    m_query = openSocket(0, false);
    if (m_query >= 0) {
        // The tick runs on the window thread: never wait long for the kernel.
        const timeval timeout{1, 0};
        ::setsockopt(m_query, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    }
    m_events = openSocket(RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE, true);
}

NetlinkRouteSource::~NetlinkRouteSource()
{
    for (int fd : {m_query, m_events}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool NetlinkRouteSource::routesChanged()
{
    if (m_events < 0) {
        return true; // no announcements: ask every time
    }
    bool changed = false;
    for (;;) {
        const ssize_t got = ::recv(m_events, m_buffer.data(), m_buffer.size(), MSG_DONTWAIT);
        if (got > 0) {
            changed = true;
            continue;
        }
        // ENOBUFS: announcements were lost, so the table may have changed.
        if (got < 0 && errno == EINTR) {
            continue;
        }
        return changed || (got < 0 && errno == ENOBUFS);
    }
}

void NetlinkRouteSource::consider(const nlmsghdr* msg, bool ipv6)
{
    const auto* route = static_cast<const rtmsg*>(NLMSG_DATA(msg));
    if (msg->nlmsg_type != RTM_NEWROUTE || route->rtm_type != RTN_UNICAST) {
        return;
    }
    std::uint32_t table = route->rtm_table;
    RouteEntry entry;
    entry.prefixLength = route->rtm_dst_len;
    entry.ipv6 = ipv6;
    int length = static_cast<int>(RTM_PAYLOAD(msg));
    for (const rtattr* attr = RTM_RTA(route); RTA_OK(attr, length); attr = RTA_NEXT(attr, length)) {
        if (attr->rta_type == RTA_OIF && RTA_PAYLOAD(attr) >= 4) {
            std::memcpy(&entry.interfaceIndex, RTA_DATA(attr), 4);
        } else if (attr->rta_type == RTA_PRIORITY && RTA_PAYLOAD(attr) >= 4) {
            std::memcpy(&entry.metric, RTA_DATA(attr), 4);
        } else if (attr->rta_type == RTA_TABLE && RTA_PAYLOAD(attr) >= 4) {
            std::memcpy(&table, RTA_DATA(attr), 4);
        } else if (attr->rta_type == RTA_GATEWAY || attr->rta_type == RTA_VIA) {
            entry.viaGateway = true;
        } else if (attr->rta_type == RTA_MULTIPATH && entry.interfaceIndex == 0) {
            entry.interfaceIndex = firstHopInterface(attr, entry.viaGateway);
        }
    }
    if (table == RT_TABLE_MAIN && entry.interfaceIndex != 0) {
        m_table.push_back(entry);
    }
}

bool NetlinkRouteSource::dump(unsigned char family)
{
    struct
    {
        nlmsghdr header;
        rtmsg body;
    } request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(rtmsg));
    request.header.nlmsg_type = RTM_GETROUTE;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = ++m_sequence;
    request.body.rtm_family = family;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (m_query < 0 || ::sendto(m_query, &request, request.header.nlmsg_len, 0,
                                reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) < 0) {
        return false;
    }
    for (;;) {
        const ssize_t got = ::recv(m_query, m_buffer.data(), m_buffer.size(), 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        int length = static_cast<int>(got);
        for (auto* msg = reinterpret_cast<const nlmsghdr*>(m_buffer.data()); NLMSG_OK(msg, length);
             msg = NLMSG_NEXT(msg, length)) {
            if (msg->nlmsg_seq != m_sequence) {
                continue;
            }
            if (msg->nlmsg_type == NLMSG_DONE) {
                return true;
            }
            if (msg->nlmsg_type == NLMSG_ERROR) {
                return false;
            }
            consider(msg, family == AF_INET6);
        }
    }
}

bool NetlinkRouteSource::current()
{
    if (routesChanged()) {
        m_stale = true;
    }
    if (!m_stale) {
        return true;
    }
    m_table.clear();
    if (!dump(AF_INET)) {
        return false; // try again next time
    }
    const bool v4Default = std::any_of(m_table.begin(), m_table.end(),
                                       [](const RouteEntry& entry) { return entry.prefixLength == 0; });
    // A kernel without IPv6 refuses the second dump; the IPv4 table is enough then.
    if (!dump(AF_INET6) && !v4Default) {
        return false;
    }
    // The lowest metric wins; IPv4 before IPv6.
    m_index = 0;
    for (const bool ipv6 : {false, true}) {
        std::uint32_t metric = 0;
        for (const RouteEntry& entry : m_table) {
            if (entry.ipv6 == ipv6 && entry.prefixLength == 0 && (m_index == 0 || entry.metric < metric)) {
                m_index = entry.interfaceIndex;
                metric = entry.metric;
            }
        }
        if (m_index != 0) {
            break;
        }
    }
    m_stale = false;
    return true;
}

std::uint32_t NetlinkRouteSource::defaultRouteInterface()
{
    return current() ? m_index : 0;
}

bool NetlinkRouteSource::routeTable(std::vector<RouteEntry>& routes)
{
    if (!current()) {
        return false;
    }
    routes.assign(m_table.begin(), m_table.end());
    return true;
}

namespace platform {
std::unique_ptr<DefaultRouteSource> makeDefaultRouteSource()
{
    return std::make_unique<NetlinkRouteSource>();
}
} // namespace platform

} // namespace tavlor
