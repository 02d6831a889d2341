#include "platform/linux/NetlinkRowSource.h"

#include "platform/Platform.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <iterator>
#include <string_view>

// <net/if.h> first: the kernel headers then leave glibc's ifreq alone.
#include <net/if.h>

#include <linux/ethtool.h>
#include <linux/if_arp.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace tavlor {

namespace {
constexpr std::size_t kReceiveBytes = 64 * 1024;
// Without announcements, link speeds show within this time; new or removed links at once.
constexpr std::int64_t kLinkRefreshMs = 3000;
// With them, the table is read whole now and then all the same: a speed renegotiated without
// a carrier change is not announced.
constexpr std::int64_t kAnnouncedRefreshMs = 60000;

std::int64_t monotonicMs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void takeCounters(const rtattr* attr, LinkRow& row)
{
    rtnl_link_stats64 stats;
    std::memcpy(&stats, RTA_DATA(attr), sizeof stats);
    row.rxBytes = stats.rx_bytes;
    row.txBytes = stats.tx_bytes;
    row.counterBits = 64;
}

// Index and counters from one RTM_NEWSTATS message.
bool parseStats(const nlmsghdr* msg, LinkRow& row)
{
    const auto* header = static_cast<const if_stats_msg*>(NLMSG_DATA(msg));
    row.index = header->ifindex;
    int length = static_cast<int>(msg->nlmsg_len) - static_cast<int>(NLMSG_LENGTH(sizeof(if_stats_msg)));
    const auto* attr = reinterpret_cast<const rtattr*>(reinterpret_cast<const char*>(header) +
                                                       NLMSG_ALIGN(sizeof(if_stats_msg)));
    for (; RTA_OK(attr, length); attr = RTA_NEXT(attr, length)) {
        if (attr->rta_type == IFLA_STATS_LINK_64 && RTA_PAYLOAD(attr) >= sizeof(rtnl_link_stats64)) {
            takeCounters(attr, row);
            return true;
        }
    }
    return false;
}

LinkKind kindOf(unsigned short type)
{
    switch (type) {
    case ARPHRD_LOOPBACK:
        return LinkKind::Loopback;
    case ARPHRD_ETHER:
    case ARPHRD_IEEE80211:
        return LinkKind::Ethernet;
    case ARPHRD_PPP:
    case ARPHRD_NONE: // tun and wwan links in raw-IP mode
    case ARPHRD_RAWIP:
        return LinkKind::PointToPoint;
    case ARPHRD_TUNNEL:
    case ARPHRD_TUNNEL6:
    case ARPHRD_SIT:
    case ARPHRD_IPGRE:
        return LinkKind::Tunnel;
    default:
        return LinkKind::Other;
    }
}

// Drivers whose links carry packets that another link sends on, wrapped: tun and tap (the
// userspace VPNs), WireGuard, IP-in-IP, GRE, VXLAN and IPsec interfaces. ppp and wwan are not
// among them: a dial-up link is what the provider bills.
bool isTunnelDriver(std::string_view driver)
{
    static constexpr std::string_view kTunnels[] = {
        "tun", "wireguard", "ipip", "sit",   "gre",    "gretap", "ip6gre",    "ip6gretap", "ip6tnl",
        "vti", "vti6",      "xfrm", "vxlan", "geneve", "erspan", "ip6erspan", "bareudp",   "amt"};
    return std::find(std::begin(kTunnels), std::end(kTunnels), driver) != std::end(kTunnels);
}

// The driver's name from IFLA_LINKINFO ("tun", "wireguard", "veth"); empty when there is none.
std::string_view driverOf(const rtattr* linkInfo)
{
    int length = static_cast<int>(RTA_PAYLOAD(linkInfo));
    for (const rtattr* attr = static_cast<const rtattr*>(RTA_DATA(linkInfo)); RTA_OK(attr, length);
         attr = RTA_NEXT(attr, length)) {
        if (attr->rta_type == IFLA_INFO_KIND && RTA_PAYLOAD(attr) > 0) {
            const auto* data = static_cast<const char*>(RTA_DATA(attr));
            return {data, ::strnlen(data, RTA_PAYLOAD(attr))};
        }
    }
    return {};
}

// Point-to-point drivers often never report an operational state: running is enough there.
bool isUp(const ifinfomsg* info, int operState)
{
    return operState == IF_OPER_UP || (operState == IF_OPER_UNKNOWN && (info->ifi_flags & IFF_RUNNING) != 0);
}

// Fills the row from one RTM_NEWLINK message.
void parseLink(const nlmsghdr* msg, LinkRow& row)
{
    const auto* info = static_cast<const ifinfomsg*>(NLMSG_DATA(msg));
    row.index = static_cast<std::uint32_t>(info->ifi_index);
    row.kind = kindOf(info->ifi_type);
    int operState = IF_OPER_UNKNOWN;
    bool have64 = false;
    bool tunnel = false;
    int length = static_cast<int>(IFLA_PAYLOAD(msg));
    for (const rtattr* attr = IFLA_RTA(info); RTA_OK(attr, length); attr = RTA_NEXT(attr, length)) {
        const std::size_t payload = RTA_PAYLOAD(attr);
        const auto* data = static_cast<const char*>(RTA_DATA(attr));
        if (attr->rta_type == IFLA_ADDRESS) {
            row.hwAddrLen = static_cast<std::uint32_t>(payload);
        } else if (attr->rta_type == IFLA_IFNAME && payload > 0) {
            row.name.assign(data, ::strnlen(data, std::min<std::size_t>(payload, IFNAMSIZ)));
        } else if (attr->rta_type == IFLA_OPERSTATE && payload >= 1) {
            operState = static_cast<unsigned char>(data[0]);
        } else if (attr->rta_type == IFLA_STATS64 && payload >= sizeof(rtnl_link_stats64)) {
            takeCounters(attr, row);
            have64 = true;
        } else if (attr->rta_type == IFLA_STATS && payload >= sizeof(rtnl_link_stats) && !have64) {
            rtnl_link_stats stats;
            std::memcpy(&stats, data, sizeof stats);
            row.rxBytes = stats.rx_bytes;
            row.txBytes = stats.tx_bytes;
            row.counterBits = 32;
        } else if (attr->rta_type == IFLA_LINKINFO && isTunnelDriver(driverOf(attr))) {
            tunnel = true;
        }
    }
    if (tunnel) {
        row.kind = LinkKind::Tunnel;
    }
    row.up = isUp(info, operState);
    // The kernel gives loopback a six-byte zero address; it is no adapter.
    if (row.kind == LinkKind::Loopback) {
        row.hwAddrLen = 0;
    }
}
} // namespace

