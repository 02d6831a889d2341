#include "platform/SessionEnd.h"

#include <cerrno>
#include <csignal>
#include <initializer_list>
#include <sys/socket.h>
#include <unistd.h>

namespace tavlor::platform {

namespace {
int g_signalPair[2] = {-1, -1};

extern "C" void onSessionEndSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // Non-blocking: a full buffer means a wake-up is already pending.
    [[maybe_unused]] ssize_t written = ::write(g_signalPair[0], &byte, 1);
    errno = savedErrno;
}
} // namespace

int watchSessionEndSignals()
{
    if (g_signalPair[1] >= 0) {
        return g_signalPair[1];
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalPair) != 0) {
        g_signalPair[0] = g_signalPair[1] = -1;
        return -1;
    }
    struct sigaction action = {};
    action.sa_handler = onSessionEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        ::sigaction(signal, &action, nullptr);
    }
    return g_signalPair[1];
}

void drainSessionEndSignals(int fd)
{
    char buffer[64];
    while (::read(fd, buffer, sizeof buffer) > 0) {
    }
}

} // namespace tavlor::platform
