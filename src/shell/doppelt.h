#pragma once

#include <memory>

namespace tavlor {

class InstanceGuard;

// The guard name is fixed: a copy under another file name or folder is refused as well.
inline constexpr const char* kGuardName = "Tavlor.exe";

// The single-instance guard. Held from before the first window to the end of main; the system
// frees it however the process ends.
class Doppelt
{
public:
    explicit Doppelt(std::unique_ptr<InstanceGuard> guard);
    ~Doppelt();
    Doppelt(const Doppelt&) = delete;
    Doppelt& operator=(const Doppelt&) = delete;

    // False when another instance holds the guard: the caller ends at once, silently, with
    // exit code 0. Any other failure lets the program run unguarded.
    bool acquire();

private:
    std::unique_ptr<InstanceGuard> m_guard;
};

} // namespace tavlor