NetlinkRowSource::NetlinkRowSource() : m_buffer(kReceiveBytes)
{
    m_netlink = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (m_netlink >= 0) {
        // The tick runs on the window thread: never wait long for an answer.
        const timeval timeout{1, 0};
        ::setsockopt(m_netlink, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    }
    m_ioctlSocket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    m_announcements = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    if (m_announcements >= 0) {
        sockaddr_nl groups{};
        groups.nl_family = AF_NETLINK;
        groups.nl_groups = RTMGRP_LINK;
        if (::bind(m_announcements, reinterpret_cast<sockaddr*>(&groups), sizeof groups) != 0) {
            ::close(m_announcements);
            m_announcements = -1;
        }
    }
}

NetlinkRowSource::~NetlinkRowSource()
{
    if (m_netlink >= 0) {
        ::close(m_netlink);
    }
    if (m_ioctlSocket >= 0) {
        ::close(m_ioctlSocket);
    }
    if (m_announcements >= 0) {
        ::close(m_announcements);
    }
}

std::uint64_t NetlinkRowSource::linkSpeed(const char* name) const
{
    if (m_ioctlSocket < 0 || name[0] == '\0') {
        return 0;
    }
    ethtool_cmd cmd{};
    cmd.cmd = ETHTOOL_GSET;
    ifreq request{};
    std::strncpy(request.ifr_name, name, IFNAMSIZ - 1);
    request.ifr_data = reinterpret_cast<char*>(&cmd);
    if (::ioctl(m_ioctlSocket, SIOCETHTOOL, &request) != 0) {
        return 0; // no ethtool support (loopback and many virtual links)
    }
    const std::uint32_t mbit = ethtool_cmd_speed(&cmd);
    if (mbit == 0 || mbit == static_cast<std::uint32_t>(SPEED_UNKNOWN)) {
        return 0;
    }
    return static_cast<std::uint64_t>(mbit) * 1000000ULL;
}

bool NetlinkRowSource::sendRequest(int type, std::uint32_t index)
{
    struct
    {
        nlmsghdr header;
        union {
            ifinfomsg link;
            if_stats_msg stats;
        } body;
    } request{};
    request.header.nlmsg_type = static_cast<std::uint16_t>(type);
    request.header.nlmsg_flags = NLM_F_REQUEST | (index == 0 ? NLM_F_DUMP : 0);
    request.header.nlmsg_seq = ++m_sequence;
    if (type == RTM_GETSTATS) {
        request.header.nlmsg_len = NLMSG_LENGTH(sizeof(if_stats_msg));
        request.body.stats.family = AF_UNSPEC;
        request.body.stats.ifindex = index;
        request.body.stats.filter_mask = IFLA_STATS_FILTER_BIT(IFLA_STATS_LINK_64);
    } else {
        request.header.nlmsg_len = NLMSG_LENGTH(sizeof(ifinfomsg));
        request.body.link.ifi_family = AF_UNSPEC;
        request.body.link.ifi_index = static_cast<int>(index);
    }
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    return ::sendto(m_netlink, &request, request.header.nlmsg_len, 0, reinterpret_cast<sockaddr*>(&kernel),
                    sizeof kernel) >= 0;
}

template <typename OnMessage>
bool NetlinkRowSource::exchange(int type, std::uint32_t index, OnMessage onMessage)
{
    m_kernelError = 0;
    if (m_netlink < 0 || !sendRequest(type, index)) {
        return false;
    }
    for (;;) {
        const ssize_t got = ::recv(m_netlink, m_buffer.data(), m_buffer.size(), 0);
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
                continue; // an answer to an earlier, abandoned request
            }
            if (msg->nlmsg_type == NLMSG_DONE) {
                return true;
            }
            if (msg->nlmsg_type == NLMSG_ERROR) {
                const auto* answer = static_cast<const nlmsgerr*>(NLMSG_DATA(msg));
                m_kernelError = msg->nlmsg_len >= NLMSG_LENGTH(sizeof(nlmsgerr)) ? -answer->error : EPROTO;
                return false;
            }
            onMessage(msg);
            if ((msg->nlmsg_flags & NLM_F_MULTI) == 0) {
                return true; // the one answer to a request for one link
            }
        }
    }
}

