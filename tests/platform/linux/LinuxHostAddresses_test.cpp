// Runs in a child process with a network namespace of its own, so that the links it creates
// are the only ones and the other tests keep seeing the machine's real links.
#include "platform/linux/LinuxHostAddresses.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tavlor::platform {
namespace {

constexpr int kNoNamespace = 77;

std::string joined(const std::vector<std::string>& addresses)
{
    std::string text;
    for (const std::string& address : addresses) {
        text += (text.empty() ? "" : ";") + address;
    }
    return text;
}

// Runs `body` in a child with a fresh network namespace after `setup`, and returns what it
// wrote; "" with `status` set when it could not run.
std::string inFreshNamespace(const char* setup, const std::function<std::string()>& body, int& status)
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
        const std::string result = body();
        const ssize_t written = ::write(pipeFds[1], result.data(), result.size());
        ::_exit(written == static_cast<ssize_t>(result.size()) ? 0 : 3);
    }
    ::close(pipeFds[1]);
    std::string seen;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        seen.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    int wstatus = 0;
    ::waitpid(child, &wstatus, 0);
    status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    return seen;
}

bool haveIp()
{
    return std::system("command -v ip >/dev/null 2>&1") == 0;
}

TEST(LinuxHostAddresses, UpLinksInIndexOrderWithoutLoopbackOrLinksThatAreDown)
{
    if (!haveIp()) {
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
    const std::string seen = inFreshNamespace(
        setup, [] { return joined(LinuxHostAddresses().ipv4Addresses()); }, status);
    if (status == kNoNamespace) {
        GTEST_SKIP() << "cannot create a network namespace (needs root)";
    }
    ASSERT_EQ(status, 0) << "could not set up the links";
    EXPECT_EQ(seen, "10.3.0.1;10.5.0.1;10.5.0.9");
}

// One source lives through every change; after each, its next answer must already show it.
TEST(LinuxHostAddresses, TheKeptListFollowsEveryChangeAtTheNextCall)
{
    if (!haveIp()) {
        GTEST_SKIP() << "the ip command (iproute2) is not installed";
    }
    const std::pair<const char*, const char*> steps[] = {
        {"true", "10.3.0.1"},
        {"ip addr add 10.3.0.7/24 dev tva", "10.3.0.1;10.3.0.7"},
        {"ip link set tvb up", "10.3.0.1;10.3.0.7;10.4.0.1"},
        {"ip addr del 10.3.0.1 peer 10.3.0.2 dev tva", "10.3.0.7;10.4.0.1"},
        {"ip link set tva down", "10.4.0.1"},
        {"ip link set tva up", "10.3.0.7;10.4.0.1"},
        {"ip link del tva", "10.4.0.1"},
        // More changes at once than the notification buffer holds: read afresh.
        {"for i in $(seq 0 1999); do echo addr add 10.9.$((i / 250)).$((i % 250 + 1))/32 dev tvb; done"
         " | ip -batch -",
         "2001"},
    };
    const char* setup = "ip tuntap add dev tva mode tun && ip tuntap add dev tvb mode tun"
                        " && ip addr add 10.3.0.1 peer 10.3.0.2 dev tva && ip addr add 10.4.0.1/24 dev tvb"
                        " && ip link set tva up";
    const auto body = [&steps] {
        LinuxHostAddresses source;
        std::string log;
        for (const auto& [command, expected] : steps) {
            if (std::system(command) != 0) {
                return std::string("failed: ") + command;
            }
            const std::vector<std::string> seen = source.ipv4Addresses();
            const std::string text = seen.size() > 100 ? std::to_string(seen.size()) : joined(seen);
            if (text != expected) {
                log += std::string(command) + ": " + text + " instead of " + expected + "\n";
            }
            if (joined(source.firstIpv4Addresses(2)) !=
                joined({seen.begin(), seen.begin() + std::min<std::size_t>(2, seen.size())})) {
                log += std::string(command) + ": the first two differ\n";
            }
        }
        return log;
    };
    int status = 0;
    const std::string problems = inFreshNamespace(setup, body, status);
    if (status == kNoNamespace) {
        GTEST_SKIP() << "cannot create a network namespace (needs root)";
    }
    ASSERT_EQ(status, 0) << "could not set up the links";
    EXPECT_EQ(problems, "");
}

} // namespace
} // namespace tavlor::platform
