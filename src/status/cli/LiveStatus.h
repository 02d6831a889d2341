#pragma once

#include "status/StatusSnapshot.h"

#include <optional>
#include <string>

namespace tavlor {

struct LiveStatus
{
    enum class Outcome
    {
        Answered,   // the running program's figures
        NotRunning, // no program on the session bus (or no session bus at all)
        Failed      // a program is there but gave no usable answer
    } outcome = Outcome::NotRunning;
    StatusSnapshot status;
    std::string error;
};

// Asks the running program for its snapshot, waiting at most timeoutMs.
LiveStatus AskRunningProgram(int timeoutMs);

} // namespace tavlor