void NetlinkRowSource::drainAnnouncements()
{
    while (m_announcements >= 0) {
        const ssize_t got = ::recv(m_announcements, m_buffer.data(), m_buffer.size(), MSG_DONTWAIT);
        if (got > 0 || (got < 0 && (errno == EINTR || errno == ENOBUFS))) {
            // Any announcement, or so many that some were lost: the table is read again.
            m_tableStale = true;
            continue;
        }
        if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            // Deaf from now on: back to reading the whole table every time.
            ::close(m_announcements);
            m_announcements = -1;
            m_tableStale = true;
        }
        return;
    }
}

bool NetlinkRowSource::tableMayHaveChanged()
{
    if (m_announcements < 0) {
        return true;
    }
    drainAnnouncements();
    return m_tableStale || m_rows.empty() || monotonicMs() - m_linksReadMs >= kAnnouncedRefreshMs;
}

bool NetlinkRowSource::readCounters(LinkRow& row)
{
    bool found = false;
    const auto take = [&](const LinkRow& read) {
        if (read.index == row.index) {
            row.rxBytes = read.rxBytes;
            row.txBytes = read.txBytes;
            row.counterBits = read.counterBits;
            found = true;
        }
    };
    if (m_statsDumpWorks) {
        exchange(RTM_GETSTATS, row.index, [&](const nlmsghdr* msg) {
            LinkRow read;
            if (msg->nlmsg_type == RTM_NEWSTATS && parseStats(msg, read)) {
                take(read);
            }
        });
        // A link that is gone says ENODEV; any other refusal is a kernel before 4.7, which
        // knows no statistics requests: whole link records from then on.
        m_statsDumpWorks = m_kernelError == 0 || m_kernelError == ENODEV;
    }
    if (!m_statsDumpWorks) {
        exchange(RTM_GETLINK, row.index, [&](const nlmsghdr* msg) {
            LinkRow read;
            if (msg->nlmsg_type == RTM_NEWLINK) {
                parseLink(msg, read);
                take(read);
            }
        });
    }
    if (!found) {
        m_tableStale = true; // gone, most likely: the next look reads the whole table
    }
    return found;
}

