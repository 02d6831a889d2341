// Runs in a child process with a network namespace of its own, so that the links it creates
// are the only ones and the other tests keep seeing the machine's real links.
#include "platform/linux/LinuxHostAddresses.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace tavlor::platform {
namespace {

constexpr int kNoNamespace = 77;

// Returns what the child saw: "a;b;c", or "" with `status` set when it could not run.
std::string addressesInFreshNamespace(const char* setup, int& status)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        status = -1;
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::unshare(CLONE_NEWNET) != 0) {
            ::_exit(kNoNamespace);
        }
        if (std::system(setup) != 0) {
            ::_exit(2);
        }
        std::string joined;
        for (const std::string& address : LinuxHostAddresses().ipv4Addresses()) {
            joined += (joined.empty() ? "" : ";") + address;
        }
        const ssize_t written = ::write(pipeFds[1], joined.data(), joined.size());
        ::_exit(written == static_cast<ssize_t>(joined.size()) ? 0 : 3);
    }
    ::close(pipeFds[1]);
    std::string seen;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        seen.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    int wstatus = 0;
    ::waitpid(child, &wstatus, 0);
    status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    return seen;
}

TEST(LinuxHostAddresses, UpLinksInIndexOrderWithoutLoopbackOrLinksThatAreDown)
{
    if (std::system("command -v ip >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "the ip command (iproute2) is not installed";
    }
    // Point-to-point tun links, created in index order; the last one gets its addresses first.
    const char* setup = "ip link set lo up"
                        " && ip tuntap add dev tvone mode tun && ip tuntap add dev tvdown mode tun"
                        " && ip tuntap add dev tvthree mode tun"
                        " && ip addr add 10.5.0.1 peer 10.5.0.2 dev tvthree"
                        " && ip addr add 10.5.0.9 peer 10.5.0.10 dev tvthree"
                        " && ip addr add 10.3.0.1 peer 10.3.0.2 dev tvone"
                        " && ip addr add 10.4.0.1 peer 10.4.0.2 dev tvdown"
                        " && ip link set tvthree up && ip link set tvone up";
    int status = 0;
    const std::string seen = addressesInFreshNamespace(setup, status);
    if (status == kNoNamespace) {
        GTEST_SKIP() << "cannot create a network namespace (needs root)";
    }
    ASSERT_EQ(status, 0) << "could not set up the links";
    EXPECT_EQ(seen, "10.3.0.1;10.5.0.1;10.5.0.9");
}

} // namespace
} // namespace tavlor::platform
