#pragma once

#include <string>

namespace tavlor {

// A named, session-wide lock that the system frees however the process ends.
class InstanceGuard
{
public:
    enum class Result
    {
        Acquired,
        AlreadyRunning,
        Failed
    };
    virtual ~InstanceGuard() = default;
    virtual Result acquire(const std::string& name) = 0;
    // Closes the handle if one is held; harmless otherwise.
    virtual void release() = 0;
};

} // namespace tavlor
