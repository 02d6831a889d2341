#include "LinkNamespace.h"

#include <cstdio>
#include <cstdlib>
#include <map>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

namespace tavlor::bench {

namespace {
int openOwnNamespace()
{
    return ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
}

// One `ip -batch` run for all links: a thousand separate commands would take seconds.
bool createLinks(int links)
{
    FILE* out = ::popen("ip -batch - >/dev/null 2>&1", "w");
    if (out == nullptr) {
        return false;
    }
    std::fprintf(out, "link set lo up\n");
    for (int i = 0; i < links; ++i) {
        std::fprintf(out, "tuntap add dev tvb%d mode tap\n", i);
        std::fprintf(out, "addr add 10.%d.%d.1/24 dev tvb%d\n", 64 + i / 256, i % 256, i);
        std::fprintf(out, "link set tvb%d up\n", i);
    }
    return ::pclose(out) == 0;
}
} // namespace

LinkNamespace* LinkNamespace::withLinks(int links)
{
    static std::map<int, std::unique_ptr<LinkNamespace>> made;
    if (auto it = made.find(links); it != made.end()) {
        return it->second.get();
    }
    LinkNamespace* result = nullptr;
    const int home = openOwnNamespace();
    if (home >= 0 && ::unshare(CLONE_NEWNET) == 0) {
        const int fd = openOwnNamespace();
        if (fd >= 0 && createLinks(links)) {
            result = new LinkNamespace(fd);
        } else if (fd >= 0) {
            ::close(fd);
        }
        if (::setns(home, CLONE_NEWNET) != 0) {
            std::perror("setns back to the program's own network namespace");
            std::abort();
        }
    }
    if (home >= 0) {
        ::close(home);
    }
    made[links].reset(result);
    return result;
}

LinkNamespace::~LinkNamespace()
{
    ::close(m_fd);
}

LinkNamespace::Inside::Inside(const LinkNamespace& place) : m_home(openOwnNamespace())
{
    if (m_home < 0 || ::setns(place.m_fd, CLONE_NEWNET) != 0) {
        std::perror("entering the benchmark's network namespace");
        std::abort();
    }
}

LinkNamespace::Inside::~Inside()
{
    if (::setns(m_home, CLONE_NEWNET) != 0) {
        std::perror("setns back to the program's own network namespace");
        std::abort();
    }
    ::close(m_home);
}

} // namespace tavlor::bench
