#include "platform/SessionEnd.h"

namespace tavlor::platform {

// Windows ends a session through WM_QUERYENDSESSION, which Qt turns into commitDataRequest.
int watchSessionEndSignals()
{
    return -1;
}

void drainSessionEndSignals(int) {}

} // namespace tavlor::platform
