#pragma once

// The system's request to end the program (on Linux SIGTERM, SIGHUP and SIGINT, which the
// session manager and init systems send) turned into a readable descriptor, so the window
// thread can save and leave its event loop in order instead of dying in a signal handler.
namespace tavlor::platform {

// Installs the handlers once and returns the descriptor to watch; -1 where the system has no
// such signals or they could not be set up.
int watchSessionEndSignals();
// Empties the descriptor after it became readable.
void drainSessionEndSignals(int fd);

} // namespace tavlor::platform