bool NetlinkRowSource::dumpLinks()
{
    m_fresh.clear();
    drainAnnouncements(); // what is announced from here on is newer than this dump
    const bool ok = exchange(RTM_GETLINK, 0, [this](const nlmsghdr* msg) {
        if (msg->nlmsg_type != RTM_NEWLINK) {
            return;
        }
        LinkRow row;
        parseLink(msg, row);
        row.speedBps = linkSpeed(row.name.c_str());
        m_fresh.push_back(std::move(row));
    });
    if (!ok) {
        return false;
    }
    std::sort(m_fresh.begin(), m_fresh.end(),
              [](const LinkRow& a, const LinkRow& b) { return a.index < b.index; });
    m_rows.swap(m_fresh);
    m_linksReadMs = monotonicMs();
    m_tableStale = false;
    return true;
}

bool NetlinkRowSource::readCounters()
{
    if (!m_statsDumpWorks) {
        return false;
    }
    m_fresh.clear();
    const bool ok = exchange(RTM_GETSTATS, 0, [this](const nlmsghdr* msg) {
        if (msg->nlmsg_type != RTM_NEWSTATS) {
            return;
        }
        LinkRow row;
        if (parseStats(msg, row)) {
            m_fresh.push_back(std::move(row));
        }
    });
    if (!ok) {
        // Kernels before 4.7 refuse statistics dumps: full link dumps from then on.
        m_statsDumpWorks = m_kernelError == 0;
        return false;
    }
    std::sort(m_fresh.begin(), m_fresh.end(),
              [](const LinkRow& a, const LinkRow& b) { return a.index < b.index; });
    if (m_fresh.size() != m_rows.size()) {
        return false;
    }
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_fresh[i].index != m_rows[i].index) {
            return false;
        }
        m_rows[i].rxBytes = m_fresh[i].rxBytes;
        m_rows[i].txBytes = m_fresh[i].txBytes;
        m_rows[i].counterBits = m_fresh[i].counterBits;
    }
    return true;
}

bool NetlinkRowSource::readLinks(std::vector<LinkRow>& links)
{
    const bool linksCurrent = m_announcements >= 0
                                  ? !tableMayHaveChanged()
                                  : !m_rows.empty() && monotonicMs() - m_linksReadMs < kLinkRefreshMs;
    if (!(linksCurrent && readCounters()) && !dumpLinks()) {
        return false;
    }
    // Element-wise assignment keeps the caller's strings and vector storage: no allocation.
    links.resize(m_rows.size());
    std::copy(m_rows.begin(), m_rows.end(), links.begin());
    return true;
}

namespace platform {
std::unique_ptr<InterfaceRowSource> makeInterfaceRowSource()
{
    return std::make_unique<NetlinkRowSource>();
}
} // namespace platform

} // namespace tavlor
