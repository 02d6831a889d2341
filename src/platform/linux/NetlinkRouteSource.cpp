#include "platform/linux/NetlinkRouteSource.h"

#include "platform/Platform.h"

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

// The first next hop of a multipath route.
std::uint32_t firstHopInterface(const rtattr* attr)
{
    if (RTA_PAYLOAD(attr) < sizeof(rtnexthop)) {
        return 0;
    }
    const auto* hop = static_cast<const rtnexthop*>(RTA_DATA(attr));
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

void NetlinkRouteSource::consider(const nlmsghdr* msg, std::uint32_t& index, std::uint32_t& metric) const
{
    const auto* route = static_cast<const rtmsg*>(NLMSG_DATA(msg));
    if (msg->nlmsg_type != RTM_NEWROUTE || route->rtm_dst_len != 0 || route->rtm_type != RTN_UNICAST) {
        return;
    }
    std::uint32_t table = route->rtm_table;
    std::uint32_t oif = 0;
    std::uint32_t priority = 0;
    int length = static_cast<int>(RTM_PAYLOAD(msg));
    for (const rtattr* attr = RTM_RTA(route); RTA_OK(attr, length); attr = RTA_NEXT(attr, length)) {
        if (attr->rta_type == RTA_OIF && RTA_PAYLOAD(attr) >= 4) {
            std::memcpy(&oif, RTA_DATA(attr), 4);
        } else if (attr->rta_type == RTA_PRIORITY && RTA_PAYLOAD(attr) >= 4) {
            std::memcpy(&priority, RTA_DATA(attr), 4);
        } else if (attr->rta_type == RTA_TABLE && RTA_PAYLOAD(attr) >= 4) {
            std::memcpy(&table, RTA_DATA(attr), 4);
        } else if (attr->rta_type == RTA_MULTIPATH && oif == 0) {
            oif = firstHopInterface(attr);
        }
    }
    if (table == RT_TABLE_MAIN && oif != 0 && (index == 0 || priority < metric)) {
        index = oif;
        metric = priority;
    }
}

bool NetlinkRouteSource::dumpDefault(unsigned char family, std::uint32_t& index)
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
    index = 0;
    std::uint32_t metric = 0;
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
            consider(msg, index, metric);
        }
    }
}

std::uint32_t NetlinkRouteSource::defaultRouteInterface()
{
    if (routesChanged()) {
        m_stale = true;
    }
    if (!m_stale) {
        return m_index;
    }
    std::uint32_t index = 0;
    if (!dumpDefault(AF_INET, index)) {
        return 0; // try again next time
    }
    if (index == 0 && !dumpDefault(AF_INET6, index)) {
        return 0;
    }
    m_index = index;
    m_stale = false;
    return m_index;
}

namespace platform {
std::unique_ptr<DefaultRouteSource> makeDefaultRouteSource()
{
    return std::make_unique<NetlinkRouteSource>();
}
} // namespace platform

} // namespace tavlor
